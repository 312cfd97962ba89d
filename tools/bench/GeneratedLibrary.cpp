#include "GeneratedLibrary.h"

#include "LibraryGenerator.h"

GeneratedLibrary::GeneratedLibrary(int books)
{
    const QString path = m_dir.filePath(QStringLiteral("LIBRARY.GDB"));
    m_fillMs = LibraryGenerator::generate(path, books).fillMs;
    m_db.setDatabaseName(path);
    m_db.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("lc_ctype=WIN1251")});
}
