#pragma once

#include <QString>

#include <optional>

class FbDatabase;
class FbQuery;
class QObject;

// Whether GIVEN changed since a reader last read it, by the counter every change of GIVEN steps
// (GIVEN_CHANGES, kept by a trigger whoever makes the change). A library without the counter,
// or an account that may not read it, always counts as changed: the reader reads every time.
class GivenChanges
{
public:
    // The counter's statement is made with queryParent, on db.
    GivenChanges(FbDatabase *db, QObject *queryParent, const QString &queryName);

    // True when the reader is to read GIVEN now; it is then counted as read at this moment, so
    // a change made while it reads is found at the next call.
    bool readNow();
    // Another library (or the same made anew) may have the same count: the next call reads.
    void forget() { m_readAt.reset(); }

private:
    std::optional<qint64> count();

    FbQuery *m_query;
    std::optional<qint64> m_readAt;
};
