#include "AppWindows.h"

#include "AboutWindow.h"
#include "AddBookWindow.h"
#include "AddConstantWindow.h"
#include "ChangeBookWindow.h"
#include "ConnectionSettings.h"
#include "ConstantsWindow.h"
#include "DataSource.h"
#include "DeleteBookWindow.h"
#include "FbQuery.h"
#include "FieldsWindow.h"
#include "IsbnWiring.h"
#include "Language.h"
#include "LendWindow.h"
#include "LogView.h"
#include "MainWindow.h"
#include "MultiDeleteWindow.h"
#include "RegisterWindow.h"
#include "ReturnWindow.h"
#include "Settings.h"
#include "Splash.h"
#include "UserPrompts.h"
#include "ViewBookWindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace {

void showWindow(QWidget *window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

// The id field of a list's current row, empty when the list has no current row.
QString currentId(DataSource *source, const QString &field)
{
    const FbQuery *query = source ? source->dataSet() : nullptr;
    return query ? query->fieldText(field) : QString();
}

} // namespace

void showAppWindow(AppWindow window)
{
    switch (window) {
    case AppWindow::Settings:
        if (!Settings)
            new TSettings(MainF);
        showWindow(Settings);
        Settings->repaint();
        break;
    case AppWindow::ConnectionSettings:
        showWindow(ConnectionSettings);
        break;
    case AppWindow::Register:
        showWindow(RegisterF);
        break;
    case AppWindow::Constants:
        showWindow(ConstantsF);
        break;
    case AppWindow::Fields:
        showWindow(FieldsF);
        break;
    case AppWindow::AddBook:
        showWindow(add);
        break;
    case AppWindow::ChangeBook:
        showWindow(cng);
        break;
    case AppWindow::DeleteBook:
        if (!del)
            new Tdel(MainF);
        showWindow(del);
        break;
    case AppWindow::MultiDelete:
        showWindow(MultiDelF);
        break;
    case AppWindow::Lend:
        if (!currentId(mainApi()->DataSource1(), QStringLiteral("Id")).isEmpty())
            showWindow(GivenF);
        break;
    case AppWindow::Return:
        if (!currentId(mainApi()->DataSource4(), QStringLiteral("Given_id")).isEmpty())
            showWindow(BackF);
        break;
    case AppWindow::About:
        if (!AboutBox)
            new TAboutBox(MainF);
        AboutBox->exec();
        break;
    }
}

void connectWindows()
{
    Tdel::setLanguageRoutine(ApplyDelLanguage);
    TAboutBox::setLanguageRoutine(ApplyAboutLanguage);
    if (add) {
        QObject::connect(add, &Tadd::constantsWindowRequested, add, [] { showAppWindow(AppWindow::Constants); });
        QObject::connect(add, &Tadd::fieldsWindowRequested, add, [] { showAppWindow(AppWindow::Fields); });
    }
    connectConstantWindows();
    connectIsbnRows();
}

void connectConstantWindows()
{
    if (!add)
        return;
    if (FieldsF)
        add->setAllowEmptyOption(FieldsF->FieldsAllowEmptyChk());
    if (!ConstantsF)
        return;
    const auto copyLists = [] {
        if (add && ConstantsF)
            add->setConstantLists(ConstantsF->constantLists());
    };
    QObject::connect(add, &Tadd::constantListsWanted, ConstantsF, copyLists);
    QObject::connect(ConstantsF, &TConstantsF::constantListsCopied, add, copyLists);
    // The picture beside a box offers its value for the field's constant list.
    QObject::connect(add, &Tadd::addConstantRequested, ConstantsF, [](int field, const QString &value) {
        if (!AddConstF)
            return;
        ConstantsF->selectField(field);
        AddConstF->ask(value);
    });
}

bool viewWindowShown()
{
    return ViewF && ViewF->isVisible();
}

void toggleViewWindow()
{
    if (ViewF)
        ViewF->setVisible(!ViewF->isVisible());
}

void hideSplash()
{
    if (!SplashF)
        return;
    SplashF->hide();
    SplashF->close();
}

void showLogViewer()
{
    if (!LogView)
        new TLogView(MainF);
    LogView->showLog();
}

ConnectionRequest currentConnectionRequest()
{
    if (!ConnectionSettings)
        return {};
    return {ConnectionSettings->connectionParams(), ConnectionSettings->generalValue(QStringLiteral("db_file_path")),
            ConnectionSettings->generalValue(QStringLiteral("login_promt"))};
}

QString connectionSettingsPath()
{
    const QLabel *label = ConnectionSettings ? ConnectionSettings->findChild<QLabel *>(QStringLiteral("CurrentDbPathLb"))
                                             : nullptr;
    return label ? label->text() : QString();
}

void applyPathInConnectionSettings(const QString &path)
{
    if (!ConnectionSettings)
        return;
    if (auto *edit = ConnectionSettings->findChild<QLineEdit *>(QStringLiteral("DbFilePath")))
        edit->setText(path);
    // The window's confirm button: BitBtn1 in older forms, Button2 ("Apply") now.
    for (const char *name : {"BitBtn1", "Button2"}) {
        if (auto *apply = ConnectionSettings->findChild<QAbstractButton *>(QString::fromLatin1(name))) {
            apply->click();
            return;
        }
    }
}

void saveConnectionProfileAtExit()
{
    // A profile that cannot be written must not keep the rest of the closing (the log) from
    // happening; the error is shown and closing goes on.
    runGuarded([] { SaveConnectionProfile(); });
}

void setSettingsHideLeftFrame(bool checked)
{
    if (!Settings)
        return;
    if (auto *box = Settings->findChild<QCheckBox *>(QStringLiteral("SettingsHideLeftFrame")))
        box->setChecked(checked);
}

bool addWindowClosesAfterAdding()
{
    return add && add->closesAfterAdding();
}
