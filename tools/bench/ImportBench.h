#pragma once

#include <QStringList>

// Import of a generated CSV file of many rows beside the engine inserting the same rows through
// one prepared statement; each side runs in a child process of its own, so its peak memory is its own.
namespace ImportBench
{

// bench --import [ROWS ...]: prints one line per size (default 100 000 and 1 000 000 rows).
int run(const QString &program, const QStringList &sizes);
// bench --import-child program|engine CSV LIBRARY ROWS: prints "ms growthMb".
int child(const QStringList &args);

} // namespace ImportBench
