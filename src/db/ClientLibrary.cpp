#include "ClientLibrary.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <dlfcn.h>
#include <ibase.h>

namespace ClientLibrary {

QString describe(const QString &versionString, const QString &libraryPath)
{
    // The platform prefix and "-V" come first, then major.minor.release.build.
    static const QRegularExpression version(QStringLiteral("V(\\d+)\\.(\\d+)\\.(\\d+)"));
    const QRegularExpressionMatch match = version.match(versionString);
    QString text = QStringLiteral("Firebird");
    if (match.hasMatch())
        text += QStringLiteral(" %1.%2.%3").arg(match.captured(1), match.captured(2), match.captured(3));
    else if (!versionString.trimmed().isEmpty())
        text = versionString.trimmed();
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
