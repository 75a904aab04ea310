#include "InstallationRecovery.h"

#include <AccountDeletion.h>
#include <AccountImporter.h>

namespace Installation {
void recoverInterrupted(Database& sysDb)
{
    // Both log what they could not settle and keep their record for the next time.
    AccountDeletion::recover(sysDb);
    AccountImporter::recover(sysDb);
}
}
