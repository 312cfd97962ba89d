#include "Ean13Picture.h"

#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>

QImage drawEan13(const QString &digits, int module)
{
    static const char *const l[] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                    "0110001", "0101111", "0111011", "0110111", "0001011"};
    static const char *const parity[] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                         "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};
    const auto code = [](const char *left, char kind) {
        QString bits = QString::fromLatin1(left);
        if (kind == 'L')
            return bits;
        for (QChar &c : bits)
            c = c == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0'); // R: the complement
        if (kind == 'G')
            std::reverse(bits.begin(), bits.end());
        return bits;
    };
    const int first = digits.at(0).digitValue();
    QString bits = QStringLiteral("101");
    for (int i = 1; i <= 6; ++i)
        bits += code(l[digits.at(i).digitValue()], parity[first][i - 1]);
    bits += QStringLiteral("01010");
    for (int i = 7; i <= 12; ++i)
        bits += code(l[digits.at(i).digitValue()], 'R');
    bits += QStringLiteral("101");
    const int quiet = 12 * module;
    QImage image(static_cast<int>(bits.size()) * module + 2 * quiet, 60 * module, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (qsizetype i = 0; i < bits.size(); ++i)
        if (bits.at(i) == QLatin1Char('1'))
            p.fillRect(quiet + static_cast<int>(i) * module, 4 * module, module, 50 * module, Qt::black);
    return image;
}

QImage photographed(const QImage &barcode, qreal angle)
{
    QImage page(barcode.width() * 2, barcode.height() * 3, QImage::Format_RGB32);
    page.fill(QColor(200, 196, 188));
    QPainter p(&page);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.translate(page.width() / 2.0, page.height() / 2.0);
    p.rotate(angle);
    p.drawImage(-barcode.width() / 2, -barcode.height() / 2, barcode);
    p.end();
    QImage small = page.scaled(page.width() * 2 / 3, page.height() * 2 / 3, Qt::IgnoreAspectRatio,
                               Qt::SmoothTransformation);
    QRandomGenerator noise(7);
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x) {
            const int v = qBound(0, qGray(small.pixel(x, y)) + noise.bounded(-25, 26), 255);
            small.setPixel(x, y, qRgb(v, v, v));
        }
    return small;
}

