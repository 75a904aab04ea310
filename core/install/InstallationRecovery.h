#pragma once
// The top of the core: what every program does once it has opened an installation, using the work
// of the modules below (here the deletion's and the import's recovery). Nothing below includes it.
class Database;

namespace Installation {
// Finishes or undoes what a crash interrupted in the installation whose system database is open
// in `sysDb`: a deletion of a set and an import. Every program runs it where it opens an
// installation (the console's login, revozi-setup, revozi-backup), before anyone sees the sets.
// Work another program is doing meanwhile is left alone; what cannot be settled now is logged
// and tried again the next time.
void recoverInterrupted(Database& sysDb);
}
