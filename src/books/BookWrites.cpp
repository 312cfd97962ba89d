#include "BookWrites.h"

#include "AppState.h"
#include "BookStatements.h"
#include "FbDatabase.h"
#include "FbQuery.h"
#include "LangStr.h"

namespace BookWrites
{

QString unstorableMessage(const QVector<std::pair<QString, QString>> &fields)
{
    const FbDatabase *database = mainApi()->IBQuery1()->database();
    const std::optional<BookStatements::Unstorable> bad =
        database ? BookStatements::firstUnstorable(fields, database->charset()) : std::nullopt;
    if (!bad)
        return QString();
    // The code point as well: a font may have no picture for the character.
    const char32_t codePoint = bad->character.toUcs4().value(0);
    const QString code = QStringLiteral("U+%1").arg(static_cast<uint>(codePoint), 4, 16, QLatin1Char('0')).toUpper();
    return LangStr(QStringLiteral("cbadchar")).arg(bad->character, code, LangStr(bad->labelKey));
}

void rerunListAfterFailure()
{
    try {
        mainApi()->RefreshBooks();
    } catch (const std::exception &) {
    }
}

} // namespace BookWrites
