#include "Catalogue.h"
#include "DBGridEh.h"
#include "GridFindDialog.h"
#include "Language.h"
#include "LogView.h"
#include "SettingsList.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{

QString cat(const char *key, const QString &language)
{
    return Catalogue::text(QString::fromLatin1(key), language);
}

template <typename T> T *make(QWidget *parent, const char *name)
{
    auto *widget = new T(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QWidget *makeWindow(const char *name, QWidget *parent = nullptr)
{
    auto *window = parent ? new QDialog(parent) : new QWidget;
    window->setObjectName(QString::fromLatin1(name));
    return window;
}

QStringList comboItems(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

} // namespace

// A few windows with a control of each kind under the names the program's windows use.
class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void setsEveryKindOfControl_data();
    void setsEveryKindOfControl();
    void listEntriesAreReplacedInPlace();
    void composedTexts();
    void touchesOnlyItsOwnWindowsAndControls();
    void deleteAndAboutWindowsHaveTheirOwnRoutines();
    void createsTheLogViewerHidden();
    void gridFindWindowFollowsTheLanguage();
    void qtDialogsFollowTheLanguage_data();
    void qtDialogsFollowTheLanguage();
    void tableUsesOnlyCatalogueKeysAndKnownWindows();

private:
    void setLanguage(const QString &language) { settingsList().setValue(u"Language"_s, language); }

    QList<QWidget *> m_windows;
    QWidget *m_main = nullptr;
    QLabel *m_leftCaption1 = nullptr;
    QLabel *m_mainLabel1 = nullptr;
    QPushButton *m_addBtn = nullptr;
    QGroupBox *m_groupBox8 = nullptr;
    QTabWidget *m_tabs = nullptr;
    QWidget *m_reslt = nullptr;
    QMenu *m_file1 = nullptr;
    QAction *m_n5 = nullptr;
    QAction *m_mainN2 = nullptr;
    QComboBox *m_selList2 = nullptr;    // fewer entries than the table sets
    QComboBox *m_selList3 = nullptr;    // more entries than the table sets
    QComboBox *m_fieldsList2 = nullptr; // not editable
    QLineEdit *m_edSel2 = nullptr;
    DBGridEh *m_grid = nullptr;
    QWidget *m_add = nullptr; // a dialog of the main window, as start-up may parent it
    QLabel *m_addLabel1 = nullptr;
    QLabel *m_addLabel12 = nullptr;
    QWidget *m_settings = nullptr;
    QAction *m_settingsN2 = nullptr;
    QRadioButton *m_regRadio = nullptr;
    QTableWidget *m_lstParams = nullptr;
    QListWidget *m_fieldsList = nullptr;
    QWidget *m_addConst = nullptr;
    QLabel *m_addConstLabel1 = nullptr;
    QLabel *m_delConstLb = nullptr;
    QWidget *m_del = nullptr;
    QLabel *m_delLabel3 = nullptr;
    QWidget *m_about = nullptr;
    QLabel *m_aboutLabel13 = nullptr;
    QWidget *m_other = nullptr;
    QLabel *m_otherLabel1 = nullptr;
    QLabel *m_otherLabel5 = nullptr;
};

void TestLanguage::init()
{
    m_main = makeWindow("MainF");
    m_leftCaption1 = make<QLabel>(m_main, "LeftCaption1");
    m_mainLabel1 = make<QLabel>(m_main, "Label1");
    m_addBtn = make<QPushButton>(m_main, "addBtn");
    m_groupBox8 = make<QGroupBox>(m_main, "GroupBox8");
    m_tabs = make<QTabWidget>(m_main, "PageControl1");
    m_tabs->addTab(make<QWidget>(nullptr, "Base"), u"Information"_s);
    m_reslt = make<QWidget>(nullptr, "Reslt");
    m_tabs->addTab(m_reslt, u"Books"_s);
    m_file1 = make<QMenu>(m_main, "File1");
    m_n5 = m_file1->addAction(u"Settings"_s);
    m_n5->setObjectName(u"N5"_s);
    m_mainN2 = new QAction(u"Info"_s, m_main);
    m_mainN2->setObjectName(u"N2"_s);

    m_selList2 = make<QComboBox>(m_main, "SelList2");
    m_selList2->setEditable(true);
    m_selList2->addItems({u"a"_s, u"b"_s, u"c"_s});
    m_selList3 = make<QComboBox>(m_main, "SelList3");
    m_selList3->setEditable(true);
    for (int i = 0; i < 12; ++i)
        m_selList3->addItem(u"item %1"_s.arg(i));
    m_selList3->setCurrentIndex(2);
    m_edSel2 = make<QLineEdit>(m_main, "edSel2");
    m_edSel2->setText(u"typed by the user"_s);

    m_grid = make<DBGridEh>(m_main, "DBGridEh1");
    m_grid->setColumns({{u"TITLE"_s, u"Title"_s, 65}, {u"Id"_s, u"Id"_s, 4}, {u"AUTHOR"_s, u"Author"_s, 35}});

    m_add = makeWindow("add", m_main);
    m_addLabel1 = make<QLabel>(m_add, "Label1");
    m_addLabel12 = make<QLabel>(m_add, "Label12");

    m_settings = makeWindow("Settings");
    auto *popup = new QMenu(m_settings);
    m_settingsN2 = popup->addAction(u"By default"_s);
    m_settingsN2->setObjectName(u"N2"_s);

    auto *reg = makeWindow("RegisterF");
    m_regRadio = make<QRadioButton>(reg, "NewlibraryRb");

    auto *conn = makeWindow("ConnectionSettings");
    m_lstParams = make<QTableWidget>(conn, "LstParams");
    m_lstParams->setColumnCount(2);
    m_lstParams->setHorizontalHeaderItem(0, new QTableWidgetItem(u"Parameter"_s));

    auto *constants = makeWindow("ConstantsF");
    m_fieldsList = make<QListWidget>(constants, "FieldsList");
    m_fieldsList->addItems({u"a"_s, u"b"_s, u"c"_s});
    m_fieldsList2 = make<QComboBox>(constants, "FieldsList2");
    for (int i = 0; i < 9; ++i)
        m_fieldsList2->addItem(u"field %1"_s.arg(i));
    m_delConstLb = make<QLabel>(constants, "DelConstLb");

    m_addConst = makeWindow("AddConstF");
    m_addConstLabel1 = make<QLabel>(m_addConst, "Label1");

    m_del = makeWindow("del");
    m_delLabel3 = make<QLabel>(m_del, "Label3");
    m_about = makeWindow("AboutBox");
    m_aboutLabel13 = make<QLabel>(m_about, "Label13");

    // A dialog of the main window that the table does not know, holding names the main window's
    // entries use; the main window itself has no Label5.
    m_other = makeWindow("NotInTheTable", m_main);
    m_otherLabel1 = make<QLabel>(m_other, "Label1");
    m_otherLabel5 = make<QLabel>(m_other, "Label5");

    m_windows = {m_main, m_settings, reg, conn, constants, m_addConst, m_del, m_about};
}

void TestLanguage::cleanup()
{
    qDeleteAll(m_windows);
    m_windows.clear();
    // Created by ApplyLanguage as a child of the main window, so it went with it.
    LogView = nullptr;
    setLanguage(u"en"_s);
}

void TestLanguage::setsEveryKindOfControl_data()
{
    QTest::addColumn<QStringList>("languages");
    // Each row switches at least once, so a routine that sets nothing cannot pass on English
    // placeholders alone.
    QTest::newRow("ru") << QStringList{u"ru"_s};
    QTest::newRow("ua") << QStringList{u"ua"_s};
    QTest::newRow("ru then en") << QStringList{u"ru"_s, u"en"_s};
    QTest::newRow("ua then ru") << QStringList{u"ua"_s, u"ru"_s};
}

void TestLanguage::setsEveryKindOfControl()
{
    QFETCH(QStringList, languages);
    for (const QString &language : std::as_const(languages)) {
        setLanguage(language);
        ApplyLanguage();
    }
    const QString lang = languages.last();

    QCOMPARE(m_mainLabel1->text(), cat("linform", lang));
    QCOMPARE(m_addBtn->text(), cat("ladd", lang));
    QCOMPARE(m_addBtn->toolTip(), cat("laddb", lang));
    QCOMPARE(m_groupBox8->title(), cat("lexec", lang));
    QCOMPARE(m_tabs->tabText(m_tabs->indexOf(m_reslt)), cat("lview", lang));
    QCOMPARE(m_tabs->tabText(0), cat("linform", lang));
    QCOMPARE(m_file1->title(), cat("lfile", lang));
    QCOMPARE(m_n5->text(), cat("lsettings", lang));
    QCOMPARE(m_mainN2->text(), cat("linfo", lang));
    QCOMPARE(m_settingsN2->text(), cat("lbydef", lang));
    QCOMPARE(m_regRadio->text(), cat("ldbdeflb", lang));
    QCOMPARE(m_edSel2->text(), cat("lsrchw", lang));
    QCOMPARE(m_edSel2->toolTip(), cat("hsrch", lang));
    QCOMPARE(m_selList2->currentText(), cat("lsrchby", lang));
    QCOMPARE(m_selList3->currentText(), cat("larrgby", lang));
    QCOMPARE(m_selList3->toolTip(), cat("harrby", lang));
    QCOMPARE(m_lstParams->horizontalHeaderItem(0)->text(), cat("lcnparr", lang));
    QVERIFY(m_lstParams->horizontalHeaderItem(1));
    QCOMPARE(m_lstParams->horizontalHeaderItem(1)->text(), cat("lcnval", lang));
    QCOMPARE(m_settings->windowTitle(), cat("lsettings", lang));
    QCOMPARE(m_addConst->windowTitle(), cat("laddncnst", lang) + u" ?"_s);

    const QueryModel *model = m_grid->queryModel();
    QCOMPARE(model->columnTitle(0), cat("ltitle", lang));
    QCOMPARE(model->columnTitle(1), u"Id"_s);
    QCOMPARE(model->columnTitle(2), cat("lauthor", lang));
    QCOMPARE(m_grid->model()->headerData(2, Qt::Horizontal).toString(), cat("lauthor", lang));
}

void TestLanguage::listEntriesAreReplacedInPlace()
{
    setLanguage(u"ru"_s);
    ApplyLanguage();

    // Entries 0..9 of a three-entry list: only the three there are replaced.
    QCOMPARE(comboItems(m_selList2),
             (QStringList{cat("ftitle", u"ru"_s), cat("fauthor", u"ru"_s), cat("fpub", u"ru"_s)}));

    // Entries 1..9 of a twelve-entry list: entry 0 and entries 10, 11 keep their text.
    const QStringList items = comboItems(m_selList3);
    QCOMPARE(items.size(), 12);
    QCOMPARE(items.at(0), u"item 0"_s);
    QCOMPARE(items.at(1), cat("ftitle", u"ru"_s));
    QCOMPARE(items.at(9), cat("fclas", u"ru"_s));
    QCOMPARE(items.at(10), u"item 10"_s);
    QCOMPARE(items.at(11), u"item 11"_s);
    QCOMPARE(m_selList3->currentIndex(), 2);
    // Replacing the selected entry must not overwrite the prompt in the edit field.
    QCOMPARE(m_selList3->currentText(), cat("larrgby", u"ru"_s));

    QCOMPARE(m_fieldsList->count(), 3);
    QCOMPARE(m_fieldsList->item(2)->text(), cat("lser", u"ru"_s));
    QCOMPARE(m_fieldsList2->count(), 9);
    QCOMPARE(m_fieldsList2->itemText(6), cat("lclas", u"ru"_s));
    QCOMPARE(m_fieldsList2->itemText(7), u"field 7"_s);

    // The fixed "Id" of the search list is the same in every language.
    auto *search = make<QComboBox>(m_main, "SelList5");
    search->addItems({u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s});
    ApplyLanguage();
    QCOMPARE(comboItems(search),
             (QStringList{cat("ftitle", u"ru"_s), cat("fgvnt", u"ru"_s), cat("fgvnd", u"ru"_s), u"Id"_s, u"5"_s}));
}

void TestLanguage::composedTexts()
{
    setLanguage(u"en"_s);
    ApplyLanguage();
    QCOMPARE(m_leftCaption1->text(), u"  "_s + cat("lbkoprs", u"en"_s));
    QCOMPARE(m_addConst->windowTitle(), u"Add new constant ?"_s);
    QCOMPARE(m_addConstLabel1->text(), cat("laddncnst", u"en"_s) + u" "_s + cat("laddncnstl1", u"en"_s));
    QCOMPARE(m_addLabel12->text(), u" "_s + cat("lhintstr", u"en"_s));
    QCOMPARE(m_delConstLb->text(), cat("ldel", u"en"_s) + u" "_s + cat("lcnstu", u"en"_s));

    setLanguage(u"ua"_s);
    ApplyLanguage();
    QCOMPARE(m_leftCaption1->text(), u"  "_s + cat("lbkoprs", u"ua"_s));
    QCOMPARE(m_addConst->windowTitle(), cat("laddncnst", u"ua"_s) + u" ?"_s);
}

void TestLanguage::touchesOnlyItsOwnWindowsAndControls()
{
    m_otherLabel1->setText(u"untouched"_s);
    m_otherLabel5->setText(u"untouched"_s);
    setLanguage(u"ru"_s);
    ApplyLanguage();
    // The add window is a child of the main window; each Label1 gets its own window's text.
    QCOMPARE(m_mainLabel1->text(), cat("linform", u"ru"_s));
    QCOMPARE(m_addLabel1->text(), cat("ltitle", u"ru"_s));
    QCOMPARE(m_otherLabel1->text(), u"untouched"_s);
    QCOMPARE(m_otherLabel5->text(), u"untouched"_s);
    QCOMPARE(m_other->windowTitle(), QString());

    // Windows that appear later get their texts from the next switch.
    auto *cng = makeWindow("cng");
    m_windows << cng;
    auto *titlelb = make<QLabel>(cng, "Titlelb");
    ApplyLanguage();
    QCOMPARE(titlelb->text(), cat("ltitle", u"ru"_s));
    QCOMPARE(cng->windowTitle(), cat("leditb", u"ru"_s));
}

void TestLanguage::deleteAndAboutWindowsHaveTheirOwnRoutines()
{
    setLanguage(u"ua"_s);
    ApplyLanguage();
    QCOMPARE(m_delLabel3->text(), QString());
    QCOMPARE(m_about->windowTitle(), QString());

    ApplyDelLanguage();
    QCOMPARE(m_delLabel3->text(), cat("ldelb", u"ua"_s));
    QCOMPARE(m_del->windowTitle(), cat("ldelb", u"ua"_s));
    QCOMPARE(m_about->windowTitle(), QString());

    ApplyAboutLanguage();
    QCOMPARE(m_about->windowTitle(), cat("labout", u"ua"_s));
    QCOMPARE(m_aboutLabel13->text(), cat("lab13", u"ua"_s));
    QCOMPARE(m_mainLabel1->text(), cat("linform", u"ua"_s));
}

void TestLanguage::createsTheLogViewerHidden()
{
    QVERIFY(!LogView);
    setLanguage(u"ru"_s);
    ApplyLanguage();
    QVERIFY(LogView);
    QVERIFY(!LogView->isVisible());
    QCOMPARE(LogView->parentWidget(), m_main);
    QCOMPARE(LogView->windowTitle(), cat("llogfview", u"ru"_s));

    TLogView *first = LogView;
    setLanguage(u"ua"_s);
    ApplyLanguage();
    QCOMPARE(LogView, first);
    QCOMPARE(LogView->windowTitle(), cat("llogfview", u"ua"_s));
}

// The find window of a list is made on the first Ctrl+F and kept: it takes the language in
// force when it is shown.
void TestLanguage::gridFindWindowFollowsTheLanguage()
{
    setLanguage(u"ru"_s);
    ApplyLanguage();
    GridFindDialog *find = m_grid->findDialog();
    find->show();
    QCOMPARE(find->windowTitle(), cat("lfndcap", u"ru"_s));
    QCOMPARE(find->findChild<QPushButton *>(u"FindNext"_s)->text(), cat("lfndnext", u"ru"_s));
    QCOMPARE(find->findChild<QComboBox *>(u"FindColumn"_s)->itemText(0), cat("lfndall", u"ru"_s));
    find->hide();

    setLanguage(u"ua"_s);
    ApplyLanguage();
    find->show();
    QCOMPARE(find->findChild<QPushButton *>(u"FindNext"_s)->text(), cat("lfndnext", u"ua"_s));
    find->findChild<QPushButton *>(u"FindNext"_s)->click(); // nothing typed
    QCOMPARE(find->findChild<QLabel *>(u"Status"_s)->text(), cat("lfndtype", u"ua"_s));
    find->hide();
}

void TestLanguage::qtDialogsFollowTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("ru") << u"ru"_s << u"Отмена"_s;
    QTest::newRow("ua") << u"ua"_s << u"Скасувати"_s;
    QTest::newRow("back to en") << u"en"_s << u"Cancel"_s;
}

