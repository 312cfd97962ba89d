#include "IsbnTexts.h"

#include "LangStr.h"

QString IsbnTexts::outcome(IsbnLookup::Outcome outcome)
{
    switch (outcome) {
    case IsbnLookup::Outcome::Found:
        return QString();
    case IsbnLookup::Outcome::NotFound:
        return LangStr(QStringLiteral("cisbnnone"));
    case IsbnLookup::Outcome::Offline:
        return LangStr(QStringLiteral("cisbnoffline"));
    case IsbnLookup::Outcome::Stopped:
        return LangStr(QStringLiteral("cisbnstopped"));
    }
    return QString();
}

QString IsbnTexts::sourceLine(const QString &isbn13, const QString &sourceName, IsbnLookup::SourceResult result)
{
    static const char *const keys[] = {"cisbnrfound", "cisbnrnone", "cisbnrtime", "cisbnrgarb",
                                       "cisbnrother", "cisbnrunreach", "cisbnrhttp"};
    return QStringLiteral("ISBN %1, %2: %3")
        .arg(isbn13, sourceName, LangStr(QLatin1String(keys[static_cast<int>(result)])));
}

QString IsbnTexts::duplicate(const QString &isbn13, const IsbnStore::Owner &owner)
{
    const QString where = owner.lent ? LangStr(QStringLiteral("cisbnlentto")).arg(owner.lentTo)
                                     : LangStr(QStringLiteral("cisbnshelf"));
    return LangStr(QStringLiteral("cisbndup")).arg(isbn13, owner.id, owner.title, where);
}
