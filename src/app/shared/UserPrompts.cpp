#include "UserPrompts.h"

#include "FbError.h"
#include "FileError.h"
#include "LangStr.h"

#include <QApplication>
#include <QFileDialog>
#include <optional>

namespace {
struct PromptState {
    std::optional<QMessageBox::StandardButton> nextAnswer;
    QStringList nextFileNames; // answers of the next file dialogs, in order
    QStringList shown;
    QStringList fileDialogs; // "title | suggested name" of each file dialog asked for
    bool autoAnswer = false;
};

PromptState &state()
{
    static PromptState s;
    return s;
}

bool isBox(const QWidget *widget)
{
    return qobject_cast<const QMessageBox *>(widget) != nullptr;
}

// The visible window of the program that stays on top, the last one shown first; none when none is.
QWidget *stayOnTopWindow()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QWidget *window = *it;
        if (window->isVisible() && !isBox(window) && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
            (window->windowType() == Qt::Dialog || window->windowType() == Qt::Window))
            return window;
    }
    return nullptr;
}

// The dialog the box belongs to: the modal one, else the active dialog. A box that just closed
// may leave no window active, or hand activation to the main window while a dialog stays on
// top of it: the box then belongs to that dialog.
QWidget *boxOwner()
{
    if (QWidget *modal = QApplication::activeModalWidget(); modal && !isBox(modal))
        return modal;
    QWidget *active = QApplication::activeWindow();
    if (active && isBox(active))
        active = nullptr;
    if (active && active->windowType() == Qt::Dialog)
        return active;
    if (QWidget *onTop = stayOnTopWindow())
        return onTop;
    return active;
}

QMessageBox::Icon icon(UserPrompts::Kind kind)
{
    switch (kind) {
    case UserPrompts::Kind::Information:
        return QMessageBox::Information;
    case UserPrompts::Kind::Warning:
        return QMessageBox::Warning;
    case UserPrompts::Kind::Error:
        return QMessageBox::Critical;
    case UserPrompts::Kind::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}
} // namespace

QMessageBox::StandardButton UserPrompts::message(Kind kind, const QString &text, const QString &title,
                                                 QMessageBox::StandardButtons buttons)
{
    PromptState &s = state();
    s.shown << text;
    if (s.nextAnswer) {
        const auto answer = *s.nextAnswer;
        s.nextAnswer.reset();
        return answer;
    }
    if (s.autoAnswer)
        return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Yes;
    const QString caption = title.isEmpty() ? QApplication::applicationName() : title;
    // The program's texts separate lines with a carriage return; the box breaks lines at line feeds.
    const QString shown = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QWidget *owner = boxOwner();
    QMessageBox box(icon(kind), caption, shown, buttons, owner);
    // Above every window that stays on top, or a second box of one action would open behind one.
    if ((owner && owner->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) || stayOnTopWindow())
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.show();
    box.raise();
    box.activateWindow();
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void UserPrompts::showError(const QString &text)
{
    message(Kind::Error, text);
}

QString UserPrompts::openFileName(QWidget *parent, const QString &filter, const QString &title)
{
    PromptState &s = state();
    s.fileDialogs.append(title + QStringLiteral(" | "));
    if (!s.nextFileNames.isEmpty())
        return s.nextFileNames.takeFirst();
    if (s.autoAnswer)
        return {};
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString UserPrompts::saveFileName(QWidget *parent, const QString &filter, const QString &title,
                                  const QString &suggested)
{
    PromptState &s = state();
    s.fileDialogs.append(title + QStringLiteral(" | ") + suggested);
    if (!s.nextFileNames.isEmpty())
        return s.nextFileNames.takeFirst();
    if (s.autoAnswer)
        return {};
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

void UserPrompts::setNextAnswer(QMessageBox::StandardButton answer)
{
    state().nextAnswer = answer;
}

void UserPrompts::setNextFileName(const QString &fileName)
{
    state().nextFileNames = {fileName};
}

void UserPrompts::setNextFileNames(const QStringList &fileNames)
{
    state().nextFileNames = fileNames;
}

QStringList UserPrompts::shownMessages()
{
    return state().shown;
}

void UserPrompts::clearShownMessages()
{
    state().shown.clear();
    state().fileDialogs.clear();
}

QStringList UserPrompts::askedFileDialogs()
{
    return state().fileDialogs;
}

void UserPrompts::setAutoAnswer(bool on)
{
    state().autoAnswer = on;
}

QString databaseErrorText(const FbError &error)
{
    // What happened in the user's words, the engine's own text below it.
    QString said;
    if (error.libraryInUse())
        said = LangStr(QStringLiteral("cdbinuse"));
    else if (error.connectionLost())
        said = LangStr(QStringLiteral("cdblost"));
    return said.isEmpty() ? error.message() : said + QLatin1Char('\r') + error.message();
}

void runGuarded(const std::function<void()> &body)
{
    try {
        body();
    } catch (const FbError &e) {
        UserPrompts::showError(databaseErrorText(e));
    } catch (const FileError &e) {
        UserPrompts::showError(e.message());
    } catch (const std::exception &e) {
        UserPrompts::showError(QString::fromLocal8Bit(e.what()));
    }
}
