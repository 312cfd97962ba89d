#include "ViewBookWindow.h"

#include "AppState.h"
#include "ClickableLabel.h"
#include "DataSource.h"
#include "FbQuery.h"
#include "LangStr.h"
#include "LoanRecords.h"
#include "ui_ViewBookWindow.h"

#include <QKeyEvent>

TViewF *ViewF = nullptr;

namespace
{
constexpr double kOpacity = 200.0 / 255.0;
}

TViewF::TViewF(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::TViewF>())
{
    ViewF = this;
    ui->setupUi(this);
    // A title bar without buttons and without a caption.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(QString());
    setWindowOpacity(kOpacity);
    bindFields();
    connect(ui->getTitle, &QLineEdit::textChanged, this, &TViewF::getTitleChange);
    connect(ui->getId, &QLineEdit::textChanged, this, [this] {
        if (isVisible())
            showLoanHistory();
    });
    getTitleChange();
}

void TViewF::keyPressEvent(QKeyEvent *event)
{
    // The window has no close button: Escape closes it, as a dialog.
    if (event->key() == Qt::Key_Escape && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

TViewF::~TViewF()
{
    if (ViewF == this)
        ViewF = nullptr;
}

void TViewF::bindFields()
{
    DataSource *source = mainApi() ? mainApi()->DataSource1() : nullptr;
    const std::pair<DBEdit *, const char *> bound[] = {
        {ui->getTitle, "TITLE"}, {ui->getAuthor, "AUTHOR"},       {ui->getYear, "IYEAR"},
        {ui->getSeria, "SERIA"}, {ui->getPublisher, "PUBLISHER"}, {ui->getPlace, "PLACE"},
        {ui->getGenre, "GENRE"}, {ui->getClas, "CLAS"},           {ui->getId, "ID"},
    };
    for (const auto &[field, column] : bound) {
        field->setDataField(QLatin1String(column));
        if (field->dataSource() != source)
            field->setDataSource(source);
    }
    ui->DBMemo1->setDataField(QStringLiteral("DESCRIPTION"));
    if (ui->DBMemo1->dataSource() != source)
        ui->DBMemo1->setDataSource(source);
}

QString TViewF::titleLine() const
{
    return ui->Label3->text();
}

void TViewF::centreOnMainWindow()
{
    const QWidget *main = parentWidget() ? parentWidget()->window() : nullptr;
    if (m_placed || !main)
        return;
    m_placed = true;
    move(main->frameGeometry().center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
}

void TViewF::showEvent(QShowEvent *event)
{
    centreOnMainWindow();
    FormShow();
    QWidget::showEvent(event);
}

void TViewF::hideEvent(QHideEvent *event)
{
    FormHide();
    QWidget::hideEvent(event);
}

void TViewF::FormShow()
{
    const QColor color = AppState::themeColor();
    for (QWidget *w :
         {static_cast<QWidget *>(this), static_cast<QWidget *>(ui->Label3), static_cast<QWidget *>(ui->Panel1)}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, color);
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
    bindFields();
    colourViewLink(Qt::red);
    getTitleChange();
    showLoanHistory();
}

void TViewF::showLoanHistory()
{
    if (!m_historyQuery) {
        if (!mainApi())
            return;
        m_historyQuery = new FbQuery(mainApi()->IBDatabase1(), this);
        m_historySource = new DataSource(this);
        m_historySource->setDataSet(m_historyQuery);
        ui->LoanHistoryGrid->setDataSource(m_historySource);
    }
    // Narrow enough that all four fit the window's width without scrolling.
    ui->LoanHistoryGrid->setColumns({{QStringLiteral("GIVEN_TO"), LangStr(QStringLiteral("lcolto")), 8},
                                     {QStringLiteral("GIVEN_DATE"), LangStr(QStringLiteral("lcolgiven")), 8},
                                     {QStringLiteral("DUE_DATE"), LangStr(QStringLiteral("fgvndue")), 8},
                                     {QStringLiteral("RETURNED_DATE"), LangStr(QStringLiteral("fgvnret")), 9}});
    const QString id = ui->getId->text().trimmed();
    int count = 0;
    bool known = false;
    m_historyQuery->close();
    if (!id.isEmpty()) {
        try {
            m_historyQuery->setSqlText(LoanRecords::bookHistoryStatement(id));
            m_historyQuery->open();
            m_historyQuery->fetchAll();
            count = m_historyQuery->fetchedCount();
            known = true;
        } catch (const std::exception &) {
            // A library without the history: the window shows the book as before.
            m_historyQuery->close();
        }
    }
    ui->LoanHistoryLabel->setText(known ? LangStr(QStringLiteral("lpastloans")).arg(count)
                                        : LangStr(QStringLiteral("lnohistory")));
}

void TViewF::FormHide()
{
    colourViewLink(Qt::gray);
}

void TViewF::getTitleChange()
{
    ui->Label3->setText(QStringLiteral(" ::: ") + ui->getTitle->text() + QStringLiteral(" ::: "));
}

void TViewF::colourViewLink(const QColor &color)
{
    if (!parentWidget())
        return;
    if (auto *link = parentWidget()->findChild<ClickableLabel *>(QStringLiteral("LeftViewLnk")))
        link->setTextColor(color);
}
