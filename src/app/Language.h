#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Puts the texts of the current interface language into every window created at start-up.
// Call after the setting Language has changed; each text is read afresh through LangStr.
void ApplyLanguage();
// The same for the delete window, which sets its texts each time it is shown.
void ApplyDelLanguage();
// The same for the about window, which sets its texts each time it is shown.
void ApplyAboutLanguage();

namespace LanguageMap
{

// What an entry sets on its control.
enum class Target {
    Caption,         // label, button, check/radio box, group box title, tab page text
    WindowTitle,     // the window's own title; the entry has no control
    MenuCaption,     // QAction text or QMenu title
    Text,            // line edit text, or the edit field of a combo box
    Hint,            // tool tip
    ListEntries,     // combo / list widget entries from `first` on, in place
    ColumnTitles,    // QTableWidget horizontal header from `first` on
    GridColumnTitle, // title of the book grid's column showing the field named by `control`
};

// Text expressions: "{key}" stands for LangStr(key), everything else is put in as written,
// so "  {lbkoprs}" is two blanks and the key's text, and "Id" is a fixed text.
struct Entry {
    QString control; // objectName of the control (field name for GridColumnTitle); empty for the title
    Target target;
    QStringList texts;   // one expression, or one per list entry / column
    int first = 0;       // first list entry or column
    QString window = {}; // objectName of the top-level window
};

// Windows whose texts ApplyLanguage does not set: they have routines of their own.
inline const QString kDeleteWindow = QStringLiteral("del");
inline const QString kAboutWindow = QStringLiteral("AboutBox");
inline const QString kLogWindow = QStringLiteral("LogView");
// The main window's book grid, which shows the fields of the book list.
inline const QString kBookGrid = QStringLiteral("DBGridEh1");

// Every entry of every window, the delete and about windows included.
const QList<Entry> &entries();

// The expression with each "{key}" replaced by LangStr(key).
QString expand(const QString &expression);
// The keys an expression refers to, in order.
QStringList keysOf(const QString &expression);

} // namespace LanguageMap
