#include "CsvFormat.h"

#include "TextCodec.h"

#include <QIODevice>

namespace
{

constexpr qint64 kChunk = 1 << 20;

bool isFormulaStart(QChar c)
{
    return c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('@') ||
           c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

// Whether the value is a run of "'" (maybe none) and then a formula's first character.
bool formulaAfterQuotes(const QString &value, qsizetype quotes)
{
    return value.size() > quotes && isFormulaStart(value.at(quotes));
}

qsizetype leadingQuotes(const QString &value)
{
    qsizetype n = 0;
    while (n < value.size() && value.at(n) == QLatin1Char('\''))
        ++n;
    return n;
}

// Length of the valid UTF-8 sequence at p (1 to 4), or 0.
int utf8Sequence(const unsigned char *p, const unsigned char *end)
{
    const unsigned char c = p[0];
    int length = 0;
    unsigned int min = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (end - p < length)
        return 0;
    unsigned int code = c & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

// Ascii, Utf8 or Other for one field; a field cut at the limit may end inside a character.
Csv::TextKind fieldKind(const QByteArray &bytes, bool mayEndCut)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = p + bytes.size();
    Csv::TextKind kind = Csv::TextKind::Ascii;
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int length = utf8Sequence(p, end);
        if (length == 0)
            return mayEndCut && end - p < 4 ? kind : Csv::TextKind::Other;
        kind = Csv::TextKind::Utf8;
        p += length;
    }
    return kind;
}

} // namespace

QByteArray Csv::byteOrderMark()
{
    return QByteArrayLiteral("\xEF\xBB\xBF");
}

QString Csv::field(const QString &value, QChar delimiter)
{
    const bool quote = value.contains(delimiter) || value.contains(QLatin1Char('"')) ||
                       value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
    if (!quote)
        return value;
    return QLatin1Char('"') + QString(value).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString Csv::record(const QStringList &values, QChar delimiter)
{
    QStringList fields;
    fields.reserve(values.size());
    for (const QString &value : values)
        fields << field(value, delimiter);
    return fields.join(delimiter) + QLatin1String("\r\n");
}

QString Csv::spreadsheetSafe(const QString &value)
{
    return formulaAfterQuotes(value, leadingQuotes(value)) ? QLatin1Char('\'') + value : value;
}

QString Csv::fromSpreadsheetSafe(const QString &value)
{
    const qsizetype quotes = leadingQuotes(value);
    return quotes > 0 && formulaAfterQuotes(value, quotes) ? value.mid(1) : value;
}

Csv::TextKind Csv::textKind(const RawRecord &record)
{
    TextKind kind = TextKind::Ascii;
    for (const QByteArray &f : record.fields) {
        const TextKind k = fieldKind(f, record.cut && f.size() >= kFieldLimit);
        if (k == TextKind::Other)
            return k;
        if (k == TextKind::Utf8)
            kind = k;
    }
    return kind;
}

bool Csv::agrees(TextKind kind, Encoding encoding)
{
    switch (kind) {
    case TextKind::Ascii:
        return true;
    case TextKind::Utf8:
        return encoding != Encoding::Windows1251;
    case TextKind::Other:
        return encoding == Encoding::Windows1251;
    }
    return false;
}

QStringList Csv::decodeFields(const RawRecord &record, Encoding encoding)
{
    QStringList out;
    out.reserve(record.fields.size());
    for (QByteArray f : record.fields) {
        if (encoding == Encoding::Windows1251) {
            out << Win1251::decode(f);
            continue;
        }
        // A field cut at the limit loses the character it was cut in.
        if (record.cut && f.size() >= kFieldLimit) {
            qsizetype start = f.size() - 1;
            while (start > 0 && f.size() - start < 4 && (static_cast<unsigned char>(f.at(start)) & 0xC0) == 0x80)
                --start;
            const auto lead = static_cast<unsigned char>(f.at(start));
            const qsizetype length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            if (f.size() - start < length)
                f.truncate(start);
        }
        out << QString::fromUtf8(f);
    }
    return out;
}

void Csv::EncodingVote::add(TextKind kind)
{
    m_utf8 += kind == TextKind::Utf8 ? 1 : 0;
    m_other += kind == TextKind::Other ? 1 : 0;
}

Csv::Encoding Csv::EncodingVote::verdict() const
{
    if (m_bom)
        return Encoding::Utf8Bom;
    return m_other > m_utf8 ? Encoding::Windows1251 : Encoding::Utf8;
}

void Csv::Splitter::append(char c)
{
    if (m_field.size() < kFieldLimit)
        m_field.append(c);
    else
        m_record.cut = true;
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 && c != '\t' && c != '\r' && c != '\n')
        m_record.control = true;
    m_started = true;
}

void Csv::Splitter::endField()
{
    m_record.fields.append(m_field);
    m_field.clear();
    m_started = true;
}

