#include "ConstantsWindow.h"

#include "ConstantListFiles.h"
#include "EventConsole.h"
#include "FileError.h"
#include "LangStr.h"
#include "LookupWindow.h"
#include "StyleIcon.h"
#include "UserPrompts.h"
#include "ui_ConstantsWindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QHideEvent>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyle>

TConstantsF *ConstantsF = nullptr;

namespace
{

const QString kLoaded = QStringLiteral("[Const] module: constants loaded");
const QString kLoadError = QStringLiteral("[Const] module: error on constants loading!");
const QString kSaved = QStringLiteral("[Const] module: constants saved");
const QString kSaveError = QStringLiteral("[Const] module: error on constants saving!");

QStringList itemTexts(const QListWidget *list)
{
    QStringList texts;
    texts.reserve(list->count());
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

} // namespace

TConstantsF::TConstantsF(QWidget *parent) : DialogBase(parent), ui(std::make_unique<Ui::TConstantsF>())
{
    ConstantsF = this;
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setThemedWidgets({ui->Label5, ui->Panel1, ui->GroupBox1, ui->GroupBox2});
    ui->Button1->hide();
    ui->Button2->hide();
    showStandardPixmapWhenShown(ui->Image14, QStyle::SP_TrashIcon, 16);
    ui->DelConstLb->setTextColor(Qt::gray);
    connect(ui->DelConstLb, &ClickableLabel::mouseEntered, this, [this] { ui->DelConstLb->setTextColor(Qt::red); });
    connect(ui->DelConstLb, &ClickableLabel::mouseLeft, this, [this] { ui->DelConstLb->setTextColor(Qt::gray); });

    connect(ui->Image1, &ClickableLabel::clicked, this, &TConstantsF::Button1Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TConstantsF::Button1Click);
    connect(ui->Button3, &QPushButton::clicked, this, &TConstantsF::Button3Click);
    connect(ui->Button4, &QPushButton::clicked, this, &TConstantsF::Button4Click);
    connect(ui->DelConstLb, &ClickableLabel::clicked, this, &TConstantsF::DelConstLbClick);
    connect(ui->FieldsList, &QListWidget::currentRowChanged, this, &TConstantsF::FieldsListClick);
    connect(ui->FieldsList2, &QListWidget::currentRowChanged, this, &TConstantsF::FieldsList2Click);
    // A click on the item that is already current changes no row, yet brings both lists in step.
    connect(ui->FieldsList, &QListWidget::itemClicked, this, &TConstantsF::FieldsListClick);
    connect(ui->FieldsList2, &QListWidget::itemClicked, this, &TConstantsF::FieldsList2Click);

    // The "+" and "Delete constant" pictures take no keyboard focus: Enter in the value box adds
    // what was typed (instead of OK closing the window and losing it), Delete removes the chosen value.
    ui->NewConstEd->installEventFilter(this);
    for (int field = 0; field < ConstantListFiles::FieldCount; ++field)
        constList(field)->installEventFilter(this);

    showOnlyList(m_rememberedField);
    LoadConstantLists();
}

bool TConstantsF::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return DialogBase::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (watched == ui->NewConstEd && (key == Qt::Key_Return || key == Qt::Key_Enter) &&
        !ui->NewConstEd->text().isEmpty()) {
        Button1Click();
        return true;
    }
    if (key == Qt::Key_Delete && watched != ui->NewConstEd) {
        DelConstLbClick();
        return true;
    }
    return DialogBase::eventFilter(watched, event);
}

TConstantsF::~TConstantsF()
{
    if (ConstantsF == this)
        ConstantsF = nullptr;
}

QListWidget *TConstantsF::constList(int field) const
{
    QListWidget *const lists[ConstantListFiles::FieldCount] = {
        ui->ConstLst_Author, ui->ConstLst_Year,  ui->ConstLst_Seria, ui->ConstLst_Publisher,
        ui->ConstLst_Place,  ui->ConstLst_Genre, ui->ConstLst_Class,
    };
    return lists[field];
}

QLineEdit *TConstantsF::NewConstEd() const
{
    return ui->NewConstEd;
}

QList<QStringList> TConstantsF::constantLists() const
{
    QList<QStringList> lists;
    for (int field = 0; field < ConstantListFiles::FieldCount; ++field)
        lists << itemTexts(constList(field));
    return lists;
}

void TConstantsF::copyConstantLists()
{
    emit constantListsCopied();
}

void TConstantsF::LoadConstantLists()
{
    const int *order = ConstantListFiles::fileOrder();
    for (int i = 0; i < ConstantListFiles::FieldCount; ++i) {
        const int field = order[i];
        QStringList values;
        try {
            values = ConstantListFiles::read(ConstantListFiles::field(field).fileName);
        } catch (const FileError &) {
            for (int rest = i; rest < ConstantListFiles::FieldCount; ++rest)
                m_holdsFile[order[rest]] = false;
            LogEvent(kLoadError);
            return;
        }
        QListWidget *list = constList(field);
        list->clear();
        list->addItems(ConstantListFiles::sorted(values));
        m_holdsFile[field] = true;
    }
    LogEvent(kLoaded);
}

