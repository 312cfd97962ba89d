#pragma once

#include <QImage>
#include <QString>

// Pictures of EAN-13 barcodes for the tests, drawn from the published patterns, independent of the reader.
QImage drawEan13(const QString &digits, int module);
// The barcode as a phone would take it: on a larger grey page, turned a little, blurred and noisy.
QImage photographed(const QImage &barcode, qreal angle);
