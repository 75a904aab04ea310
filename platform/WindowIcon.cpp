#include "WindowIcon.h"

#include <QApplication>
#include <QIcon>

namespace WindowIcon {
void install()
{
    QIcon compiledIn(QStringLiteral(":/icons/revozi.png"));
    compiledIn.addFile(QStringLiteral(":/icons/revozi-48.png"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("revozi"), compiledIn));
}
}
