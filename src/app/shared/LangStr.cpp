#include "LangStr.h"

#include "Catalogue.h"
#include "SettingsList.h"

QString LangStr(const QString &key)
{
    return Catalogue::text(key, settingsList().value(QStringLiteral("Language")));
}
