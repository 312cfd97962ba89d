#pragma once

#include <QObject>
#include <QTimer>

class BookSearchBar;
class ClickableLabel;
class FbDatabase;
class LentMark;
class QMenu;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLineEdit;

// The search bar's forgiving search: the "ignore case" toggle, the offer of a forgiving result
// when a search found nothing, and the filter as you type. The bar's own statements stay as
// they are; the forgiving one reads the folded copy of BOOK.
class ForgivingSearch : public QObject
{
    Q_OBJECT
public:
    static constexpr int kFilterPauseMs = 250;
    // Settings keys ("1" on, "0" off).
    static constexpr const char *kIgnoreCaseKey = "Ignorecase";
    static constexpr const char *kFilterKey = "Filterastype";

    ForgivingSearch(BookSearchBar *bar, QLineEdit *text, QComboBox *field, QHBoxLayout *layout);

    bool ignoreCase() const;
    // Whether the "Search by" entry has a folded copy (every entry but Id).
    static bool forgivable(int field);
    // Runs the forgiving search as the book list's statement; false when it could not be built.
    bool showForgiving(int field, const QString &text);
    // After a search that found nothing: counts the forgiving result and offers it.
    void offer(int field, const QString &text);
    void hideOffer();

    // Creates the folded copy in a library that lacks it, logging the steps; a worker fills it.
    // Run on connect, before the connection's transaction has read BOOK.
    static void prepareLibrary(FbDatabase &db);

    // "Filter as you type" and "Mark lent books", checkable, at the end of the Library menu.
    static void installMenu(QMenu *library, LentMark *mark);

    // Settings store flags, written to .settings at once so they outlive the run.
    static bool flag(const char *key);
    static void setFlag(const char *key, bool on);

private:
    void textEdited();
    void filterPaused();
    std::optional<qint64> forgivingCount(int field, const QString &text) const;
    std::optional<QString> forgivingSql(int field, const QString &text) const;

    BookSearchBar *m_bar;
    QLineEdit *m_text;
    QComboBox *m_field;
    QCheckBox *m_ignoreCase;
    ClickableLabel *m_offer;
    QTimer m_filterTimer;
    int m_offerField = -1;
    bool m_followsList = false;
    QString m_offerText;
};
