#include "BatchEntry.h"

#include "Isbn.h"
#include "IsbnStore.h"
#include "LangStr.h"

BatchEntry::BatchEntry(OwnerOf ownerOf) : m_ownerOf(std::move(ownerOf)) {}

int BatchEntry::scan(const QString &typed)
{
    Item item;
    item.typed = typed.trimmed();
    const Isbn::Checked checked = Isbn::check(typed);
    if (!checked.ok()) {
        item.result = Result::Refused;
        item.note = LangStr(checked.problem == Isbn::Problem::Empty ? QStringLiteral("cisbnchar")
                                                                    : Isbn::problemKey(checked.problem));
    } else {
        item.isbn13 = checked.isbn13;
        for (qsizetype i = 0; i < m_items.size(); ++i)
            if (m_items[i].isbn13 == item.isbn13 && m_items[i].result != Result::Refused) {
                item.result = Result::Owned;
                item.note = LangStr(QStringLiteral("cbatchtwice")).arg(i + 1);
            }
        if (item.result != Result::Owned) {
            const QString owner = m_ownerOf ? m_ownerOf(item.isbn13) : QString();
            if (!owner.isEmpty()) {
                item.result = Result::Owned;
                item.note = owner;
            }
        }
    }
    m_items.append(item);
    return static_cast<int>(m_items.size() - 1);
}

void BatchEntry::found(int index, const BookRecord &book, const QString &source)
{
    Item &item = m_items[index];
    item.result = Result::Found;
    item.book = book;
    item.note = source;
    item.store = true;
}

void BatchEntry::notFound(int index, const QString &why)
{
    Item &item = m_items[index];
    item.result = Result::NotFound;
    item.note = why;
}

int BatchEntry::nextWaiting() const
{
    for (qsizetype i = 0; i < m_items.size(); ++i)
        if (m_items[i].result == Result::Waiting)
            return static_cast<int>(i);
    return -1;
}

QList<int> BatchEntry::incomplete() const
{
    QList<int> result;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const BookRecord &b = m_items[i].book;
        if (m_items[i].store && (b.title.isEmpty() || b.author.isEmpty() || b.year.isEmpty() ||
                                 b.publisher.isEmpty() || b.genre.isEmpty()))
            result << static_cast<int>(i);
    }
    return result;
}

int BatchEntry::toStore() const
{
    int n = 0;
    for (const Item &item : m_items)
        n += item.store && item.result != Result::Refused ? 1 : 0;
    return n;
}

QString BatchEntry::insertSql(const BookRecord &b)
{
    using IsbnStore::literal;
    QString columns = QStringLiteral("INSERT INTO book (title, author, iyear, publisher, genre");
    QString values = QStringLiteral(" VALUES (%1, %2, %3, %4, %5")
                         .arg(literal(b.title), literal(b.author), literal(b.year), literal(b.publisher),
                              literal(b.genre));
    const std::pair<const char *, QString> optional[] = {
        {"seria", b.seria}, {"place", b.place}, {"description", b.description}, {"clas", b.clas}};
    for (const auto &[column, value] : optional) {
        if (value.isEmpty())
            continue;
        columns += QStringLiteral(", ") + QLatin1String(column);
        values += QStringLiteral(", ") + literal(value);
    }
    return columns + QLatin1Char(')') + values + QLatin1Char(')');
}

QStringList BatchEntry::statements(const ConnectionCharset &charset) const
{
    QStringList result;
    for (const Item &item : m_items) {
        if (!item.store || item.result == Result::Refused)
            continue;
        result << insertSql(RecordMapping::fitted(item.book, charset));
        result << IsbnStore::storeNewestSql(item.isbn13, item.result == Result::Found ? item.note : QString());
    }
    return result;
}
