#include "Isbn.h"

namespace {

int digit(QChar c)
{
    return c.unicode() - '0';
}

bool allDigits(const QString &text, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i)
        if (!text.at(i).isDigit() || text.at(i).unicode() > '9')
            return false;
    return true;
}

QChar check10(const QString &nine)
{
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += (10 - i) * digit(nine.at(i));
    const int c = (11 - sum % 11) % 11;
    return c == 10 ? QLatin1Char('X') : QChar(u'0' + c);
}

QChar check13(const QString &twelve)
{
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (i % 2 ? 3 : 1) * digit(twelve.at(i));
    return QChar(u'0' + (10 - sum % 10) % 10);
}

} // namespace

QString Isbn::compact(const QString &typed)
{
    QString result;
    for (QChar c : typed) {
        if (c == QLatin1Char('-') || c.isSpace())
            continue;
        result += c == QLatin1Char('x') ? QLatin1Char('X') : c;
    }
    return result;
}

QString Isbn::to13(const QString &isbn10)
{
    const QString s = compact(isbn10);
    if (s.size() != 10 || !allDigits(s, 9))
        return QString();
    const QString twelve = QStringLiteral("978") + s.left(9);
    return twelve + check13(twelve);
}

Isbn::Checked Isbn::check(const QString &typed)
{
    const QString s = compact(typed);
    if (s.isEmpty())
        return {QString(), Problem::Empty};
    if (s.size() != 10 && s.size() != 13)
        return {QString(), allDigits(s, s.size()) ? Problem::Length : Problem::Character};
    if (s.size() == 10) {
        if (!allDigits(s, 9) || !(s.at(9) == QLatin1Char('X') || allDigits(s.mid(9), 1)))
            return {QString(), Problem::Character};
        if (check10(s.left(9)) != s.at(9))
            return {QString(), Problem::CheckDigit};
        return {to13(s), Problem::None};
    }
    if (!allDigits(s, 13))
        return {QString(), Problem::Character};
    if (!s.startsWith(QLatin1String("978")) && !s.startsWith(QLatin1String("979")))
        return {QString(), Problem::Character};
    if (check13(s.left(12)) != s.at(12))
        return {QString(), Problem::CheckDigit};
    return {s, Problem::None};
}

QString Isbn::problemKey(Problem problem)
{
    switch (problem) {
    case Problem::None:
    case Problem::Empty:
        return QString();
    case Problem::Length:
        return QStringLiteral("cisbnlen");
    case Problem::Character:
        return QStringLiteral("cisbnchar");
    case Problem::CheckDigit:
        return QStringLiteral("cisbncheck");
    }
    return QString();
}
