#include "ProgramPicture.h"

// The pictures are linked into a static library, whose resource table is registered only
// when asked for.
static void registerPictures()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(pictures);
        return true;
    }();
    Q_UNUSED(done);
}

namespace ProgramPicture {

QPixmap aboutPicture()
{
    registerPictures();
    return QPixmap(QStringLiteral(":/info/pictures/bibliora-about.png"));
}

QIcon windowIcon()
{
    registerPictures();
    return QIcon(QStringLiteral(":/info/pictures/bibliora.png"));
}

} // namespace ProgramPicture
