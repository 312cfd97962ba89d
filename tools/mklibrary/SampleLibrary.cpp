#include "SampleLibrary.h"

#include "FbDatabase.h"
#include "FbQuery.h"

#include <QDate>
#include <QStringList>

#include <iterator>

namespace
{

struct Work {
    const char16_t *title;
    const char16_t *author;
    const char16_t *genre;
    int edition; // year of the first edition in the sample, later ones follow
};

// No apostrophes in these texts: they go into the statements as they stand.
constexpr Work kWorks[] = {
    {u"Кобзар", u"Тарас Шевченко", u"Поезія", 1963},
    {u"Гайдамаки", u"Тарас Шевченко", u"Поема", 1971},
    {u"Лісова пісня", u"Леся Українка", u"Драма", 1958},
    {u"Захар Беркут", u"Іван Франко", u"Повість", 1977},
    {u"Маруся Чурай", u"Ліна Костенко", u"Роман у віршах", 1982},
    {u"Тіні забутих предків", u"Михайло Коцюбинський", u"Повість", 1968},
    {u"Война и мир", u"Лев Толстой", u"Роман", 1957},
    {u"Анна Каренина", u"Лев Толстой", u"Роман", 1961},
    {u"Преступление и наказание", u"Фёдор Достоевский", u"Роман", 1966},
    {u"Братья Карамазовы", u"Фёдор Достоевский", u"Роман", 1970},
    {u"Мастер и Маргарита", u"Михаил Булгаков", u"Роман", 1973},
    {u"Вишнёвый сад", u"Антон Чехов", u"Пьеса", 1960},
    {u"Pride and Prejudice", u"Jane Austen", u"Novel", 1996},
    {u"Great Expectations", u"Charles Dickens", u"Novel", 1994},
    {u"Moby-Dick", u"Herman Melville", u"Novel", 1992},
    {u"The Adventures of Tom Sawyer", u"Mark Twain", u"Novel", 1986},
    {u"Nineteen Eighty-Four", u"George Orwell", u"Novel", 1989},
    {u"Twenty Thousand Leagues Under the Seas", u"Jules Verne", u"Adventure", 1998},
};

struct Publisher {
    const char16_t *name;
    const char16_t *place;
    const char16_t *seria;
    const char16_t *clas;
};

constexpr Publisher kUkrainian[] = {
    {u"Дніпро", u"Київ", u"Шкільна бібліотека", u"Класика"},
    {u"Фоліо", u"Харків", u"", u"Класика"},
};
constexpr Publisher kRussian[] = {
    {u"Художественная литература", u"Москва", u"Библиотека всемирной литературы", u"Классика"},
    {u"Азбука", u"Санкт-Петербург", u"", u"Классика"},
};
constexpr Publisher kEnglish[] = {
    {u"Penguin Classics", u"London", u"Penguin Classics", u"Fiction"},
    {u"Vintage", u"New York", u"", u"Fiction"},
};

constexpr const char16_t *kBorrowers[] = {u"Олена Коваленко", u"Anna Smith", u"Сергей Иванов", u"Ivan Petrenko",
                                          u"Марія Шевчук"};
constexpr int kMaxLoans = static_cast<int>(std::size(kBorrowers));

QString text(const char16_t *s)
{
    return QString::fromUtf16(s);
}

const Publisher &publisherOf(int workIndex, int copy)
{
    if (workIndex < 6)
        return kUkrainian[copy % 2];
    if (workIndex < 12)
        return kRussian[copy % 2];
    return kEnglish[copy % 2];
}

QString literal(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + value + QLatin1Char('\'');
}

QString bookStatement(int n)
{
    const int workIndex = n % static_cast<int>(std::size(kWorks));
    const int copy = n / static_cast<int>(std::size(kWorks));
    const Work &work = kWorks[workIndex];
    const Publisher &publisher = publisherOf(workIndex, copy);
    QString title = text(work.title);
    if (copy > 0) // a later edition of a book already on the shelf
        title += QStringLiteral(" (%1)").arg(copy + 1);
    const QString year = QString::number(work.edition + 3 * copy);
    const QString description = workIndex < 6 ? QStringLiteral("Видання %1, тверда палітурка").arg(copy + 1)
                                : workIndex < 12 ? QStringLiteral("Издание %1, твёрдый переплёт").arg(copy + 1)
                                                 : QStringLiteral("Edition %1, paperback").arg(copy + 1);
    return QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre, seria, place, description, clas) "
                          "VALUES (%1, %2, %3, %4, %5, %6, %7, %8, %9)")
        .arg(literal(title.left(65)), literal(text(work.author)), literal(year), literal(text(publisher.name)),
             literal(text(work.genre)), literal(text(publisher.seria)), literal(text(publisher.place)),
             literal(description), literal(text(publisher.clas)));
}

} // namespace

int SampleLibrary::loanCount(int books)
{
    return qMin(kMaxLoans, books / 3);
}

void SampleLibrary::fill(FbDatabase &db, int books)
{
    FbQuery statement(&db);
    for (int n = 0; n < books; ++n) {
        statement.setSqlText(bookStatement(n));
        statement.execSQL();
    }
    FbQuery ids(&db);
    ids.setSqlText(QStringLiteral("SELECT id FROM book ORDER BY id"));
    ids.open();
    ids.fetchAll();
    const int loans = loanCount(books);
    const QDate today = QDate::currentDate();
    for (int i = 0; i < loans; ++i) {
        // Spread over the shelf: every third book or so, lent a week apart.
        const int row = i * ids.fetchedCount() / loans;
        const QString id = FbQuery::displayText(ids.value(row, 0));
        statement.setSqlText(
            QStringLiteral("INSERT INTO given (given_id, given_to, given_date) VALUES (%1, '%2', '%3')")
                .arg(id, text(kBorrowers[i]), today.addDays(-7 * (i + 1)).toString(Qt::ISODate)));
        statement.execSQL();
    }
}
