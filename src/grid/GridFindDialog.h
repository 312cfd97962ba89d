#pragma once

#include <QDialog>

class DBGridEh;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The grid's find window: looks for a text in one column or in all of them, from the current
// row down or up, going round the ends once. It reports in its own status line, never in a box.
class GridFindDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GridFindDialog(DBGridEh *grid);

    // The window's texts; the program sets them in its interface language, and an open window
    // takes them on its next show. The defaults are English.
    struct Texts {
        QString title = QStringLiteral("Find");
        QString findWhat = QStringLiteral("Fi&nd what:");
        QString lookIn = QStringLiteral("&Look in:");
        QString allColumns = QStringLiteral("All columns");
        QString matchCase = QStringLiteral("Match &case");
        QString wholeValue = QStringLiteral("&Whole value");
        QString direction = QStringLiteral("Direction");
        QString up = QStringLiteral("&Up");
        QString down = QStringLiteral("&Down");
        QString findNext = QStringLiteral("&Find next");
        QString close = QStringLiteral("Close");
        QString typeText = QStringLiteral("Type the text to find.");
        QString notFound = QStringLiteral("\"%1\" was not found.");
        QString passedLast = QStringLiteral("Passed the last row; continued from the first.");
        QString passedFirst = QStringLiteral("Passed the first row; continued from the last.");
    };
    static void setTexts(const Texts &texts);

    DBGridEh *grid() const { return m_grid; }

    QString text() const;
    void setText(const QString &text);
    // -1 searches all columns.
    int searchColumn() const;
    void setSearchColumn(int column);
    void setMatchCase(bool on);
    void setWholeValue(bool on);
    void setSearchUp(bool up);
    QString statusText() const;

public slots:
    // Makes the next matching row current; false when nothing matches.
    bool findNext();

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool matches(int row, const QList<int> &columns, int *column) const;
    void refreshColumns();
    void applyTexts();

    DBGridEh *m_grid;
    QLineEdit *m_text;
    QComboBox *m_column;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeValue;
    QRadioButton *m_up;
    QRadioButton *m_down;
    QPushButton *m_findNext;
    QPushButton *m_close;
    QLabel *m_status;
    QLabel *m_textLabel;
    QLabel *m_columnLabel;
    QGroupBox *m_direction;
};
