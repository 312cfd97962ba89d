#include "MarcRecord.h"

#include "Isbn.h"

QString MarcRecord::Field::value(QChar code) const
{
    for (const auto &[c, text] : subfields)
        if (c == code)
            return text;
    return QString();
}

SourceAnswer MarcRecord::findIn(const QByteArray &document, const QString &isbn13, QLatin1String rootName)
{
    QXmlStreamReader xml(document);
    bool root = false;
    bool anyRecord = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == rootName)
            root = true;
        // The records sit inside their envelope (SRU's recordData), which may be called <record> too.
        if (xml.name() == QLatin1String("record") &&
            xml.namespaceUri() == QLatin1String("http://www.loc.gov/MARC21/slim")) {
            BookRecord book = MarcRecord::read(xml).book();
            anyRecord = true;
            // A catalogue that does not repeat the ISBN in the record is taken at its word.
            if (book.isbns.isEmpty())
                book.isbns << isbn13;
            if (RecordMapping::carries(book, isbn13) && !book.title.isEmpty())
                return {SourceAnswer::Kind::Found, book};
        }
    }
    if (xml.hasError() || !root)
        return {SourceAnswer::Kind::Garbage, {}};
    return {anyRecord ? SourceAnswer::Kind::OtherIsbn : SourceAnswer::Kind::NotFound, {}};
}

MarcRecord MarcRecord::read(QXmlStreamReader &xml)
{
    MarcRecord record;
    while (xml.readNextStartElement()) {
        const QStringView element = xml.name();
        if (element == QLatin1String("datafield")) {
            Field field{xml.attributes().value(QLatin1String("tag")).toString(), {}};
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("subfield")) {
                    const QString code = xml.attributes().value(QLatin1String("code")).toString();
                    const QString text = xml.readElementText();
                    if (!code.isEmpty())
                        field.subfields.append({code.at(0), text});
                } else {
                    xml.skipCurrentElement();
                }
            }
            record.m_fields.append(field);
        } else {
            xml.skipCurrentElement();
        }
    }
    return record;
}

const MarcRecord::Field *MarcRecord::first(const QString &tag) const
{
    for (const Field &f : m_fields)
        if (f.tag == tag)
            return &f;
    return nullptr;
}

QString MarcRecord::firstValue(std::initializer_list<const char *> tags, QChar code) const
{
    for (const char *tag : tags)
        for (const Field &f : m_fields)
            if (f.tag == QLatin1String(tag))
                if (const QString v = f.value(code); !v.isEmpty())
                    return RecordMapping::tidy(v);
    return QString();
}

MarcRecord::Format MarcRecord::format() const
{
    return !first(QStringLiteral("245")) && first(QStringLiteral("200")) ? Format::Unimarc : Format::Marc21;
}

BookRecord MarcRecord::book() const
{
    BookRecord r = format() == Format::Unimarc ? unimarc() : marc21();
    const char *isbnTag = format() == Format::Unimarc ? "010" : "020";
    for (const Field &f : m_fields)
        if (f.tag == QLatin1String(isbnTag))
            if (const Isbn::Checked c = Isbn::check(f.value(QLatin1Char('a')).section(QLatin1Char(' '), 0, 0));
                c.ok())
                r.isbns << c.isbn13;
    return r;
}

BookRecord MarcRecord::marc21() const
{
    BookRecord r;
    r.title = firstValue({"245"}, QLatin1Char('a'));
    if (const QString rest = firstValue({"245"}, QLatin1Char('b')); !rest.isEmpty())
        r.title += QStringLiteral(": ") + rest;
    r.author = firstValue({"100", "110", "700"}, QLatin1Char('a'));
    r.place = firstValue({"264", "260"}, QLatin1Char('a'));
    r.publisher = firstValue({"264", "260"}, QLatin1Char('b'));
    r.year = RecordMapping::year(firstValue({"264", "260"}, QLatin1Char('c')));
    r.seria = firstValue({"490", "830", "440"}, QLatin1Char('a'));
    r.genre = firstValue({"655", "650"}, QLatin1Char('a'));
    r.description = firstValue({"520"}, QLatin1Char('a'));
    r.clas = firstValue({"080", "082"}, QLatin1Char('a'));
    return r;
}

BookRecord MarcRecord::unimarc() const
{
    BookRecord r;
    r.title = firstValue({"200"}, QLatin1Char('a'));
    if (const QString rest = firstValue({"200"}, QLatin1Char('e')); !rest.isEmpty())
        r.title += QStringLiteral(": ") + rest;
    // The author's surname and the rest of the name in 700 (701 for a second author).
    for (const char *tag : {"700", "701", "710"}) {
        const Field *f = first(QString::fromLatin1(tag));
        if (!f)
            continue;
        r.author = RecordMapping::tidy(f->value(QLatin1Char('a')));
        if (const QString given = RecordMapping::tidy(f->value(QLatin1Char('g')).isEmpty() ? f->value(QLatin1Char('b'))
                                                                                          : f->value(QLatin1Char('g')));
            !given.isEmpty())
            r.author += QStringLiteral(", ") + given;
        break;
    }
    if (r.author.isEmpty())
        r.author = firstValue({"200"}, QLatin1Char('f'));
    r.place = firstValue({"214", "210"}, QLatin1Char('a'));
    r.publisher = firstValue({"214", "210"}, QLatin1Char('c'));
    r.year = RecordMapping::year(firstValue({"214", "210"}, QLatin1Char('d')));
    r.seria = firstValue({"225", "410"}, QLatin1Char('a'));
    r.genre = firstValue({"608", "606"}, QLatin1Char('a'));
    r.description = firstValue({"330"}, QLatin1Char('a'));
    r.clas = firstValue({"675", "676"}, QLatin1Char('a'));
    return r;
}
