#pragma once

#include "DialogBase.h"

#include <QStringList>
#include <memory>

class QMenu;

namespace Ui
{
class TsqlF;
}

// The user's saved SQL statements: an editable list, one statement per line, kept in sql.txt.
// The SQL page appends to it; the user copies a statement from it with the clipboard.
class TsqlF : public DialogBase
{
    Q_OBJECT
public:
    explicit TsqlF(QWidget *parent = nullptr);
    ~TsqlF() override;

    // The list as it stands in Memo1, unsaved edits included.
    QStringList lines() const;
    // The SQL page's save: the statement becomes the last line, then the whole list is written
    // to path. A statement the file cannot hold is refused before anything changes.
    void appendAndWrite(const QString &statement, const QString &path);

public slots:
    void FormCreate();
    void N11Click();     // "Load"
    void N21Click();     // "Save"
    void N31Click();     // "Clear"
    void Button1Click(); // "OK"

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setLines(const QStringList &lines);
    QStringList readList(const QString &path);
    void writeList(const QString &path, const QStringList &lines);

    std::unique_ptr<Ui::TsqlF> ui;
    QMenu *PopupMenu1;
    // The file could not be read the last time: keep a copy before it is replaced.
    bool m_keepBeforeWrite = false;
};

extern TsqlF *sqlF;
