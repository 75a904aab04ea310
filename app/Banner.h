#pragma once
// The login form's banner pictures, drawn rather than shipped as bitmaps.
#include <QPixmap>

namespace Banner {
QPixmap loginBanner(const QSize& size);   // stands in for bitmap resource 101
QPixmap sidePicture(const QSize& size);
}
