#pragma once

#include "FbDatabase.h"
#include "FbTransaction.h"

#include <QTemporaryDir>

// A library of generated books in a temporary directory, connected, for the benchmark tools.
class GeneratedLibrary
{
public:
    // Creates the library and fills it with books; fillMs is how long the filling took.
    explicit GeneratedLibrary(int books);

    FbDatabase &database() { return m_db; }
    double fillMs() const { return m_fillMs; }
    // A file name in the library's temporary directory, for what a benchmark writes beside it.
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    FbDatabase m_db;
    FbTransaction m_tr{&m_db};
    double m_fillMs = 0;
};
