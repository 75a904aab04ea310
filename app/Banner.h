#pragma once
// The login form's pictures, drawn at the size of their frames, so they stay sharp at any DPI
// and the program ships no image files.
#include <QPixmap>

namespace Banner {
QPixmap loginBanner(const QSize& size);   // the band across the top of the login form
QPixmap sidePicture(const QSize& size);
}
