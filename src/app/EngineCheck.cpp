#include "EngineCheck.h"

#include <QDir>
#include <QFile>

namespace {
QStringList &paths()
{
    static QStringList list = {
        QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0/plugins/libEngine12.so"),
        QStringLiteral("/usr/lib/aarch64-linux-gnu/firebird/3.0/plugins/libEngine12.so"),
        QStringLiteral("/usr/lib/i386-linux-gnu/firebird/3.0/plugins/libEngine12.so"),
    };
    return list;
}
} // namespace

bool EngineCheck::embeddedEngineAvailable()
{
    if (QFile::exists(QDir::current().filePath(QStringLiteral("gds32.dll"))))
        return true;
    for (const QString &path : paths())
        if (QFile::exists(path))
            return true;
    return false;
}

QStringList EngineCheck::pluginPaths()
{
    return paths();
}

void EngineCheck::setPluginPaths(const QStringList &list)
{
    paths() = list;
}
