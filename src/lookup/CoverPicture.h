#pragma once

#include <QByteArray>

class QLabel;
class QWidget;

// A book's cover as the add and view windows show it: small, beside the ISBN, absent when the
// book has none.
namespace CoverPicture
{

QLabel *makeLabel(QWidget *parent, const QString &objectName);
// Shows the picture scaled into the label's box; hides the label for no (or no readable) picture.
void show(QLabel *label, const QByteArray &picture);

} // namespace CoverPicture
