#pragma once

#include <QIcon>
#include <QPixmap>

// The program's picture: a shelf of books above an open book.
namespace ProgramPicture {
// As the about window shows it, 142 × 199 pixels.
QPixmap aboutPicture();
// The window icon of every window.
QIcon windowIcon();
} // namespace ProgramPicture
