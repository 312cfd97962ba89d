#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Message boxes and file dialogs go through here, so that tests can answer them.
namespace UserPrompts {
enum class Kind { Information, Warning, Error, Question };

// Shows a message box; returns the button pressed (Ok for plain messages).
QMessageBox::StandardButton message(Kind kind, const QString &text, const QString &title = QString(),
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok);
// The general error box: an error nobody else handled; the program goes on.
void showError(const QString &text);
// An open-file dialog; empty when cancelled.
QString openFileName(QWidget *parent, const QString &filter, const QString &title = QString());
// A save-file dialog (asks before replacing a file); empty when cancelled. Answered by setNextFileName.
// The dialog suggests the file name suggested in its first folder.
QString saveFileName(QWidget *parent, const QString &filter, const QString &title = QString(),
                     const QString &suggested = QString());

// Test seam: the next message box is answered with this button without showing, and its text
// is recorded; likewise the next file dialog returns the given name.
void setNextAnswer(QMessageBox::StandardButton answer);
void setNextFileName(const QString &fileName);
// The answers of several file dialogs in a row (an action that asks for two files).
void setNextFileNames(const QStringList &fileNames);
// Texts of the boxes shown (or answered) so far, oldest first.
QStringList shownMessages();
void clearShownMessages();
// Each file dialog asked for so far, as its title, " | " and the name it suggested.
QStringList askedFileDialogs();
// When on, every box is answered with Ok/the default and recorded, never shown (tests).
void setAutoAnswer(bool on);
} // namespace UserPrompts

class FbError;
// The text of a database error as the user is shown it.
QString databaseErrorText(const FbError &error);

// Runs a handler body; an error that escapes it is shown in the general error box.
void runGuarded(const std::function<void()> &body);
