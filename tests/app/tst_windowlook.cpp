#include "AboutWindow.h"
#include "AppFixture.h"
#include "AppState.h"
#include "DBGridEh.h"
#include "DeleteBookWindow.h"
#include "DialogBase.h"
#include "ExchangeActions.h"
#include "Language.h"
#include "LoginDialog.h"
#include "MainWindow.h"
#include "Settings.h"
#include "SettingsList.h"
#include "StyleIcon.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QStyleOptionComboBox>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QtTest>

namespace
{

// The space a line edit keeps on each side of its text.
constexpr int kLineEditMargin = 2;

// The text as drawn: no mnemonic ampersands, the widest of its lines.
int textWidth(const QFontMetrics &metrics, QString text)
{
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    int widest = 0;
    for (const QString &line : text.split(QRegularExpression(QStringLiteral("[\r\n]"))))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    return widest;
}

// The room a check box, radio button or push button leaves for its text.
int buttonTextRoom(const QAbstractButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (qobject_cast<const QCheckBox *>(button))
        return button->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, button).width();
    if (qobject_cast<const QRadioButton *>(button))
        return button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button).width();
    QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    if (!button->icon().isNull())
        room.setWidth(room.width() - button->iconSize().width() - 4);
    return room.width();
}

// What of a window a user sees clipped: every shown label or button whose text is wider than
// the room it has (a word-wrapped label: taller than its height).
QStringList clippedTexts(QWidget *window)
{
    QStringList clipped;
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty() || label->textFormat() == Qt::RichText)
            continue;
        const int room = label->contentsRect().width() - 2 * label->margin() - qMax(0, label->indent());
        const bool fits = label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                            : textWidth(label->fontMetrics(), label->text()) <= room;
        if (!fits)
            clipped << QStringLiteral("%1 \"%2\"").arg(label->objectName(), label->text());
    }
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (!button->isVisibleTo(window) || button->text().isEmpty())
            continue;
        if (!qobject_cast<QPushButton *>(button) && !qobject_cast<QCheckBox *>(button) &&
            !qobject_cast<QRadioButton *>(button))
            continue;
        if (textWidth(button->fontMetrics(), button->text()) > buttonTextRoom(button))
            clipped << QStringLiteral("%1 \"%2\"").arg(button->objectName(), button->text());
    }
    // The prompt or entry an editable list shows in its edit field ("Arrange by").
    for (QComboBox *list : window->findChildren<QComboBox *>()) {
        if (!list->isVisibleTo(window) || !list->isEditable() || list->currentText().isEmpty())
            continue;
        const QLineEdit *edit = list->lineEdit();
        const int room = edit->width() - 2 * kLineEditMargin;
        if (textWidth(edit->fontMetrics(), list->currentText()) > room)
            clipped << QStringLiteral("%1 \"%2\"").arg(list->objectName(), list->currentText());
    }
    // A list that cannot be typed in shows its current entry beside the arrow.
    for (QComboBox *list : window->findChildren<QComboBox *>()) {
        if (!list->isVisibleTo(window) || list->isEditable() || list->currentText().isEmpty())
            continue;
        QStyleOptionComboBox option;
        option.initFrom(list);
        const QRect room = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        const int iconRoom = list->itemIcon(list->currentIndex()).isNull() ? 0 : list->iconSize().width() + 4;
        if (textWidth(list->fontMetrics(), list->currentText()) + iconRoom > room.width())
            clipped << QStringLiteral("%1 \"%2\"").arg(list->objectName(), list->currentText());
    }
    // The prompt an empty edit box shows in grey ("Search for?").
    for (QLineEdit *edit : window->findChildren<QLineEdit *>()) {
        if (!edit->isVisibleTo(window) || !edit->text().isEmpty() || edit->placeholderText().isEmpty())
            continue;
        if (textWidth(edit->fontMetrics(), edit->placeholderText()) > edit->width() - 2 * kLineEditMargin - 4)
            clipped << QStringLiteral("%1 \"%2\"").arg(edit->objectName(), edit->placeholderText());
    }
    // A group's title runs along its top edge.
    for (QGroupBox *group : window->findChildren<QGroupBox *>()) {
        if (!group->isVisibleTo(window) || group->title().isEmpty())
            continue;
        if (textWidth(group->fontMetrics(), group->title()) > group->width())
            clipped << QStringLiteral("%1 \"%2\"").arg(group->objectName(), group->title());
    }
    return clipped;
}

