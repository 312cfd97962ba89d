#include "DatabaseFileDialog.h"

#include "UserPrompts.h"

namespace
{
QString g_lastFileName;
} // namespace

QString DatabaseFileDialog::filter()
{
    // Both cases, so that LIBRARY.GDB is listed where file names are case-sensitive.
    return QStringLiteral("InterBase database files (.GDB) (*.gdb *.GDB)");
}

QString DatabaseFileDialog::choose(QWidget *parent)
{
    const QString chosen = UserPrompts::openFileName(parent, filter());
    if (!chosen.isEmpty())
        g_lastFileName = chosen;
    return g_lastFileName;
}
