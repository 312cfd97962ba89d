#include "ImportBooksWindow.h"

#include "ui_ImportBooksWindow.h"

#include "AppState.h"
#include "DbWorker.h"
#include "EventConsole.h"
#include "ExchangeFiles.h"
#include "FbDatabase.h"
#include "FileError.h"
#include "LangStr.h"
#include "UserPrompts.h"

#include <QProgressDialog>

namespace
{

constexpr int kProgressScale = 1000;

QString encodingName(Csv::Encoding encoding)
{
    switch (encoding) {
    case Csv::Encoding::Utf8Bom:
        return QStringLiteral("UTF-8 (BOM)");
    case Csv::Encoding::Utf8:
        return QStringLiteral("UTF-8");
    case Csv::Encoding::Windows1251:
        return QStringLiteral("Windows-1251");
    }
    return {};
}

} // namespace

ImportBooksWindow::ImportBooksWindow(QWidget *parent)
    : DialogBase(parent), ui(std::make_unique<Ui::ImportBooksWindow>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("ImportBooksWindow"));
    setThemedWidgets({ui->Label1, ui->Panel1, ui->MappingBox});
    connect(ui->ImportBtn, &QPushButton::clicked, this, &ImportBooksWindow::ImportBtnClick);
    connect(ui->SaveReportBtn, &QPushButton::clicked, this, &ImportBooksWindow::SaveReportBtnClick);
    connect(ui->CloseBtn, &QPushButton::clicked, this, &QDialog::reject);

    m_worker = new DbWorker(mainApi()->IBDatabase1(), this);
    m_progress = new QProgressDialog(this);
    m_progress->setObjectName(QStringLiteral("ImportProgress"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setRange(0, kProgressScale);
    m_progress->setMinimumDuration(0);
    m_progress->setAutoReset(false);
    m_progress->setAutoClose(false);
    m_progress->reset();
    connect(m_progress, &QProgressDialog::canceled, m_worker, &DbWorker::stop);
    connect(m_worker, &DbWorker::progress, this, [this](qint64 done, qint64 total) {
        if (total > 0)
            m_progress->setValue(static_cast<int>(done * kProgressScale / total));
    });
    connect(m_worker, &DbWorker::finished, this, [this](const QVariant &result) {
        runGuarded([this, &result] { showOutcome(result.value<BookImportBatch::Outcome>()); });
    });
    connect(m_worker, &DbWorker::failed, this, &ImportBooksWindow::importFailed);
    applyLanguage();
}

ImportBooksWindow::~ImportBooksWindow() = default;

void ImportBooksWindow::showEvent(QShowEvent *event)
{
    applyLanguage();
    DialogBase::showEvent(event);
}

void ImportBooksWindow::applyLanguage()
{
    const QString caption = LangStr(QStringLiteral("limpcap"));
    setWindowTitle(caption);
    ui->Label1->setText(caption);
    ui->FileLb->setText(LangStr(QStringLiteral("limpfile")));
    ui->EncodingLb->setText(LangStr(QStringLiteral("limpenc")));
    ui->PreviewLb->setText(LangStr(QStringLiteral("limpprev")));
    ui->MappingBox->setTitle(LangStr(QStringLiteral("limpmap")));
    ui->FillEmptyCk->setText(LangStr(QStringLiteral("limpfill")));
    ui->ImportBtn->setText(LangStr(QStringLiteral("limpbtn")));
    ui->SaveReportBtn->setText(LangStr(QStringLiteral("limpsave")));
    ui->CloseBtn->setText(LangStr(QStringLiteral("limpclose")));
    const QList<QComboBox *> boxes = mappingBoxes();
    for (int field = 0; field < BookColumns::FieldCount; ++field) {
        auto *label = findChild<QLabel *>(boxes.at(field)->objectName() + QStringLiteral("Lb"));
        label->setText(LangStr(QString::fromLatin1(BookColumns::column(field).labelKey)));
        if (boxes.at(field)->count() > 0)
            boxes.at(field)->setItemText(0, LangStr(QStringLiteral("limpnone")));
    }
}

QList<QComboBox *> ImportBooksWindow::mappingBoxes() const
{
    return {ui->MapTitle, ui->MapAuthor, ui->MapYear,        ui->MapSeria, ui->MapPublisher,
            ui->MapPlace, ui->MapGenre,  ui->MapDescription, ui->MapClas};
}

void ImportBooksWindow::loadFile(const QString &path)
{
    m_head = BookImportBatch::readHead(path, kPreviewRows + 1);
    m_path = path;
    m_report.clear();
    ui->FileNameLb->setText(path);
    ui->FileNameLb->setToolTip(path);
    ui->EncodingNameLb->setText(encodingName(m_head.encoding));
    ui->ReportMemo->clear();
    ui->SaveReportBtn->setEnabled(false);
    ui->ImportBtn->setEnabled(!m_head.binary && m_head.records.size() > 1);
    if (m_head.binary)
        ui->ReportMemo->setPlainText(LangStr(QStringLiteral("cimpnotcsv")));
    fillPreview();
    fillMapping();
}

void ImportBooksWindow::fillPreview()
{
    const auto cell = [](const QString &text) {
        return text.size() > kPreviewCell ? text.left(kPreviewCell) + QChar(0x2026) : text;
    };
    const QStringList headers = m_head.binary ? QStringList() : m_head.records.value(0).fields;
    ui->PreviewTable->clear();
    ui->PreviewTable->setColumnCount(static_cast<int>(headers.size()));
    for (int c = 0; c < headers.size(); ++c)
        ui->PreviewTable->setHorizontalHeaderItem(c, new QTableWidgetItem(cell(headers.at(c))));
    const int rows = static_cast<int>(qMin<qsizetype>(kPreviewRows, qMax<qsizetype>(0, m_head.records.size() - 1)));
    ui->PreviewTable->setRowCount(headers.isEmpty() ? 0 : rows);
    for (int r = 0; r < ui->PreviewTable->rowCount(); ++r) {
        const Csv::Record &record = m_head.records.at(r + 1);
        ui->PreviewTable->setVerticalHeaderItem(r, new QTableWidgetItem(QString::number(record.line)));
        for (int c = 0; c < record.fields.size() && c < headers.size(); ++c)
            ui->PreviewTable->setItem(r, c, new QTableWidgetItem(cell(record.fields.at(c))));
    }
}

void ImportBooksWindow::fillMapping()
{
    const QStringList headers = m_head.binary ? QStringList() : m_head.records.value(0).fields;
    const QList<int> automatic = BookColumns::autoMapping(headers);
    const QList<QComboBox *> boxes = mappingBoxes();
    for (int field = 0; field < BookColumns::FieldCount; ++field) {
        QComboBox *box = boxes.at(field);
        box->clear();
        box->addItem(LangStr(QStringLiteral("limpnone")), -1);
        for (int c = 0; c < headers.size(); ++c)
            box->addItem(QStringLiteral("%1: %2").arg(c + 1).arg(headers.at(c)), c);
        box->setCurrentIndex(automatic.at(field) + 1);
    }
}

QList<int> ImportBooksWindow::mapping() const
{
    QList<int> result;
    for (const QComboBox *box : mappingBoxes())
        result << box->currentData().toInt();
    return result;
}

void ImportBooksWindow::ImportBtnClick()
{
    runGuarded([this] { importRows(); });
}

void ImportBooksWindow::importRows()
{
    if (m_worker->running())
        return;
    BookImportBatch::Request request;
    request.path = m_path;
    request.mapping = mapping();
    request.options.fillEmpty = ui->FillEmptyCk->isChecked();
    request.options.unknownWord = LangStr(QStringLiteral("funknown"));
    request.options.noneWord = LangStr(QStringLiteral("fnone"));
    ui->ImportBtn->setEnabled(false);
    m_progress->setLabelText(LangStr(QStringLiteral("cimpwork")));
    m_progress->setCancelButtonText(LangStr(QStringLiteral("lsqlstop")));
    m_progress->setValue(0);
    m_progress->show();
    // The worker's own attachment stores the rows; its transaction is the one batch: all or none.
    m_worker->start([request](DbWorker::Control &control) {
        const BookImportBatch::Outcome outcome = BookImportBatch::run(
            &control.database(), request, [&control](qint64 done, qint64 total) { control.progress(done, total); },
            [&control] { return control.stopRequested(); });
        return QVariant::fromValue(outcome);
    });
}

void ImportBooksWindow::importFailed(const QString &message, bool stopped)
{
    m_progress->reset();
    ui->ImportBtn->setEnabled(true);
    showReport({stopped ? LangStr(QStringLiteral("cimpcancel")) : message});
    if (!stopped)
        UserPrompts::showError(message);
}

void ImportBooksWindow::showOutcome(const BookImportBatch::Outcome &outcome)
{
    m_progress->reset();
    ui->ImportBtn->setEnabled(outcome.stored == 0);
    ui->EncodingNameLb->setText(encodingName(outcome.encoding));
    QStringList lines;
    if (outcome.binary) {
        showReport({LangStr(QStringLiteral("cimpnotcsv"))});
        return;
    }
    if (outcome.failedLine > 0)
        lines << LangStr(QStringLiteral("cimpfailed"))
              << LangStr(QStringLiteral("cimpline")) + QLatin1Char(' ') + QString::number(outcome.failedLine) +
                     QLatin1String(": ") + outcome.error;
    else if (outcome.cancelled)
        lines << LangStr(QStringLiteral("cimpcancel"));
    if (outcome.unclosedQuoteLine > 0)
        lines << LangStr(QStringLiteral("cimpline")) + QLatin1Char(' ') + QString::number(outcome.unclosedQuoteLine) +
                     QLatin1String(": ") + LangStr(QStringLiteral("cimpquote"));
    lines << BookImport::report(outcome.tally, outcome.stored);
    // One line for the whole import: a line per book would bury the console.
    LogEvent(LangStr(QStringLiteral("cimplog")) + QLatin1Char(' ') + m_path + QLatin1String(": ") +
             QString::number(outcome.stored));
    showReport(lines);
    // A second click would store every book twice.
    if (outcome.stored > 0)
        mainApi()->RefreshBooks();
}

void ImportBooksWindow::showReport(const QStringList &lines)
{
    m_report = lines;
    ui->ReportMemo->setPlainText(lines.join(QLatin1Char('\n')));
    ui->SaveReportBtn->setEnabled(true);
}

void ImportBooksWindow::SaveReportBtnClick()
{
    runGuarded([this] {
        const QString path =
            UserPrompts::saveFileName(this, QStringLiteral("*.txt"), LangStr(QStringLiteral("limpsave")));
        if (!path.isEmpty())
            ExchangeFiles::writeText(path, m_report);
    });
}
