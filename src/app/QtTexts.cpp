#include "QtTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace
{

QString qtCatalogue(const QString &language)
{
    if (language == u"ru")
        return QStringLiteral("qtbase_ru");
    if (language == u"ua")
        return QStringLiteral("qtbase_uk");
    return {};
}

} // namespace

bool applyQtTexts(const QString &language)
{
    static QTranslator *translator = nullptr;
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
    const QString name = qtCatalogue(language);
    if (name.isEmpty())
        return true;
    auto *loaded = new QTranslator;
    if (!loaded->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete loaded;
        return false;
    }
    QCoreApplication::installTranslator(loaded);
    translator = loaded;
    return true;
}
