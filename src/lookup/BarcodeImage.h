#pragma once

#include <QImage>
#include <QString>

#include <optional>

class QWidget;

// Reads the EAN-13 barcode of a book from a picture: a photo file or a camera frame.
namespace BarcodeImage {
// The thirteen digits of the first EAN-13 barcode found, empty when there is none.
QString readEan13(const QImage &image);
// The same from a file; empty when the file is not a picture or holds no barcode.
QString readEan13(const QString &path);
// Asks for a photo of a barcode: nothing when the user cancels, else its digits (empty when the
// picture holds no barcode).
std::optional<QString> askPhoto(QWidget *parent);
} // namespace BarcodeImage
