#pragma once

#include <QIcon>
#include <QStyle>

class QLabel;

// The application style's standard icon, read the first time it is drawn. The style reads every
// size of a standard icon's pictures as soon as the icon is made; for the menus' items and the
// pages not yet shown that was most of the icons' share of start-up, for pictures seldom seen.
QIcon lazyStandardIcon(QStyle::StandardPixmap which);

// Gives label the standard picture of that size when it is first shown; a label of a window or
// page never opened reads nothing. Until then it holds a blank picture of that size.
void showStandardPixmapWhenShown(QLabel *label, QStyle::StandardPixmap which, int size);
