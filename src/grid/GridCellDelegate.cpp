#include "GridCellDelegate.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Texts a one-line layout would break or show otherwise than the painter's one line does.
bool breaksLines(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    });
}

// The common styles' panel of a cell is the selection or the cell's own background, nothing
// else; Fusion works out its frame colours on every call first, which costs the list a tenth of
// a millisecond each time it is drawn. Other styles draw what they draw.
bool drawsPanel(const QStyle *style, const QStyleOptionViewItem &opt)
{
    const QString name = style->name();
    const bool common = name == QLatin1String("fusion") || name == QLatin1String("windows");
    return !common || opt.state & QStyle::State_Selected || opt.backgroundBrush.style() != Qt::NoBrush;
}

} // namespace

const GridCellDelegate::LaidOut &GridCellDelegate::laidOut(const QStyleOptionViewItem &opt, int available) const
{
    if (const LaidOut *kept = m_laidOut.object(opt.text)) {
        if (kept->font == opt.font && (kept->elidedTo < 0 ? kept->width <= available : kept->elidedTo == available))
            return *kept;
    }
    auto *text = new LaidOut;
    text->font = opt.font;
    const QFontMetricsF metrics(opt.font);
    // Most cells fit: measuring the text once tells, and eliding (which measures again) is for the rest.
    QString shown = opt.text;
    text->width = metrics.horizontalAdvance(shown);
    if (text->width > available) {
        shown = opt.fontMetrics.elidedText(opt.text, opt.textElideMode, available);
        text->width = metrics.horizontalAdvance(shown);
        text->elidedTo = available;
    }
    text->shown.setText(shown);
    text->shown.setTextFormat(Qt::PlainText);
    text->shown.prepare(QTransform(), opt.font);
    m_laidOut.insert(opt.text, text);
    return *text;
}

void GridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // Anything beyond plain one-line text (icons, check boxes, wrapping, line breaks) takes the
    // style's own path.
    if (opt.features & ~(QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::Alternate) || breaksLines(opt.text)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QWidget *widget = opt.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();

    painter->save();
    painter->setClipRect(opt.rect);
    if (drawsPanel(style, opt))
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active)  ? QPalette::Normal
                                                                             : QPalette::Inactive;
    const bool selected = opt.state & QStyle::State_Selected;
    if (!opt.text.isEmpty()) {
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect textRect = opt.rect.adjusted(margin, 0, -margin, 0);
        const LaidOut &text = laidOut(opt, textRect.width());
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const QFontMetricsF metrics(opt.font);
        // Placed as the style places a one-line layout: its box aligned in the cell, text on the
        // box's baseline. A laid-out line puts its baseline below its top by the ascent and any
        // leading.
        const QSize box(int(std::ceil(text.width)), int(metrics.ascent() + metrics.descent()));
        const QRect placed = QStyle::alignedRect(opt.direction, opt.displayAlignment, box, textRect);
        painter->drawStaticText(QPointF(placed.left(), placed.top() - std::max(0.0, metrics.leading())), text.shown);
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
