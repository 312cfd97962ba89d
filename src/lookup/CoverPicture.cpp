#include "CoverPicture.h"

#include <QLabel>
#include <QPixmap>

namespace
{
constexpr int kWidth = 80;
constexpr int kHeight = 120;
} // namespace

QLabel *CoverPicture::makeLabel(QWidget *parent, const QString &objectName)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setMaximumSize(kWidth, kHeight);
    label->hide();
    return label;
}

void CoverPicture::show(QLabel *label, const QByteArray &picture)
{
    QPixmap pixmap;
    if (picture.isEmpty() || !pixmap.loadFromData(picture)) {
        label->clear();
        label->hide();
        return;
    }
    label->setPixmap(pixmap.scaled(kWidth, kHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    label->show();
}
