#include "BookRecord.h"

#include "Isbn.h"
#include "TextCodec.h"

#include <QRegularExpression>

namespace {

// The widths of BOOK's text columns.
constexpr int kTitle = 65, kAuthor = 35, kYear = 4, kSeria = 35, kPublisher = 35, kPlace = 50, kGenre = 25,
              kDescription = 255, kClas = 45;

QString plainCharacters(const QString &text, const ConnectionCharset &charset)
{
    QString result;
    for (QChar c : text) {
        const QString one(c);
        if (charset.firstUnencodable(one) < 0) {
            result += c;
            continue;
        }
        switch (c.unicode()) {
        case 0x2010: case 0x2011: case 0x2012: case 0x2212:
            result += QLatin1Char('-');
            continue;
        case 0x2032:
            result += QLatin1Char('\'');
            continue;
        case 0x2033:
            result += QLatin1Char('"');
            continue;
        default:
            break;
        }
        // A letter with an accent the code page lacks keeps its base letter.
        const QString decomposed = one.normalized(QString::NormalizationForm_D);
        QString kept;
        for (QChar d : decomposed)
            if (d.category() != QChar::Mark_NonSpacing)
                kept += d;
        result += kept.isEmpty() || charset.firstUnencodable(kept) >= 0 ? one : kept;
    }
    return result;
}

QString fit(const QString &text, int width, const ConnectionCharset &charset)
{
    return plainCharacters(text.simplified(), charset).left(width).trimmed();
}

} // namespace

QString RecordMapping::tidy(const QString &text)
{
    static const QRegularExpression trailing(QStringLiteral("[\\s/:;,=]+$"));
    // Composed letters: catalogues in MARC-8 or ISO 5426 send a letter and its accent apart.
    QString s = text.normalized(QString::NormalizationForm_C).simplified();
    s.remove(trailing);
    // A closing full stop, but not one of an initial ("Tolstoy, L.") or an ellipsis.
    if (s.endsWith(QLatin1Char('.')) && !s.endsWith(QLatin1String("..")) && s.size() > 3 &&
        !(s.at(s.size() - 3).isSpace() && s.at(s.size() - 2).isUpper()))
        s.chop(1);
    if (s.startsWith(QLatin1Char('[')) && s.endsWith(QLatin1Char(']')))
        s = s.mid(1, s.size() - 2);
    return s.trimmed();
}

QString RecordMapping::year(const QString &date)
{
    static const QRegularExpression four(QStringLiteral("(?<!\\d)(\\d{4})(?!\\d)"));
    const QRegularExpressionMatch m = four.match(date);
    return m.hasMatch() ? m.captured(1) : QString();
}

BookRecord RecordMapping::fitted(BookRecord r, const ConnectionCharset &charset)
{
    r.title = fit(r.title, kTitle, charset);
    r.author = fit(r.author, kAuthor, charset);
    r.year = fit(r.year, kYear, charset);
    r.seria = fit(r.seria, kSeria, charset);
    r.publisher = fit(r.publisher, kPublisher, charset);
    r.place = fit(r.place, kPlace, charset);
    r.genre = fit(r.genre, kGenre, charset);
    r.description = fit(r.description, kDescription, charset);
    r.clas = fit(r.clas, kClas, charset);
    return r;
}

bool RecordMapping::carries(const BookRecord &record, const QString &isbn13)
{
    return record.isbns.contains(isbn13);
}
