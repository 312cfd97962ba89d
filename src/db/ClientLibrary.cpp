#include "ClientLibrary.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <dlfcn.h>
#include <ibase.h>

namespace ClientLibrary {

QString describe(const QString &versionString, const QString &libraryPath)
{
    // "LI-V6.3.11.33703 Firebird 3.0": the engine's major and minor version stand at the end;
    // the release is the third number of the older-style version at the front.
    static const QRegularExpression engine(QStringLiteral("Firebird (\\d+)\\.(\\d+)"));
    static const QRegularExpression build(QStringLiteral("-V\\d+\\.\\d+\\.(\\d+)"));
    const QRegularExpressionMatch name = engine.match(versionString);
    const QRegularExpressionMatch release = build.match(versionString);
    QString text = versionString.trimmed();
    if (name.hasMatch()) {
        text = QStringLiteral("Firebird %1.%2").arg(name.captured(1), name.captured(2));
        if (release.hasMatch())
            text += QLatin1Char('.') + release.captured(1);
    }
    if (!libraryPath.isEmpty())
        text += QStringLiteral(" (%1)").arg(QFileInfo(libraryPath).fileName());
    return text;
}

QString description()
{
    char buffer[256] = {};
    isc_get_client_version(buffer);
    Dl_info info{};
    const bool found = dladdr(reinterpret_cast<void *>(&isc_get_client_version), &info) != 0 && info.dli_fname;
    return describe(QString::fromLatin1(buffer), found ? QString::fromLocal8Bit(info.dli_fname) : QString());
}

} // namespace ClientLibrary
