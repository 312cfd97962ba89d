#pragma once

#include "BookImport.h"
#include "BookImportBatch.h"
#include "CsvFormat.h"
#include "DialogBase.h"

#include <QList>
#include <QStringList>
#include <memory>

class DbWorker;
class QComboBox;
class QProgressDialog;

namespace Ui
{
class ImportBooksWindow;
}

// Import of books from a CSV file: a preview of the first rows, the file's columns matched to
// the book fields, then every accepted row stored in one batch and a report of the rest.
class ImportBooksWindow : public DialogBase
{
    Q_OBJECT
public:
    static constexpr int kPreviewRows = 5;
    static constexpr int kPreviewCell = 200; // characters of a cell the preview shows

    explicit ImportBooksWindow(QWidget *parent = nullptr);
    ~ImportBooksWindow() override;

    // Reads the start of the file, finds its encoding and delimiter and matches its header.
    // Throws FileError.
    void loadFile(const QString &path);
    // For each book field the column of the file it is taken from, or -1.
    QList<int> mapping() const;
    QStringList reportLines() const { return m_report; }
    // The import running in the background, if any (for tests and for the window's Stop).
    DbWorker *worker() const { return m_worker; }

public slots:
    void ImportBtnClick();
    void SaveReportBtnClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void applyLanguage();
    void fillPreview();
    void fillMapping();
    void importRows();
    void showOutcome(const BookImportBatch::Outcome &outcome);
    void importFailed(const QString &message, bool stopped);
    void showReport(const QStringList &lines);
    QList<QComboBox *> mappingBoxes() const;

    std::unique_ptr<Ui::ImportBooksWindow> ui;
    QString m_path;
    BookImportBatch::Head m_head;
    QStringList m_report;
    DbWorker *m_worker = nullptr;
    QProgressDialog *m_progress = nullptr;
};
