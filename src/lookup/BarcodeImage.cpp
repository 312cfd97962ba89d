#include "BarcodeImage.h"

#include "LangStr.h"
#include "UserPrompts.h"

// Text as UTF-8, the form the library moves to.
#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

QString BarcodeImage::readEan13(const QImage &image)
{
    if (image.isNull())
        return QString();
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::EAN13);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(grey.bytesPerLine()));
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid())
        return QString();
    return QString::fromStdString(result.text());
}

QString BarcodeImage::readEan13(const QString &path)
{
    return readEan13(QImage(path));
}

std::optional<QString> BarcodeImage::askPhoto(QWidget *parent)
{
    const QString path = UserPrompts::openFileName(parent, QStringLiteral("Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.webp);;*"),
                                                   LangStr(QStringLiteral("lisbnpiccap")));
    if (path.isEmpty())
        return std::nullopt;
    return readEan13(path);
}
