#pragma once
// The help menu's two other items: the project's page in the desktop's browser, and the about
// box (name, version and build, the installation in use, the licences of the program and of the
// libraries it carries).
#include <QString>
#include <QUrl>

#include <functional>

namespace About {
// The project's page, as the build records it.
QUrl homepage();
// Opens the project's page; says in a box, with the address, when no browser is configured.
void openHomepage();
using UrlOpener = std::function<bool(const QUrl&)>;
// Replaces QDesktopServices::openUrl (tests); returns the previous opener, empty for the desktop's.
UrlOpener setUrlOpener(UrlOpener opener);

// The about box's text, for `installation` (the root folder, or the server as the console shows it).
QString text(const QString& installation);
void show(const QString& installation);
}
