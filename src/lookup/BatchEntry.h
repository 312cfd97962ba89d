#pragma once

#include "BookRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The books of a batch entry: one per scan, with what became of it, and the statements that
// store the batch. Knows no widgets.
class BatchEntry
{
public:
    enum class Result { Waiting, Found, NotFound, Owned, Refused };
    struct Item {
        QString typed;
        QString isbn13;
        Result result = Result::Waiting;
        QString note; // the source that found it, the book already owned, or why it was refused
        BookRecord book;
        bool store = false;
    };
    // The book already holding an ISBN ("№ 12 "Title", lent to Ann"), empty when none.
    using OwnerOf = std::function<QString(const QString &isbn13)>;

    explicit BatchEntry(OwnerOf ownerOf);

    // Adds a scan; returns its index. A wrong ISBN is refused, one the library or the batch
    // holds already is marked as owned; the rest wait for their lookup.
    int scan(const QString &typed);
    void found(int index, const BookRecord &book, const QString &source);
    void notFound(int index, const QString &why);
    // The next item waiting for its lookup, or -1.
    int nextWaiting() const;

    const QList<Item> &items() const { return m_items; }
    Item &item(int index) { return m_items[index]; }
    void clear() { m_items.clear(); }

    // Indexes of the items to store that lack an obligatory field (title, author, year, publisher, genre).
    QList<int> incomplete() const;
    // Two statements per item to store: the book, then its ISBN.
    QStringList statements(const ConnectionCharset &charset) const;
    int toStore() const;

    static QString insertSql(const BookRecord &book);

private:
    OwnerOf m_ownerOf;
    QList<Item> m_items;
};
