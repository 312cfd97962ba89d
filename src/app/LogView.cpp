#include "LogView.h"
#include "ui_LogView.h"

#include "AppState.h"
#include "EventConsole.h"
#include "LangStr.h"
#include "UserPrompts.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

TLogView *LogView = nullptr;

namespace
{
constexpr QSize clientSize(1266, 926);
// Room left for the window frame when the screen is smaller than the client area.
constexpr QSize frameAllowance(16, 48);
const QString logFileName = QStringLiteral("logfile.txt");
} // namespace

TLogView::TLogView(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TLogView>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(false);
    setWindowTitle(LangStr(QStringLiteral("llogfview")));

    QSize size = clientSize;
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        size = size.boundedTo(screen->availableSize() - frameAllowance);
    setFixedSize(size);
}

TLogView::~TLogView() = default;

QPlainTextEdit *TLogView::Memo1() const
{
    return ui->Memo1;
}

void TLogView::showLog()
{
    show();
    raise();
    activateWindow();
    loadLogFile();
}

void TLogView::loadLogFile()
{
    const QString path = AppState::baseDirectory() + logFileName;
    // No log yet: keep whatever the viewer showed before.
    if (!QFileInfo::exists(path))
        return;
    try {
        ui->Memo1->clear();
        ui->Memo1->setPlainText(EventConsole::readLogFile(path).join(QLatin1Char('\n')));
        LogEvent(LangStr(QStringLiteral("clogopend")));
    } catch (const std::exception &) {
        UserPrompts::message(UserPrompts::Kind::Error, QStringLiteral("Error! Logfile hasn't been loaded!\n"
                                                                      "Ошибка! Лог-файл не загружен!"));
        LogEvent(LangStr(QStringLiteral("clognopend")));
        close();
    }
}
