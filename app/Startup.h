#pragma once
// What the program does before the console shows: end older consoles and login forms,
// read the edition and the installation root.
#include <QString>

namespace Startup {
// The installation root: the command line's first comma-separated field; empty when there is none.
QString rootFromCommandLine(const QString& commandLine);
// Ends earlier copies of the console and of the login form.
void closeEarlierInstances();
// The edition code the program is built with ("0"); REVOZI_EDITION overrides it, so a person can
// try the tree grant dialog without rebuilding.
qint16 edition();
}
