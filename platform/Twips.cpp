#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {
double dpiX()
{
    if (auto* s = QGuiApplication::primaryScreen())
        return s->logicalDotsPerInchX();
    return 96.0;
}
double dpiY()
{
    if (auto* s = QGuiApplication::primaryScreen())
        return s->logicalDotsPerInchY();
    return 96.0;
}
} // namespace

namespace Twips {
int toPxX(int twips) { return int(std::lround(twips * dpiX() / 1440.0)); }
int toPxY(int twips) { return int(std::lround(twips * dpiY() / 1440.0)); }
int fromPxX(int px) { return int(std::lround(px * 1440.0 / dpiX())); }
int fromPxY(int px) { return int(std::lround(px * 1440.0 / dpiY())); }
}
