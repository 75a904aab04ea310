#include "Startup.h"
#include "frmLogin.h"
#include "frmMain.h"

#include <Module1.h>
#include <SingleInstance.h>

namespace {
const char* const kStringResource201 = "0";
}

namespace Startup {
QString rootFromCommandLine(const QString& commandLine)
{
    if (commandLine.trimmed().isEmpty())
        return QString();
    // A command line without a comma is taken whole as the root.
    return commandLine.section(QLatin1Char(','), 0, 0).trimmed();
}

void closeEarlierInstances()
{
    for (const QString& title : {frmMain::kCaption, frmLogin::kCaption})
        if (SingleInstance::windowExists(title))
            Module1::CloseWindowByName(title, true, false);
}

qint16 edition()
{
    const QByteArray env = qgetenv("REVOZI_EDITION");
    const QString text = env.isEmpty() ? QString::fromLatin1(kStringResource201) : QString::fromLatin1(env);
    return qint16(text.trimmed().toInt());
}
}
