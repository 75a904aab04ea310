#pragma once
// The programs' window icon: the desktop theme's "revozi" when it has one (an installed package),
// else the copy compiled into the program (":/icons/revozi.png"), so task bars show it either way.
namespace WindowIcon {
void install();
}
