#pragma once

#include "BookRecord.h"

#include <QList>
#include <QString>
#include <QXmlStreamReader>

// One bibliographic record in MARCXML, in MARC 21 or UNIMARC, and its mapping onto a book.
class MarcRecord
{
public:
    struct Field {
        QString tag;
        QList<std::pair<QChar, QString>> subfields;
        QString value(QChar code) const;
    };
    enum class Format { Marc21, Unimarc };

    // Reads the <record> element the reader stands on, up to its end.
    static MarcRecord read(QXmlStreamReader &xml);
    // UNIMARC names its title in 200, MARC 21 in 245.
    Format format() const;
    BookRecord book() const;
    bool isEmpty() const { return m_fields.isEmpty(); }
    // The first MARCXML record in a document (root element rootName) that carries the ISBN.
    static SourceAnswer findIn(const QByteArray &document, const QString &isbn13, QLatin1String rootName);

private:
    const Field *first(const QString &tag) const;
    QString firstValue(std::initializer_list<const char *> tags, QChar code) const;
    BookRecord marc21() const;
    BookRecord unimarc() const;

    QList<Field> m_fields;
};
