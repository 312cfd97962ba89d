#pragma once

#include <QCache>
#include <QFont>
#include <QStaticText>
#include <QStyledItemDelegate>

// Draws a grid cell as the style's item view does (panel, selection, elided one-line text,
// focus frame), but lays its text out once: the grid repaints every visible cell on each
// re-run and move, and the style's general path lays a cell's text out three times. The laid
// out texts of the last few screens are kept, so a screen drawn again (a re-run, a move back,
// the same search) draws without laying out anything.
class GridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    // A cell's text as drawn in a font: whole, or elided to the width it was elided for.
    struct LaidOut {
        QFont font;
        QStaticText shown;
        qreal width = 0;
        int elidedTo = -1;
    };

    const LaidOut &laidOut(const QStyleOptionViewItem &opt, int available) const;

    mutable QCache<QString, LaidOut> m_laidOut{2000};
};
