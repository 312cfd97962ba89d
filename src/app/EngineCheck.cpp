#include "EngineCheck.h"

#include <QDir>
#include <QFile>

#include <dlfcn.h>

namespace {
// Where Debian's client library looks for its engine.
const char *const kEnginePlugins[] = {
    "/usr/lib/x86_64-linux-gnu/firebird/3.0/plugins/libEngine12.so",
    "/usr/lib/aarch64-linux-gnu/firebird/3.0/plugins/libEngine12.so",
    "/usr/lib/i386-linux-gnu/firebird/3.0/plugins/libEngine12.so",
};
} // namespace

bool EngineCheck::embeddedEngineAvailable()
{
    if (QFile::exists(QDir::current().filePath(QStringLiteral("gds32.dll"))))
        return true;
    for (const char *path : kEnginePlugins)
        if (QFile::exists(QString::fromLatin1(path)))
            return true;
    return false;
}
