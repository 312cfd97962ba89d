#include "DatabaseFileDialog.h"

#include "UserPrompts.h"

namespace
{
QString g_lastFileName;
} // namespace

QString DatabaseFileDialog::filter()
{
    // Every letter case, so that LIBRARY.GDB and Library.Gdb are listed where names are case-sensitive.
    return QStringLiteral("InterBase database files (.GDB) (*.[gG][dD][bB])");
}

QString DatabaseFileDialog::choose(QWidget *parent)
{
    const QString chosen = UserPrompts::openFileName(parent, filter());
    if (!chosen.isEmpty())
        g_lastFileName = chosen;
    return g_lastFileName;
}
