#pragma once
// Who may read what the programs write: the system database, the books, backup sets and every
// temporary copy are the owner's alone (files 0600, folders 0700), unless the installation root's
// folder is writable by its group, in which case the group shares them (0660, 0770). The rule is
// set once per installation as the process's umask, so every file and folder made afterwards,
// by Qt or by the engine, follows it; copies, which keep their source's mode, are set to it.
#include <QFileDevice>
#include <QString>

namespace FileModes {
// Applies the rule of the installation at `root` (or of the nearest existing folder above it,
// for a root still to be made).
void applyFor(const QString& root);
// Applies the rule of a server installation: it has no root folder whose group could share its
// files, so what a workstation writes of it (backup sets, their folders and temporary copies) is
// the owner's alone, whatever an installation used before in the same process allowed.
void applyForServer();
// Whether the group shares the files under the rule in force.
bool groupShares();
// The mode a new file gets under the rule in force.
QFileDevice::Permissions filePermissions();
// Gives an existing file (a copy) the mode of a new one.
bool restrict(const QString& path);
}
