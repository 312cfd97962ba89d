#pragma once

#include <QString>

class QWidget;

// The one open-file dialog for library databases, shared by the connection and registration windows.
namespace DatabaseFileDialog
{
QString filter();
// The chosen file; after a cancel the file chosen the last time (empty if none ever was).
QString choose(QWidget *parent);
} // namespace DatabaseFileDialog