// File dialogs, the print preview and standard buttons take Qt's own texts.
void TestLanguage::qtDialogsFollowTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, cancel);
    setLanguage(u"ua"_s);
    ApplyLanguage();
    setLanguage(language);
    ApplyLanguage();
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text().remove(u'&'), cancel);
}

void TestLanguage::tableUsesOnlyCatalogueKeysAndKnownWindows()
{
    const QStringList known = Catalogue::keys();
    const QSet<QString> keys(known.begin(), known.end());
    const QSet<QString> windows = {
        u"MainF"_s,     u"add"_s,        u"cng"_s,      u"Settings"_s,
        u"ViewF"_s,     u"sqlF"_s,       u"LogView"_s,  u"ConnectionSettings"_s,
        u"RegisterF"_s, u"GivenF"_s,     u"BackF"_s,    u"GivenCngF"_s,
        u"AddConstF"_s, u"ConstantsF"_s, u"LookupF"_s,  u"FieldsF"_s,
        u"MultiDelF"_s, u"del"_s,        u"AboutBox"_s,
    };
    QSet<QString> seen;
    for (const LanguageMap::Entry &entry : LanguageMap::entries()) {
        const QString where = entry.window + u'.' + entry.control;
        QVERIFY2(windows.contains(entry.window), qPrintable(where));
        seen << entry.window;
        QCOMPARE(entry.control.isEmpty(), entry.target == LanguageMap::Target::WindowTitle);
        QVERIFY2(!entry.texts.isEmpty(), qPrintable(where));
        for (const QString &text : entry.texts) {
            const QStringList used = LanguageMap::keysOf(text);
            // Everything but the fixed "Id" names a key.
            QVERIFY2(!used.isEmpty() || text == u"Id"_s, qPrintable(where + u": "_s + text));
            for (const QString &key : used)
                QVERIFY2(keys.contains(key), qPrintable(where + u": "_s + key));
        }
    }
    QCOMPARE(seen, windows);
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