// Every page of a window's page controls, one after the other, each checked while it is on show.
QStringList clippedOnEveryPage(QWidget *window)
{
    QStringList clipped = clippedTexts(window);
    for (QTabWidget *pages : window->findChildren<QTabWidget *>()) {
        const int shown = pages->currentIndex();
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            clipped << clippedTexts(window);
        }
        pages->setCurrentIndex(shown);
    }
    clipped.removeDuplicates();
    return clipped;
}

// The windows the program makes on first use rather than at start.
void makeFirstUseWindows()
{
    new Tdel(MainF);
    new TAboutBox(MainF);
    ExchangeActions::importWindow(MainF);
    MainF->findChild<DBGridEh *>(QStringLiteral("DBGridEh1"))->findDialog();
}

QWidget *findWindow(const QString &name)
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == name)
            return window;
    return nullptr;
}

} // namespace

class TestWindowLook : public QObject
{
    Q_OBJECT
private slots:
    void everyWindowFitsItsTexts_data();
    void everyWindowFitsItsTexts();
    void everyWindowTitleFollowsTheLanguage();
    void dialogsHaveADarkerEdge();
    void dialogTitlesAreBoldGray();
    void settingsWindowKeepsItsSize();
    void standardPicturesAreTheStyles();
};

void TestWindowLook::everyWindowFitsItsTexts_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("en");
    QTest::newRow("Russian") << QStringLiteral("ru");
    QTest::newRow("Ukrainian") << QStringLiteral("ua");
}

void TestWindowLook::everyWindowFitsItsTexts()
{
    QFETCH(QString, language);
    AppFixture app;
    app.start();
    makeFirstUseWindows();
    settingsList().setValue(QStringLiteral("Language"), language);
    ApplyLanguage();

    // The login dialog is made only when a connection asks for a password.
    auto *login = new LoginDialog(QStringLiteral("/home/reader/Bibliora/LIBRARY.GDB"), QStringLiteral("SYSDBA"), MainF);
    login->setObjectName(QStringLiteral("LoginDialog"));

    QStringList failures;
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->objectName().isEmpty() || window->inherits("QMenu"))
            continue;
        window->show();
        if (window == AboutBox)
            ApplyAboutLanguage();
        QApplication::processEvents();
        QStringList clipped = clippedOnEveryPage(window);
        // The settings window's second group, shown by its "Others" link.
        if (auto *others = window->findChild<QWidget *>(QStringLiteral("GroupBox2"));
            others && window->objectName() == QLatin1String("Settings")) {
            others->show();
            window->findChild<QWidget *>(QStringLiteral("GroupBox1"))->hide();
            QApplication::processEvents();
            clipped << clippedTexts(window);
        }
        for (const QString &text : clipped)
            failures << QStringLiteral("%1 [%2]: %3").arg(window->objectName(), language, text);
        if (window != MainF)
            window->hide();
    }
    QVERIFY2(failures.isEmpty(), qPrintable(QStringLiteral("clipped:\n") + failures.join(QLatin1Char('\n'))));
}

// The title a task bar shows for each window: none may stay English in Russian.
void TestWindowLook::everyWindowTitleFollowsTheLanguage()
{
    AppFixture app;
    app.start();
    makeFirstUseWindows();
    const auto titles = [](const QString &language) {
        settingsList().setValue(QStringLiteral("Language"), language);
        ApplyLanguage();
        ApplyDelLanguage();
        ApplyAboutLanguage();
        QMap<QString, QString> all;
        for (QWidget *window : QApplication::topLevelWidgets())
            if (!window->objectName().isEmpty() && !window->inherits("QMenu")) {
                // As the user sees it: some windows take their texts when shown.
                const bool shown = window->isVisible();
                window->show();
                all.insert(window->objectName(), window->windowTitle());
                window->setVisible(shown);
            }
        return all;
    };
    const QMap<QString, QString> english = titles(QStringLiteral("en"));
    const QMap<QString, QString> russian = titles(QStringLiteral("ru"));
    QStringList unchanged;
    for (auto it = english.cbegin(); it != english.cend(); ++it) {
        // The product name and the view window's empty title are the same in every language.
        if (it.value().isEmpty() || it.value() == QLatin1String("Bibliora") || it.key() == QLatin1String("MainF"))
            continue;
        if (russian.value(it.key()) == it.value())
            unchanged << QStringLiteral("%1 \"%2\"").arg(it.key(), it.value());
    }
    QVERIFY2(unchanged.isEmpty(), qPrintable(unchanged.join(QLatin1Char('\n'))));
}

