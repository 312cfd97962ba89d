#include "StyleIcon.h"

#include <QApplication>
#include <QEvent>
#include <QIconEngine>
#include <QLabel>

namespace
{

class LazyStandardIconEngine : public QIconEngine
{
public:
    explicit LazyStandardIconEngine(QStyle::StandardPixmap which) : m_which(which) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    // A standard icon is never empty: asking must not read its pictures.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("LazyStandardIconEngine"); }
    QIconEngine *clone() const override { return new LazyStandardIconEngine(m_which); }

private:
    const QIcon &icon()
    {
        if (m_icon.isNull())
            m_icon = QApplication::style()->standardIcon(m_which);
        return m_icon;
    }

    QStyle::StandardPixmap m_which;
    QIcon m_icon;
};

// Sets the picture on the label's first show, before it is painted, and then leaves.
class PixmapOnShow : public QObject
{
public:
    PixmapOnShow(QLabel *label, QStyle::StandardPixmap which, int size) : QObject(label), m_which(which), m_size(size)
    {
        label->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            static_cast<QLabel *>(watched)->setPixmap(
                QApplication::style()->standardIcon(m_which).pixmap(m_size, m_size));
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QStyle::StandardPixmap m_which;
    int m_size;
};

} // namespace

QIcon lazyStandardIcon(QStyle::StandardPixmap which)
{
    return QIcon(new LazyStandardIconEngine(which));
}

void showStandardPixmapWhenShown(QLabel *label, QStyle::StandardPixmap which, int size)
{
    // Until then a blank of the same size: the window is laid out and placed as it will stay.
    QPixmap blank(size, size);
    blank.fill(Qt::transparent);
    label->setPixmap(blank);
    new PixmapOnShow(label, which, size);
}
