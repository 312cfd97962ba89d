#pragma once

#include <QStyledItemDelegate>

// Draws a grid cell as the style's item view does (panel, selection, elided one-line text,
// focus frame), but lays its text out once: the grid repaints every visible cell on each
// re-run and move, and the style's general path lays a cell's text out three times.
class GridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
