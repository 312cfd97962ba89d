#include "AddBookWindow.h"

#include "AppState.h"
#include "BookLinks.h"
#include "BookWrites.h"
#include "DialogKeys.h"
#include "EventConsole.h"
#include "FbQuery.h"
#include "LangStr.h"
#include "UserPrompts.h"
#include "ui_AddBookWindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>

Tadd *add = nullptr;

namespace
{

const QString kDigitalValue = QStringLiteral("Enter a digital value!\rВведите цифровое значение!");

} // namespace

Tadd::Tadd(QWidget *parent) : DialogBase(parent), ui(std::make_unique<Ui::Tadd>())
{
    add = this;
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setThemedWidgets({ui->Panel1, ui->Panel2});
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(2000);
    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer2.setInterval(4000);
    connect(&Timer1, &QTimer::timeout, this, &Tadd::Timer1Timer);
    connect(&Timer2, &QTimer::timeout, this, &Tadd::Timer2Timer);

    ui->Label17->hide();
    ui->Sleft->hide();
    ui->CheckBox1->setChecked(QFile::exists(AppState::baseDirectory() + QStringLiteral(".add")));

    using namespace BookStatements;
    ui->addTitle->setMaxLength(kTitleLength);
    ui->addDescription->setMaxLength(kDescriptionLength);
    connect(ui->addTitle, &QLineEdit::textChanged, this,
            [this](const QString &text) { fieldChanged(kTitleLength, text, true); });
    connect(ui->addDescription, &QLineEdit::textChanged, this,
            [this](const QString &text) { fieldChanged(kDescriptionLength, text, true); });
    const std::pair<QComboBox *, int> lists[] = {
        {ui->addAuthor, kAuthorLength},       {ui->addYear, kYearLength},   {ui->addSeria, kSeriaLength},
        {ui->addPublisher, kPublisherLength}, {ui->addPlace, kPlaceLength}, {ui->addGenre, kGenreLength},
        {ui->addClas, kClasLength},
    };
    for (const auto &[box, longest] : lists) {
        box->lineEdit()->setMaxLength(longest);
        const bool restart = box != ui->addYear;
        connect(box, &QComboBox::currentTextChanged, this,
                [this, longest, restart](const QString &text) { fieldChanged(longest, text, restart); });
    }

    const QColor blue(Qt::blue);
    for (ClickableLabel *link : {ui->Label18, ui->Label13, ui->Label19})
        setLinkColors(link, blue);
    setLinkColors(ui->Label15, Qt::gray);
    ui->Label11->setTextColor(Qt::red);
    ui->Label10->setTextColor(Qt::gray);
    for (ClickableLabel *legend : {ui->Label10, ui->Label11}) {
        connect(legend, &ClickableLabel::mouseEntered, this, [this] { ui->Label10->setTextColor(Qt::red); });
        connect(legend, &ClickableLabel::mouseLeft, this, [this] { ui->Label10->setTextColor(Qt::gray); });
        connect(legend, &ClickableLabel::clicked, this, &Tadd::Label10Click);
    }

    connect(ui->AddBook, &QPushButton::clicked, this, &Tadd::AddBookClick);
    connect(ui->AddCancel, &QPushButton::clicked, this, &Tadd::AddCancelClick);
    connect(ui->Label18, &ClickableLabel::clicked, this, &Tadd::Label18Click);
    connect(ui->Label15, &ClickableLabel::clicked, ui->CheckBox1, &QCheckBox::toggle);
    connect(ui->Label13, &ClickableLabel::clicked, this, &Tadd::constantsWindowRequested);
    connect(ui->Label19, &ClickableLabel::clicked, this, &Tadd::fieldsWindowRequested);
    const std::pair<ClickableLabel *, QComboBox *> images[] = {
        {ui->Image1, ui->addAuthor},    {ui->Image2, ui->addYear},  {ui->Image3, ui->addSeria},
        {ui->Image4, ui->addPublisher}, {ui->Image5, ui->addPlace}, {ui->Image6, ui->addGenre},
        {ui->Image7, ui->addClas},
    };
    for (int field = 0; field < 7; ++field) {
        QComboBox *box = images[field].second;
        connect(images[field].first, &ClickableLabel::clicked, this, [this, field, box] { imageClick(field, box); });
    }
    DialogKeys::install(this, ui->AddBook, ui->AddCancel);
}

Tadd::~Tadd()
{
    if (add == this)
        add = nullptr;
}

bool Tadd::closesAfterAdding() const
{
    return ui->CheckBox1->isChecked();
}

void Tadd::setAllowEmptyOption(QAbstractButton *option)
{
    m_allowEmpty = option;
}

