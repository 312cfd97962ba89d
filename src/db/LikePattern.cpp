#include "LikePattern.h"

namespace
{
constexpr QChar kEscape = QLatin1Char('\\');

QString doubledApostrophes(QString text)
{
    return text.replace(QLatin1Char('\''), QStringLiteral("''"));
}
} // namespace

QString likeContains(const QString &column, const QString &text)
{
    const bool wildcards = text.contains(QLatin1Char('%')) || text.contains(QLatin1Char('_'));
    if (!wildcards)
        return column + QStringLiteral(" like '%") + doubledApostrophes(text) + QStringLiteral("%'");
    QString escaped;
    escaped.reserve(text.size() * 2);
    for (const QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == kEscape)
            escaped += kEscape;
        escaped += c;
    }
    return column + QStringLiteral(" like '%") + doubledApostrophes(escaped) + QStringLiteral("%' ESCAPE '") + kEscape +
           QLatin1Char('\'');
}