void TestWindowLook::dialogsHaveADarkerEdge()
{
    AppFixture app;
    app.start();
    const QColor theme(255, 255, 200);
    AppState::setThemeColor(theme);
    QVERIFY(DialogBase::edgeColor(theme).value() < theme.value());
    for (const char *name : {"Settings", "GivenF", "cng"}) {
        auto *dialog = qobject_cast<DialogBase *>(findWindow(QString::fromLatin1(name)));
        QVERIFY2(dialog, name);
        dialog->show();
        QApplication::processEvents();
        const QImage image = dialog->grab().toImage();
        const int w = image.width();
        const int h = image.height();
        for (const QPoint &edge : {QPoint(0, h / 2), QPoint(w - 1, h / 2), QPoint(w / 2, 0), QPoint(w / 2, h - 1)})
            QCOMPARE(image.pixelColor(edge).rgb(), DialogBase::edgeColor(theme).rgb());
        // Inside the edge the dialog keeps its theme colour.
        QCOMPARE(image.pixelColor(1, h / 2).rgb(), theme.rgb());
        dialog->hide();
    }
}

void TestWindowLook::dialogTitlesAreBoldGray()
{
    AppFixture app;
    app.start();
    makeFirstUseWindows();
    const std::pair<const char *, const char *> titles[] = {
        {"ConstantsF", "Label5"}, {"LookupF", "Label1"}, {"AddConstF", "Label2"}, {"FieldsF", "Label2"},
        {"AboutBox", "Label16"},  {"sqlF", "Label2"},    {"Settings", "Label2"},
    };
    for (const auto &[window, label] : titles) {
        QWidget *dialog = findWindow(QString::fromLatin1(window));
        QVERIFY2(dialog, window);
        auto *title = dialog->findChild<QLabel *>(QString::fromLatin1(label));
        QVERIFY2(title, label);
        title->ensurePolished();
        QVERIFY2(title->font().bold(), window);
        QVERIFY2(title->palette().color(title->foregroundRole()) == QColor(128, 128, 128), window);
    }
}

void TestWindowLook::settingsWindowKeepsItsSize()
{
    AppFixture app;
    app.start();
    for (const char *language : {"en", "ru", "ua"}) {
        settingsList().setValue(QStringLiteral("Language"), QString::fromLatin1(language));
        ApplyLanguage();
        Settings->show();
        QApplication::processEvents();
        const QSize general = Settings->size();
        Settings->Label7Click(); // "Others"
        QApplication::processEvents();
        QCOMPARE(Settings->size(), general);
        Settings->Label8Click(); // "General"
        QApplication::processEvents();
        QCOMPARE(Settings->size(), general);
        Settings->hide();
    }
}

// The pictures read when first drawn are the style's own, in menus and on labels.
void TestWindowLook::standardPicturesAreTheStyles()
{
    AppFixture app;
    app.start();
    const auto styles = [](QStyle::StandardPixmap which, int size) {
        return QApplication::style()->standardIcon(which).pixmap(size, size).toImage();
    };
    const QIcon trash = lazyStandardIcon(QStyle::SP_TrashIcon);
    QVERIFY(!trash.isNull());
    QCOMPARE(trash.pixmap(16, 16).toImage(), styles(QStyle::SP_TrashIcon, 16));
    QCOMPARE(trash.pixmap(32, 32).toImage(), styles(QStyle::SP_TrashIcon, 32));

    auto *multiDelete = MainF->findChild<QAction *>(QStringLiteral("Multidelete1"));
    QVERIFY(multiDelete);
    QCOMPARE(multiDelete->icon().pixmap(16, 16).toImage(), styles(QStyle::SP_TrashIcon, 16));
    auto *help = MainF->findChild<QAction *>(QStringLiteral("N11"));
    QVERIFY(help);
    QCOMPARE(help->icon().pixmap(16, 16).toImage(), styles(QStyle::SP_DialogHelpButton, 16));

    QLabel label;
    showStandardPixmapWhenShown(&label, QStyle::SP_MediaPlay, 22);
    // Before it is shown, a blank of the picture's size keeps the layout as it will be.
    QCOMPARE(label.pixmap().size(), QSize(22, 22));
    QVERIFY(label.pixmap().toImage() != styles(QStyle::SP_MediaPlay, 22));
    const QSize laidOut = label.sizeHint();
    label.show();
    QCOMPARE(label.sizeHint(), laidOut);
    QCOMPARE(label.pixmap().toImage(), styles(QStyle::SP_MediaPlay, 22));
    // Shown again, the label keeps the one picture it was given.
    label.hide();
    label.setPixmap(QPixmap());
    label.show();
    QVERIFY(label.pixmap().isNull());
}

QTEST_MAIN(TestWindowLook)
#include "tst_windowlook.moc"
