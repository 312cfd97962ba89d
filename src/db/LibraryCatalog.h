#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

class FbDatabase;

// What the engine's catalogue says of the library, read in one statement: its character set and
// the user tables, GIVEN's columns, indexes, triggers and sequences. Every check of what the
// program adds on connect asks it, so that connecting to a library on a server costs one
// statement's round trips for them all instead of a few for each.
class LibraryCatalog
{
public:
    // Read in the given transaction of db's attachment.
    static LibraryCatalog read(FbDatabase &db, unsigned int *transaction);

    // The library's default character set as the engine names it ("WIN1251", "UTF8").
    QString charset() const { return m_charset; }
    bool hasRelation(const QString &name) const;
    bool hasField(const QString &relation, const QString &field) const;
    bool hasTrigger(const QString &name) const;
    bool hasGenerator(const QString &name) const;
    bool hasIndex(const QString &name) const;
    QStringList indexesOf(const QString &relation) const;

private:
    QString m_charset;
    QSet<QString> m_names; // "kind:relation:name"; relation empty for what belongs to no table
};
