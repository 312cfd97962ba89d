#pragma once

class BatchEntryWindow;
class ClickableLabel;
class QMenu;
class QWidget;

// The lookup's menu items, added at the end of the Books menu.
namespace IsbnActions {
void install(QMenu *books, QWidget *parent);
void applyLanguage();
// The batch entry window, made on first use.
BatchEntryWindow *batchWindow(QWidget *parent);
// A link to the catalogues window at the end of the settings window's groups.
void installSourcesLink(QWidget *settingsWindow);
} // namespace IsbnActions
