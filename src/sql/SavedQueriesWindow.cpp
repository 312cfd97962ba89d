#include "SavedQueriesWindow.h"

#include "ui_SavedQueriesWindow.h"

#include "EventConsole.h"
#include "FileError.h"
#include "LangStr.h"
#include "SavedQueriesFile.h"
#include "UserPrompts.h"

#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>

TsqlF *sqlF = nullptr;

TsqlF::TsqlF(QWidget *parent) : DialogBase(parent), ui(std::make_unique<Ui::TsqlF>()), PopupMenu1(new QMenu(this))
{
    sqlF = this;
    ui->setupUi(this);
    setThemedWidgets({ui->Label2, ui->Panel1, ui->Panel2});

    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const auto item = [this](const char *name, const QString &text, void (TsqlF::*handler)()) {
        QAction *action = PopupMenu1->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this,
                [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
    };
    item("N1", QStringLiteral("Load"), &TsqlF::N11Click);
    item("N2", QStringLiteral("Save"), &TsqlF::N21Click);
    item("N3", QStringLiteral("Clear"), &TsqlF::N31Click);
    ui->Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->Memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->exec(ui->Memo1->viewport()->mapToGlobal(pos)); });
    connect(ui->Button1, &QPushButton::clicked, this, &TsqlF::Button1Click);

    runGuarded([this] { FormCreate(); });
}

TsqlF::~TsqlF()
{
    if (sqlF == this)
        sqlF = nullptr;
}

// The window works on the bare name, that is in the current directory at the time.
void TsqlF::FormCreate()
{
    const QString &path = SavedQueriesFile::kFileName;
    if (!QFileInfo::exists(path))
        writeList(path, {});
    setLines(readList(path));
}

void TsqlF::N11Click()
{
    // Read first: a file that cannot be read leaves the list as it was.
    setLines(readList(SavedQueriesFile::kFileName));
}

void TsqlF::N21Click()
{
    writeList(SavedQueriesFile::kFileName, lines());
}

void TsqlF::N31Click()
{
    writeList(SavedQueriesFile::kFileName, {});
    setLines({});
}

void TsqlF::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    // "OK" holds the focus, so that Enter closes the window as Esc does.
    ui->Button1->setFocus();
}

void TsqlF::Button1Click()
{
    close();
}

QStringList TsqlF::lines() const
{
    const QString text = ui->Memo1->toPlainText();
    if (text.isEmpty())
        return {};
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList all = text.split(lineEnd);
    // A break after the last line starts no further statement.
    if (all.last().isEmpty())
        all.removeLast();
    return all;
}

void TsqlF::setLines(const QStringList &lines)
{
    // Every line ends with its break, as in the file, so that an empty last line stays a line.
    ui->Memo1->setPlainText(lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void TsqlF::appendAndWrite(const QString &statement, const QString &path)
{
    SavedQueriesFile::encode({statement});
    const QStringList all = lines() << statement;
    setLines(all);
    writeList(path, all);
}

QStringList TsqlF::readList(const QString &path)
{
    try {
        const QStringList list = SavedQueriesFile::read(path);
        m_keepBeforeWrite = false;
        return list;
    } catch (const FileError &) {
        m_keepBeforeWrite = true;
        throw;
    }
}

void TsqlF::writeList(const QString &path, const QStringList &lines)
{
    SavedQueriesFile::encode(lines);
    if (m_keepBeforeWrite && QFileInfo(path).isFile())
        LogEvent(LangStr(QStringLiteral("csqlfkept")) + QStringLiteral(" \"") + SavedQueriesFile::keepCopy(path) +
                 QLatin1Char('"'));
    SavedQueriesFile::write(path, lines);
    m_keepBeforeWrite = false;
}
