#include "LookupWindow.h"

#include "AppState.h"
#include "ConstantsWindow.h"
#include "DataSource.h"
#include "FbQuery.h"
#include "UserPrompts.h"
#include "ui_LookupWindow.h"

#include <QHeaderView>

TLookupF *LookupF = nullptr;

namespace
{
constexpr double kOpacity = 235 / 255.0;
} // namespace

TLookupF::TLookupF(QWidget *parent) : DialogBase(parent), ui(std::make_unique<Ui::TLookupF>())
{
    LookupF = this;
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setThemedWidgets({ui->Label1, ui->Panel2});
    setWindowOpacity(kOpacity);

    // The lookup runs on the library's one connection.
    m_query = new FbQuery(mainApi() ? mainApi()->IBDatabase1() : nullptr, this);
    m_query->setObjectName(QStringLiteral("IBQuery1"));
    m_source = new DataSource(this);
    m_source->setObjectName(QStringLiteral("DataSource1"));
    m_source->setDataSet(m_query);
    ui->DBGridEh1->setDataSource(m_source);
    // The one column takes the grid's whole width.
    ui->DBGridEh1->horizontalHeader()->setStretchLastSection(true);
    ui->DBNavigator1->setDataSource(m_source);
    ui->LookupResult->setDataSource(m_source);

    connect(ui->DBGridEh1, &DBGridEh::fetchFailed, this,
            [](const QString &message) { UserPrompts::showError(message); });
    connect(ui->DBNavigator1, &DBNavigator::actionFailed, this,
            [](const QString &message) { UserPrompts::showError(message); });
    // Every row the user moves to is offered in the constants window at once.
    connect(ui->LookupResult, &QLineEdit::textChanged, this, [](const QString &text) {
        if (ConstantsF)
            ConstantsF->NewConstEd()->setText(text);
    });
    connect(ui->Button1, &QPushButton::clicked, this, &TLookupF::Button1Click);
}

TLookupF::~TLookupF()
{
    if (LookupF == this)
        LookupF = nullptr;
}

void TLookupF::lookup(const QString &statement, const QString &column)
{
    m_query->clearSql();
    ui->LookupResult->setDataField(column);
    m_query->setSqlText(statement);
    m_query->open();
    show();
    raise();
    activateWindow();
}

void TLookupF::Button1Click()
{
    close();
    if (ConstantsF)
        ConstantsF->NewConstEd()->setFocus();
}
