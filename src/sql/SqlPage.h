#pragma once

#include <QWidget>
#include <memory>

class DBGridEh;
class DbWorker;
class FbQuery;
class QLineEdit;

namespace Ui
{
class SqlPage;
}

// The SQL page of the main window: a free SQL console on the library with a statement builder,
// the book table's field names, the choice between a reading and a writing statement, and the
// grid of the last reading result. Statements run through the main window's IBQuery2.
class SqlPage : public QWidget
{
    Q_OBJECT
public:
    // Builder button and the text it appends to the statement.
    struct BuilderButton {
        const char *name;
        const char *text;
    };
    static const QList<BuilderButton> &builderButtons();

    explicit SqlPage(QWidget *parent = nullptr);
    ~SqlPage() override;

    QLineEdit *edSQL() const;
    DBGridEh *DBGridEh3() const;
    // Runs the statements typed here off the window's thread.
    DbWorker *worker();

signals:
    // A writing statement typed here has changed the library (on the worker's own attachment,
    // which the main connection's commits do not show).
    void changesStored();

public slots:
    void SqlOkBtnClick(); // runs the statement
    void SqlGoImgClick();
    void Button18Click(); // "Clear"
    void SQLSaveClick();
    void SQLLoadClick();
    void SQLFieldsDblClick();
    void SQLShow();
    void SqlStopBtnClick(); // stops the running statement in the engine

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void append(const QString &text);
    // The style's wide minimum for push buttons would take the statement field's room.
    void fitExecuteButtons();
    // Shows why the statement cannot run as chosen; false when it cannot.
    bool checkBeforeRun();
    // A reading statement is waited for off the window's thread, so that a long one leaves the
    // window live and can be stopped; the grid shows it from its first row.
    void runReading(FbQuery *query);
    // Runs a writing statement in the worker; one that changed several rows is kept only when the
    // user agrees.
    void runWriting(const QString &statement);
    void workEnded(const QString &message, bool stopped);
    void setRunning(bool running);
    bool keepChange(qint64 rows);

    std::unique_ptr<Ui::SqlPage> ui;
    DbWorker *m_worker = nullptr;
};
