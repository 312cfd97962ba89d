#include "CsvFormat.h"

#include "TextCodec.h"

#include <QStringDecoder>

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

Csv::Encoding Csv::detectEncoding(const QByteArray &bytes)
{
    if (bytes.startsWith(byteOrderMark()))
        return Encoding::Utf8Bom;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes); // the decoder works only when its result is taken
    Q_UNUSED(text);
    return utf8.hasError() ? Encoding::Windows1251 : Encoding::Utf8;
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

namespace
{

// Reads records one character at a time: a small state machine over "in quotes" or not.
class Parser
{
public:
    Parser(const QString &text, QChar delimiter) : m_text(text), m_delimiter(delimiter) {}

    Csv::Parsed run()
    {
        for (qsizetype i = 0; i < m_text.size(); ++i) {
            const QChar c = m_text.at(i);
            if (m_quoted) {
                if (c == QLatin1Char('"')) {
                    if (i + 1 < m_text.size() && m_text.at(i + 1) == QLatin1Char('"')) {
                        m_field += c;
                        ++i;
                    } else {
                        m_quoted = false;
                    }
                } else {
                    countLine(c, i);
                    m_field += c;
                }
            } else if (c == QLatin1Char('"')) {
                m_quoted = true;
                m_quoteLine = m_line;
                m_started = true;
            } else if (c == m_delimiter) {
                endField();
            } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                endRecord();
                countLine(c, i);
            } else {
                m_field += c;
                m_started = true;
            }
        }
        if (m_quoted)
            m_result.unclosedQuoteLine = m_quoteLine;
        endRecord();
        return m_result;
    }

private:
    // CR LF counts as one line break; so do a lone CR and a lone LF.
    void countLine(QChar c, qsizetype i)
    {
        if (c == QLatin1Char('\n') ||
            (c == QLatin1Char('\r') && (i + 1 >= m_text.size() || m_text.at(i + 1) != QLatin1Char('\n'))))
            ++m_line;
    }
    void endField()
    {
        m_fields << m_field;
        m_field.clear();
        m_started = true;
    }
    void endRecord()
    {
        if (m_started || !m_field.isEmpty()) {
            m_fields << m_field;
            m_result.records.append({m_recordLine, m_fields});
        }
        m_fields.clear();
        m_field.clear();
        m_started = false;
        m_recordLine = m_line + 1;
    }

    const QString &m_text;
    QChar m_delimiter;
    Csv::Parsed m_result;
    QStringList m_fields;
    QString m_field;
    bool m_quoted = false;
    bool m_started = false;
    int m_line = 1;
    int m_recordLine = 1;
    int m_quoteLine = 0;
};

} // namespace

Csv::Parsed Csv::parse(const QString &text, QChar delimiter)
{
    return Parser(text, delimiter).run();
}
