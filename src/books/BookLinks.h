#pragma once

#include "ClickableLabel.h"

#include <QColor>

// A link in its normal colour that turns red under the mouse.
inline void setLinkColors(ClickableLabel *link, const QColor &normal, const QColor &hover = Qt::red)
{
    link->setTextColor(normal);
    QObject::connect(link, &ClickableLabel::mouseEntered, link, [link, hover] {
        const QColor keep = link->textColor();
        link->setTextColor(hover);
        link->setProperty("normalColor", keep);
    });
    QObject::connect(link, &ClickableLabel::mouseLeft, link, [link] {
        const QVariant keep = link->property("normalColor");
        if (keep.isValid())
            link->setTextColor(keep.value<QColor>());
    });
}
