#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class FbDatabase;

// Copies a library into a new Unicode (UTF8) library: the books with their ids, the loans, the
// loan history, the borrowers and the ISBN records, everything the program keeps. The new
// library's own engine reads the old one (the engine turns Windows-1251 into UTF8), one
// statement a table, so a Stop cancels it in the engine.
namespace LibraryConversion {
struct Count {
    QString table;
    qint64 source = 0;
    qint64 copied = 0;
};

// The tables copied, in order; one the old library lacks is left out.
QStringList tables();

// Fills target, a new empty UTF8 library that is open, from the library named sourceName (opened
// with sourceParams). step is called before each table with how many are done; returning false
// stops. Throws FbError on any failure, and when a count differs after copying.
QList<Count> convert(FbDatabase &target, const QString &sourceName, const QStringList &sourceParams,
                     const std::function<bool(int done, int total, const QString &table)> &step);
} // namespace LibraryConversion
