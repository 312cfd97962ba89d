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
    std::optional<QString> nextFileName;
    QStringList shown;
    bool autoAnswer = false;
};

PromptState &state()
{
    static PromptState s;
    return s;
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
    QWidget *parent = QApplication::activeWindow();
    // The program's texts separate lines with a carriage return; the box breaks lines at line feeds.
    const QString shown = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    switch (kind) {
    case Kind::Information:
        return QMessageBox::information(parent, caption, shown, buttons);
    case Kind::Warning:
        return QMessageBox::warning(parent, caption, shown, buttons);
    case Kind::Error:
        return QMessageBox::critical(parent, caption, shown, buttons);
    case Kind::Question:
        return QMessageBox::question(parent, caption, shown, buttons);
    }
    return QMessageBox::NoButton;
}

void UserPrompts::showError(const QString &text)
{
    message(Kind::Error, text);
}

QString UserPrompts::openFileName(QWidget *parent, const QString &filter, const QString &title)
{
    PromptState &s = state();
    if (s.nextFileName) {
        const QString name = *s.nextFileName;
        s.nextFileName.reset();
        return name;
    }
    if (s.autoAnswer)
        return {};
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

void UserPrompts::setNextAnswer(QMessageBox::StandardButton answer)
{
    state().nextAnswer = answer;
}

void UserPrompts::setNextFileName(const QString &fileName)
{
    state().nextFileName = fileName;
}

QStringList UserPrompts::shownMessages()
{
    return state().shown;
}

void UserPrompts::clearShownMessages()
{
    state().shown.clear();
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
