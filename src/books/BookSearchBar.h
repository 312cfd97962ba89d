#pragma once

#include "ChosenEntry.h"
#include "TitleClickOrder.h"

#include <QWidget>

#include <memory>

class ForgivingSearch;
class QComboBox;

namespace Ui
{
class BookSearchBar;
}

// The bar above the book list: search one field for a text, order the list by any field.
class BookSearchBar : public QWidget
{
    Q_OBJECT
public:
    // With a parent frame that has no layout yet, the bar lays itself out to fill it.
    explicit BookSearchBar(QWidget *parent = nullptr);
    ~BookSearchBar() override;

public slots:
    void SearchImgClick();
    void ArrangeDownImgClick();
    void ArrangeUpImgClick();
    void edSel2Click();
    void edSel2Exit();
    // Orders by the list column of that field, as "Arrange by" does; "Arrange by" shows it.
    void arrangeByColumn(const QString &column);
    // Makes statement the book list's, as a search does: logs it, keeps it as the base of
    // orderings, runs it.
    void showStatement(const QString &statement);

signals:
    // A search ran and the list it gave is empty.
    void nothingFound();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void arrange(bool ascending);
    void openBookList();

    std::unique_ptr<Ui::BookSearchBar> ui;
    TitleClickOrder m_titleOrder;
    ForgivingSearch *m_forgiving = nullptr;
};

// Whether the search text is the prompt of "Search for?" in any language.
bool isSearchPrompt(const QString &text);
