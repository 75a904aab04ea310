#pragma once
// What the launcher `revozi` does before it hands over to the console: find the person's own
// installation and make it on the first start, saying so.
#include <QApplication>
#include <QString>

namespace Launcher {
// The window system for a box, speaking the console's language (Qt's own button texts too).
struct BoxApplication {
    BoxApplication(int& argc, char** argv);
    QApplication app;
};
// No window system: the terminal's words in the console's language.
struct TextApplication {
    TextApplication(int& argc, char** argv);
    QCoreApplication app;
};

// $XDG_DATA_HOME/revozi, or ~/.local/share/revozi when XDG_DATA_HOME is unset, empty or relative.
QString personalRoot();
// True when ROOT holds a system database.
bool isInstallation(const QString& root);
// A message for the person: on the terminal when there is one, else in a message box (which needs
// a QApplication). `icon` is a vb:: icon.
void say(const QString& text, int icon, bool terminal);
// Makes the installation at ROOT with the setup program, after saying so: on a terminal it says it
// and goes on; in a box the person may decline (then nothing is made). False when declined or
// failed (the reason has been said); true when ROOT is an installation afterwards.
bool makeInstallation(const QString& root, const QString& setupProgram, bool terminal);
}
