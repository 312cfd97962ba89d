#pragma once

#include <QString>
#include <functional>

class ImportBooksWindow;
class QMenu;
class QWidget;

// Export and import of the lists, backup and restore of the library: the menu items and what
// they do. The main window installs them at the end of its menus.
namespace ExchangeActions
{

// Makes a restored library the one in use (the connection settings window applies its path).
using RegisterLibrary = std::function<void(const QString &path)>;

// Appends the export and import items to the Library menu and backup and restore to the
// Database menu.
void install(QMenu *library, QMenu *database, QWidget *parent, const RegisterLibrary &registerLibrary);

// The book list as it stands (its search and ordering), the whole library, the loan list.
void exportBookList(QWidget *parent);
void exportAllBooks(QWidget *parent);
void exportLoans(QWidget *parent);
// Every past loan, oldest return first.
void exportLoanHistory(QWidget *parent);
void importBooks(QWidget *parent);
void backupLibrary(QWidget *parent);
void restoreLibrary(QWidget *parent, const RegisterLibrary &registerLibrary);

// The import window, made on first use.
ImportBooksWindow *importWindow(QWidget *parent);

} // namespace ExchangeActions
