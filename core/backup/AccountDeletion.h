#pragma once
// Deleting an account set: its account database file, then its rows in the system database and
// in the mirror system database when one exists.
#include <QString>

class Database;

namespace AccountDeletion {
// Deletes the account database of the set's first SM_Account row (that one file; its folders stay).
// True when the set has no row or the file is gone afterwards; false (logged) when the file could
// not be deleted, for example while another program is writing to it.
bool DelAccFiles(Database& sysDb, const QString& accId);

// Deletes the set's holdings, CreateAcc row, periods, enabled subsystems, log and SM_Account rows,
// in the system database and then in the mirror. Each database changes completely or not at all;
// false (logged) when the system database could not be changed.
bool DelDbInfo(Database& sysDb, const QString& accId);
}
