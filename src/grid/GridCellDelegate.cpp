#include "GridCellDelegate.h"

#include <QApplication>
#include <QPainter>

#include <cmath>

void GridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // Anything beyond plain text (icons, check boxes, wrapping) takes the style's own path.
    if (opt.features & ~(QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::Alternate)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QWidget *widget = opt.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();

    painter->save();
    painter->setClipRect(opt.rect);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active)  ? QPalette::Normal
                                                                             : QPalette::Inactive;
    const bool selected = opt.state & QStyle::State_Selected;
    if (!opt.text.isEmpty()) {
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect textRect = opt.rect.adjusted(margin, 0, -margin, 0);
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const QFontMetricsF metrics(opt.font);
        // Most cells fit: measuring the text once tells, and eliding (which measures again) is for the rest.
        qreal width = metrics.horizontalAdvance(opt.text);
        QString shown = opt.text;
        if (width > textRect.width()) {
            shown = opt.fontMetrics.elidedText(opt.text, opt.textElideMode, textRect.width());
            width = metrics.horizontalAdvance(shown);
        }
        // Placed as the style places a one-line layout: its box aligned in the cell, text on the box's baseline.
        const QSize box(int(std::ceil(width)), int(metrics.ascent() + metrics.descent()));
        const QRect placed = QStyle::alignedRect(opt.direction, opt.displayAlignment, box, textRect);
        painter->drawText(QPointF(placed.left(), placed.top() + metrics.ascent()), shown);
    }
    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &opt, widget);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = opt.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}