void Tadd::setConstantLists(const QList<QStringList> &lists)
{
    QComboBox *inOrder[] = {ui->addAuthor, ui->addYear,  ui->addSeria, ui->addPublisher,
                            ui->addPlace,  ui->addGenre, ui->addClas};
    for (int i = 0; i < 7; ++i) {
        QComboBox *box = inOrder[i];
        const QString typed = box->currentText();
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItems(lists.value(i));
        box->setEditText(typed);
    }
}

void Tadd::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    FormShow();
}

void Tadd::FormShow()
{
    emit constantListsWanted();
    ui->addTitle->setFocus();
}

void Tadd::reject()
{
    AddCancelClick();
}

void Tadd::AddCancelClick()
{
    hide();
}

void Tadd::fieldChanged(int longest, const QString &text, bool restartTimer)
{
    if (restartTimer) {
        Timer2.stop();
        Timer2.start();
    }
    ui->Sleft->setText(LangStr(QStringLiteral("lsmbleft")) + QLatin1Char(' ') + QString::number(longest - text.size()));
    ui->Sleft->show();
}

void Tadd::Timer1Timer()
{
    ui->Label17->hide();
    Timer1.stop();
}

void Tadd::Timer2Timer()
{
    ui->Sleft->hide();
}

void Tadd::Label18Click()
{
    ui->addTitle->clear();
    ui->addDescription->clear();
    for (QComboBox *box :
         {ui->addAuthor, ui->addYear, ui->addSeria, ui->addPublisher, ui->addPlace, ui->addGenre, ui->addClas})
        box->setEditText(QString());
    ui->addTitle->setFocus();
}

void Tadd::Label10Click()
{
    UserPrompts::message(UserPrompts::Kind::Information, LangStr(QStringLiteral("hobligflds")));
}

void Tadd::imageClick(int field, QComboBox *box)
{
    QString value = box->currentText();
    if (value.isEmpty())
        return;
    if (box == ui->addYear) {
        bool ok = false;
        const int year = value.trimmed().toInt(&ok);
        if (!ok) {
            UserPrompts::message(UserPrompts::Kind::Warning, kDigitalValue);
            ui->addYear->setFocus();
            return;
        }
        value = QString::number(year);
    }
    // The prompt fills the drop-down lists again when it closes.
    emit addConstantRequested(field, value);
}

BookStatements::BookFields Tadd::fields() const
{
    return {ui->addTitle->text(),        ui->addAuthor->currentText(),    ui->addYear->currentText(),
            ui->addSeria->currentText(), ui->addPublisher->currentText(), ui->addPlace->currentText(),
            ui->addGenre->currentText(), ui->addDescription->text(),      ui->addClas->currentText()};
}

void Tadd::showStatus(const QString &text, const QColor &color)
{
    QPalette p = ui->Label17->palette();
    p.setColor(QPalette::WindowText, color);
    ui->Label17->setPalette(p);
    ui->Label17->setText(text);
    ui->Label17->show();
    Timer1.start();
}

void Tadd::AddBookClick()
{
    const BookStatements::InsertStatement built = BookStatements::insertSql(
        fields(), m_allowEmpty && m_allowEmpty->isChecked(), LangStr(QStringLiteral("funknown")), LangStr(QStringLiteral("fnone")));
    if (built.badYear) {
        UserPrompts::message(UserPrompts::Kind::Warning, kDigitalValue);
        ui->addYear->setFocus();
    }
    // A character the library cannot hold is named before anything is logged or run.
    const QString refusal =
        built.ready() ? BookWrites::unstorableMessage(BookStatements::labelledFields(fields())) : QString();
    if (!refusal.isEmpty())
        UserPrompts::message(UserPrompts::Kind::Warning, refusal);
    if (built.ready() && refusal.isEmpty() && (!m_addGuard || m_addGuard())) {
        LogSql(built.sql);
        FbQuery *query = mainApi()->IBQuery1();
        bool added = false;
        try {
            query->setSqlText(built.sql);
            query->execSQL();
            added = true;
        } catch (const std::exception &) {
            // The window reports the failure in its own words; the engine's text is not shown.
        }
        if (added) {
            showStatus(LangStr(QStringLiteral("cnewbadded")) + QLatin1Char('!'), Qt::gray);
            LogEvent(LangStr(QStringLiteral("cnewbadded")));
            emit bookAdded();
            runGuarded([] { mainApi()->RefreshBooks(); });
            if (ui->CheckBox1->isChecked())
                hide();
        } else {
            showStatus(LangStr(QStringLiteral("cnewbnadded")) + QLatin1Char('!'), Qt::red);
            LogEvent(LangStr(QStringLiteral("cnewbnadded")));
            BookWrites::rerunListAfterFailure();
        }
    }
    if (!built.missingKeys.isEmpty()) {
        QString report = LangStr(QStringLiteral("enotpres"));
        for (const QString &key : built.missingKeys)
            report += QStringLiteral("\r - ") + LangStr(key);
        UserPrompts::message(UserPrompts::Kind::Warning, report);
    }
}
