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
    return LangStr(QStringLiteral("cbadchar")).arg(bad->character, LangStr(bad->labelKey));
}

void rerunListAfterFailure()
{
    try {
        mainApi()->RefreshBooks();
    } catch (const std::exception &) {
    }
}

} // namespace BookWrites
