#include "GeneratedLibrary.h"

#include "FbQuery.h"
#include "LibrarySchema.h"

#include <QElapsedTimer>

GeneratedLibrary::GeneratedLibrary(int books)
{
    const QString path = m_dir.filePath(QStringLiteral("LIBRARY.GDB"));
    LibrarySchema::create(path);
    m_db.setDatabaseName(path);
    m_db.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("lc_ctype=WIN1251")});
    FbQuery fill(&m_db);
    fill.setSqlText(QStringLiteral(
        "EXECUTE BLOCK AS DECLARE i INT = 0; BEGIN WHILE (i < %1) DO BEGIN "
        "INSERT INTO book (title, author, iyear, publisher, genre, seria, place, description, clas) VALUES "
        "('Книга ' || :i, 'Автор ' || mod(:i, 997), mod(:i, 120) + 1900, 'Издательство', 'Роман', 'Серия', "
        "'Київ', 'Опис книги номер ' || :i, 'Клас'); i = i + 1; END END")
                         .arg(books));
    QElapsedTimer timer;
    timer.start();
    fill.execSQL();
    m_fillMs = timer.nsecsElapsed() / 1e6;
}
