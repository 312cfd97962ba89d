#include "IsbnSourcesWindow.h"

#include "AppState.h"
#include "LangStr.h"
#include "UserPrompts.h"
#include "ui_IsbnSourcesWindow.h"

#include <QHeaderView>

namespace
{
const char *const kKindNames[] = {"Open Library", "Google Books", "SRU", "Z39.50", "Z39.50 UNIMARC"};
}

IsbnSourcesWindow::IsbnSourcesWindow(QWidget *parent) : DialogBase(parent), ui(std::make_unique<Ui::IsbnSourcesWindow>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    setThemedWidgets({ui->SourcesTitleLb});
    ui->sourcesList->setColumnCount(2);
    ui->sourcesList->horizontalHeader()->setStretchLastSection(true);
    ui->sourcesList->verticalHeader()->hide();
    connect(ui->sourceUp, &QPushButton::clicked, this, [this] { move(-1); });
    connect(ui->sourceDown, &QPushButton::clicked, this, [this] { move(1); });
    connect(ui->sourceAddSru, &QPushButton::clicked, this,
            [this] { addEditedRow({SourceSetting::Kind::Sru, true, QStringLiteral("http://")}); });
    connect(ui->sourceAddZ3950, &QPushButton::clicked, this,
            [this] { addEditedRow({SourceSetting::Kind::Z3950, true, QStringLiteral("host:210/database")}); });
    connect(ui->sourceAddZ3950Unimarc, &QPushButton::clicked, this,
            [this] { addEditedRow({SourceSetting::Kind::Z3950Unimarc, true, QStringLiteral("host:210/database")}); });
    connect(ui->sourceRemove, &QPushButton::clicked, this, [this] {
        const int row = ui->sourcesList->currentRow();
        if (row >= 0)
            ui->sourcesList->removeRow(row);
    });
    connect(ui->sourcesOk, &QPushButton::clicked, this, &IsbnSourcesWindow::okClick);
    connect(ui->sourcesCancel, &QPushButton::clicked, this, &QDialog::hide);
    applyLanguage();
}

IsbnSourcesWindow::~IsbnSourcesWindow() = default;

void IsbnSourcesWindow::applyLanguage()
{
    ui->SourcesTitleLb->setText(LangStr(QStringLiteral("lsrccap")));
    setWindowTitle(ui->SourcesTitleLb->text());
    ui->sourcesList->setHorizontalHeaderLabels({LangStr(QStringLiteral("lsrcname")), LangStr(QStringLiteral("lsrcaddr"))});
    ui->sourceUp->setText(LangStr(QStringLiteral("lsrcup")));
    ui->sourceDown->setText(LangStr(QStringLiteral("lsrcdown")));
    ui->sourceAddSru->setText(LangStr(QStringLiteral("lsrcaddsru")));
    ui->sourceAddZ3950->setText(LangStr(QStringLiteral("lsrcaddz")));
    ui->sourceAddZ3950Unimarc->setText(LangStr(QStringLiteral("lsrcaddzu")));
    ui->sourceRemove->setText(LangStr(QStringLiteral("lsrcremove")));
    ui->GoogleKeyLb->setText(LangStr(QStringLiteral("lsrckey")));
    ui->TimeoutLb->setText(LangStr(QStringLiteral("lsrctime")));
    ui->sourcesOk->setText(QStringLiteral("OK"));
    ui->sourcesCancel->setText(LangStr(QStringLiteral("lcancel")));
}

void IsbnSourcesWindow::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    load(SourceList::read(AppState::baseDirectory() + SourceList::fileName()));
}

void IsbnSourcesWindow::addRow(const SourceSetting &source)
{
    const int row = ui->sourcesList->rowCount();
    ui->sourcesList->insertRow(row);
    auto *name = new QTableWidgetItem(QLatin1String(kKindNames[static_cast<int>(source.kind)]));
    name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    name->setCheckState(source.on ? Qt::Checked : Qt::Unchecked);
    name->setData(Qt::UserRole, static_cast<int>(source.kind));
    ui->sourcesList->setItem(row, 0, name);
    ui->sourcesList->setItem(row, 1, new QTableWidgetItem(source.address));
}

void IsbnSourcesWindow::addEditedRow(const SourceSetting &source)
{
    addRow(source);
    ui->sourcesList->setCurrentCell(ui->sourcesList->rowCount() - 1, 1);
    ui->sourcesList->editItem(ui->sourcesList->currentItem());
}

void IsbnSourcesWindow::load(const SourceList &list)
{
    ui->sourcesList->setRowCount(0);
    for (const SourceSetting &s : list.sources)
        addRow(s);
    ui->sourcesList->resizeColumnToContents(0);
    ui->googleKey->setText(list.googleKey);
    ui->timeoutSec->setValue(list.timeoutMs / 1000);
}

SourceList IsbnSourcesWindow::edited() const
{
    SourceList list;
    for (int row = 0; row < ui->sourcesList->rowCount(); ++row) {
        const QTableWidgetItem *name = ui->sourcesList->item(row, 0);
        list.sources.append({static_cast<SourceSetting::Kind>(name->data(Qt::UserRole).toInt()),
                             name->checkState() == Qt::Checked, ui->sourcesList->item(row, 1)->text().trimmed()});
    }
    list.googleKey = ui->googleKey->text().trimmed();
    list.timeoutMs = ui->timeoutSec->value() * 1000;
    return list;
}

void IsbnSourcesWindow::move(int by)
{
    const int row = ui->sourcesList->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= ui->sourcesList->rowCount())
        return;
    for (int c = 0; c < 2; ++c) {
        QTableWidgetItem *a = ui->sourcesList->takeItem(row, c);
        QTableWidgetItem *b = ui->sourcesList->takeItem(to, c);
        ui->sourcesList->setItem(row, c, b);
        ui->sourcesList->setItem(to, c, a);
    }
    ui->sourcesList->setCurrentCell(to, 0);
}

void IsbnSourcesWindow::okClick()
{
    if (!edited().write(AppState::baseDirectory() + SourceList::fileName())) {
        UserPrompts::message(UserPrompts::Kind::Warning, LangStr(QStringLiteral("csrcnotsaved")));
        return;
    }
    hide();
}
