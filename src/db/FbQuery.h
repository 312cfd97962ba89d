#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

#include "DataSource.h"

#include "FbDatabase.h"
class FbTransaction;
struct FbStatement;
class FetchedRows;

// A statement on the connection: a list of lines, run as a query with a result set (open)
// or as a command (execSQL). Rows are fetched from the open cursor only as they are needed.
class FbQuery : public QObject
{
    Q_OBJECT
public:
    explicit FbQuery(FbDatabase *database, QObject *parent = nullptr);
    ~FbQuery() override;

    FbDatabase *database() const { return m_database; }
    FbTransaction *transaction() const;

    // The statement text; replacing it closes the query.
    QStringList sql() const { return m_sql; }
    void setSql(const QStringList &lines);
    // One statement, or a full text as text() gives it; lines are split at CR LF.
    void setSqlText(const QString &statement);
    void clearSql() { setSql({}); }
    // Every line followed by CR LF, as the statement is sent.
    QString text() const;

    // Runs a select and keeps its result set; connects first when needed.
    void open();
    // Runs a statement without a result set; a data change is made durable at once.
    void execSQL();
    // Rows the last execSQL inserted, changed or deleted; -1 when the engine did not say.
    qint64 rowsAffected() const { return m_rowsAffected; }
    void close();
    bool active() const { return m_active; }

    // A query closed only to be opened again at once (a list re-run) says nothing of the close
    // while a CloseHold lives: the widgets showing it go from the old rows straight to the new,
    // with no empty list and no scroll bar that goes and comes back between. closed() follows
    // when the hold ends with the query still closed, or at sayHeldClose().
    class CloseHold
    {
    public:
        explicit CloseHold(FbQuery *query);
        ~CloseHold();
        CloseHold(const CloseHold &) = delete;
        CloseHold &operator=(const CloseHold &) = delete;

    private:
        QPointer<FbQuery> m_query;
    };
    // Says a held close now (the wait for the new rows turned long).
    void sayHeldClose();

    // open() in three steps, for a select whose first row may take long (a sort, a scan) and
    // whose wait must not hold the window: prepareOpen() and finishOpen() on the window's thread,
    // executeOpen() on another while nothing else uses the query. Each throws FbError; after a
    // failed or cancelled executeOpen(), finishOpen(false, …) leaves the query closed.
    void prepareOpen();
    // The engine's part: the execute and the first row. True when there is a row.
    bool executeOpen();
    void finishOpen(bool executed, bool firstRow);
    // Whether the statement gives a result set, found by preparing it (connects first when needed).
    bool returnsRows();
    // Names of the :NAME parameters of a statement, in order (quotes and comments skipped).
    static QStringList parameterNames(const QString &sql);
    // The engine's plan for the statement, as it would run now (nothing is executed).
    QString plan();

    // Fills :NAME parameters from the master's current row and re-runs when it moves.
    void setMasterSource(DataSource *master);
    DataSource *masterSource() const { return m_master; }
    // While held, the master's moves only leave the result behind; released, a result left
    // behind runs again once. A list nobody can see need not follow every move.
    void holdMasterMoves(bool held);

    // Result set.
    int fieldCount() const { return m_fieldNames.size(); }
    QString fieldName(int column) const { return m_fieldNames.value(column); }
    QStringList fieldNames() const { return m_fieldNames; }
    // Case-insensitive; -1 when the result has no such field.
    int fieldIndex(const QString &name) const;

    int fetchedCount() const;
    bool allFetched() const { return m_eof; }
    // Fetches up to count more rows; returns how many arrived.
    int fetchMore(int count);
    void fetchAll();
    // Gives back the memory of the rows after the first `rows` (never the current one): the
    // statement runs again and fetches only those. Nothing happens when no more are held.
    void keepFirstRows(int rows);
    QVariant value(int row, int column) const;

    // Current row: -1 when the result is empty or the query is closed.
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);
    void first();
    void prior();
    void next();
    void last();
    bool isEmpty() const { return fetchedCount() == 0; }
    bool isFirst() const { return m_current <= 0; }
    bool isLast() const { return m_eof && m_current >= fetchedCount() - 1; }

    // Field of the current row; null when there is none.
    QVariant fieldValue(const QString &name) const;
    QString fieldText(const QString &name) const;
    static QString displayText(const QVariant &value);

    // Memory held for the fetched rows of the current result.
    qint64 heldRowBytes() const;

    // Rows fetched in total since the query was created (for measuring lazy fetching).
    qint64 totalFetched() const { return m_totalFetched; }

    // Called by the connection when it closes under the query.
    void connectionClosing();
    // Frees the statement kept prepared for a re-run, unless the query is open.
    void releaseIdleStatement();

signals:
    void opened();
    void closed();
    void currentRowChanged(int row);
    // Rows [first, last] have just been fetched.
    void rowsFetched(int first, int last);

private:
    void openCursor();
    // After the execute: the result's columns and its first row (fetched here unless the
    // execute's step fetched it or found none).
    enum class FirstRow { NotFetched, Fetched, NoneThere };
    void startResult(FirstRow first);
    void appendFetchedRow();
    void runStatement();
    void prepare();
    void bindParameters();
    void executePrepared();
    void masterChanged();
    void freeStatement();

    QPointer<FbDatabase> m_database;
    QStringList m_sql;
    bool m_active = false;
    int m_closeHolds = 0;
    bool m_closeUnsaid = false;
    bool m_eof = true;
    int m_current = -1;
    qint64 m_totalFetched = 0;
    qint64 m_rowsAffected = -1;
    QStringList m_fieldNames;
    std::unique_ptr<FetchedRows> m_rows;
    QStringList m_paramNames;
    QPointer<DataSource> m_master;
    bool m_masterHeld = false;
    bool m_behindMaster = false;
    std::unique_ptr<FbStatement> m_stmt;
    // The text m_stmt was prepared from, as sent (parameters replaced).
    QString m_preparedSql;
};