void TConstantsF::SaveConstantLists()
{
    const int *order = ConstantListFiles::fileOrder();
    for (int i = 0; i < ConstantListFiles::FieldCount; ++i) {
        const int field = order[i];
        const QString fileName = ConstantListFiles::field(field).fileName;
        try {
            // Loading stops at the first unreadable file, so the lists after it never saw their
            // files: their old content is kept beside them rather than lost.
            if (!m_holdsFile[field] && QFile::exists(fileName))
                ConstantListFiles::keepOldCopy(fileName);
            ConstantListFiles::write(fileName, itemTexts(constList(field)));
            m_holdsFile[field] = true;
        } catch (const FileError &) {
            LogEvent(kSaveError);
            return;
        }
    }
    LogEvent(kSaved);
    LoadConstantLists();
}

void TConstantsF::addValue(int field, const QString &value)
{
    QListWidget *list = constList(field);
    list->insertItem(int(ConstantListFiles::sortedPosition(itemTexts(list), value)), value);
}

void TConstantsF::Button1Click()
{
    const int field = ui->FieldsList->currentRow();
    if (ui->NewConstEd->text().isEmpty() || field < 0)
        return;
    const QString value = ui->NewConstEd->text().left(ConstantListFiles::field(field).width);
    // A character the files cannot hold would come back as "?": refuse it before anything changes.
    const QString unstorable = ConstantListFiles::firstUnstorableCharacter(value);
    if (!unstorable.isEmpty()) {
        const QString code =
            QStringLiteral("U+%1").arg(unstorable.toUcs4().value(0), 4, 16, QLatin1Char('0')).toUpper();
        UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("ecnstchar")).arg(unstorable, code));
        return;
    }
    addValue(field, value);
    SaveConstantLists();
    ui->NewConstEd->clear();
    showOnlyList(field);
    // Both field lists name the list that is shown.
    const QSignalBlocker quiet(ui->FieldsList2);
    ui->FieldsList2->setCurrentRow(field);
}

void TConstantsF::DelConstLbClick()
{
    for (int field = 0; field < ConstantListFiles::FieldCount; ++field) {
        QListWidget *list = constList(field);
        if (list->isHidden())
            continue;
        const QList<QListWidgetItem *> selected = list->selectedItems();
        if (!selected.isEmpty())
            delete list->takeItem(list->row(selected.first()));
        SaveConstantLists();
    }
}

void TConstantsF::showOnlyList(int field)
{
    for (int other = 0; other < ConstantListFiles::FieldCount; ++other)
        constList(other)->setVisible(other == field);
}

void TConstantsF::selectField(int field)
{
    const QSignalBlocker quiet(ui->FieldsList);
    ui->FieldsList->setCurrentRow(field);
}

void TConstantsF::FieldsListClick()
{
    {
        const QSignalBlocker quiet(ui->FieldsList2);
        ui->FieldsList2->setCurrentRow(ui->FieldsList->currentRow());
    }
    FieldsList2Click();
}

void TConstantsF::FieldsList2Click()
{
    const int field = ui->FieldsList2->currentRow();
    if (field < 0)
        return;
    selectField(field);
    showOnlyList(field);
}

void TConstantsF::Button3Click()
{
    const int field = ui->FieldsList->currentRow();
    if (field < 0 || !LookupF)
        return;
    const ConstantListFiles::Field &f = ConstantListFiles::field(field);
    // A library that cannot be reached ends here with the engine's text; the lookup stays hidden.
    runGuarded([&f] { LookupF->lookup(f.lookupSql, f.lookupColumn); });
}

void TConstantsF::Button4Click()
{
    hide();
}

void TConstantsF::showEvent(QShowEvent *event)
{
    m_closing = false;
    DialogBase::showEvent(event);
    LoadConstantLists();
    selectField(m_rememberedField);
    FieldsListClick();
}

void TConstantsF::hideEvent(QHideEvent *event)
{
    if (event->spontaneous()) {
        DialogBase::hideEvent(event);
        return;
    }
    // Closing copies the lists but leaves the remembered field as it was.
    if (!m_closing && ui->FieldsList->currentRow() >= 0)
        m_rememberedField = ui->FieldsList->currentRow();
    m_closing = false;
    copyConstantLists();
    DialogBase::hideEvent(event);
}

void TConstantsF::closeEvent(QCloseEvent *event)
{
    m_closing = isVisible();
    DialogBase::closeEvent(event);
}

void TConstantsF::reject()
{
    m_closing = isVisible();
    DialogBase::reject();
}