void Csv::Splitter::endRecord(QList<RawRecord> &out)
{
    if (m_started || !m_field.isEmpty()) {
        m_record.fields.append(m_field);
        out.append(std::move(m_record));
    }
    m_record = RawRecord();
    m_field.clear();
    m_started = false;
    m_record.line = m_line;
}

void Csv::Splitter::feed(const char *data, qsizetype size, QList<RawRecord> &out)
{
    if (m_record.line == 0)
        m_record.line = 1;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        const char previous = m_previous;
        m_previous = c;
        // CR LF is one line break; so are a lone CR and a lone LF.
        const bool lineBreak = c == '\r' || (c == '\n' && previous != '\r');
        if (m_state == State::QuoteInQuoted) {
            if (c == '"') {
                append(c);
                m_state = State::Quoted;
                continue;
            }
            m_state = State::Unquoted;
        }
        if (m_state == State::Quoted) {
            if (c == '"') {
                m_state = State::QuoteInQuoted;
            } else {
                append(c);
                m_line += lineBreak ? 1 : 0;
            }
        } else if (c == '"') {
            m_state = State::Quoted;
            m_quoteLine = m_line;
            m_started = true;
        } else if (c == m_delimiter) {
            endField();
        } else if (c == '\r' || c == '\n') {
            if (lineBreak) {
                ++m_line;
                endRecord(out);
            }
        } else {
            append(c);
        }
    }
}

void Csv::Splitter::finish(QList<RawRecord> &out)
{
    if (m_record.line == 0)
        m_record.line = 1;
    if (m_state == State::Quoted)
        m_unclosedQuoteLine = m_quoteLine;
    m_state = State::Unquoted;
    endRecord(out);
}

Csv::Reader::Reader(QIODevice &device, char delimiter) : m_device(device), m_splitter(delimiter) {}

bool Csv::Reader::next(RawRecord &record)
{
    while (m_index >= m_pending.size()) {
        if (m_atEnd)
            return false;
        m_pending.clear();
        m_index = 0;
        QByteArray chunk = m_device.read(kChunk);
        if (m_bytesRead == 0 && chunk.startsWith(byteOrderMark())) {
            m_bom = true;
            chunk.remove(0, byteOrderMark().size());
            m_bytesRead += byteOrderMark().size();
        }
        m_bytesRead += chunk.size();
        if (chunk.isEmpty()) {
            m_atEnd = true;
            m_splitter.finish(m_pending);
        } else {
            m_splitter.feed(chunk.constData(), chunk.size(), m_pending);
        }
    }
    record = std::move(m_pending[m_index++]);
    return true;
}

bool Csv::looksBinary(const QList<RawRecord> &head)
{
    if (head.isEmpty())
        return false;
    qsizetype withControl = 0;
    for (const RawRecord &r : head)
        withControl += r.control ? 1 : 0;
    return head.first().control || (withControl >= 2 && withControl * 4 > head.size());
}

Csv::Encoding Csv::detectEncoding(const QByteArray &bytes)
{
    const bool bom = bytes.startsWith(byteOrderMark());
    const QByteArray text = bom ? bytes.mid(byteOrderMark().size()) : bytes;
    QList<RawRecord> records;
    Splitter splitter(',');
    splitter.feed(text.constData(), text.size(), records);
    splitter.finish(records);
    EncodingVote vote(bom);
    for (const RawRecord &r : records)
        vote.add(textKind(r));
    return vote.verdict();
}

QString Csv::decode(const QByteArray &bytes, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8Bom:
        return QString::fromUtf8(bytes.mid(byteOrderMark().size()));
    case Encoding::Utf8:
        return QString::fromUtf8(bytes);
    case Encoding::Windows1251:
        return Win1251::decode(bytes);
    }
    return {};
}

QChar Csv::detectDelimiter(const QString &text)
{
    const QChar candidates[] = {QLatin1Char(','), QLatin1Char(';'), QLatin1Char('\t')};
    int counts[3] = {0, 0, 0};
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted)
            for (int i = 0; i < 3; ++i)
                counts[i] += c == candidates[i] ? 1 : 0;
    }
    int best = 0;
    for (int i = 1; i < 3; ++i)
        if (counts[i] > counts[best])
            best = i;
    return candidates[best];
}

Csv::Parsed Csv::parse(const QString &text, QChar delimiter)
{
    const QByteArray bytes = text.toUtf8();
    QList<RawRecord> raw;
    Splitter splitter(static_cast<char>(delimiter.unicode()));
    splitter.feed(bytes.constData(), bytes.size(), raw);
    splitter.finish(raw);
    Parsed parsed;
    parsed.unclosedQuoteLine = splitter.unclosedQuoteLine();
    for (const RawRecord &r : raw)
        parsed.records.append({r.line, decodeFields(r, Encoding::Utf8)});
    return parsed;
}
