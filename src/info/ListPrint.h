#pragma once

#include <QColor>
#include <QDateTime>
#include <QLocale>
#include <QString>

class DBGridEh;
class PrintDBGridEh;

// Printing of the book list and the loan list through the main window's print component.
namespace ListPrint {
// The gray of the header and footer lines.
inline const QColor kBandColor(128, 128, 128);

// The settings of the print component that stay the same for every print: 1 cm margins,
// widths from the contents, header and footer in 8 point bold MS Sans Serif (or the system's
// sans-serif font), gray.
void setUpPrintComponent(PrintDBGridEh *engine);

// The header: the list's name, three blanks, the short date, a blank, the long time in parentheses.
QString headerText(const QString &listName, const QDateTime &now, const QLocale &locale = QLocale::system());
// The footer: the product's line and the database path.
QString footerText(const QString &databasePath);

// Attaches the grid, replaces the header and footer lines (the list's name from the catalogue
// key titleKey, the date and time read once) and opens the print preview.
void printList(PrintDBGridEh *engine, DBGridEh *grid, const QString &titleKey, const QString &databasePath);
} // namespace ListPrint
