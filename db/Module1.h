#pragma once
// The shared state of a run and the small routines that several forms use.
#include "Session.h"

#include <ErrLog.h>

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace Module1 {
// The run's session, which the console hands to the forms; the names below reach its parts.
Session& shared();
inline QString& gRootPath = shared().root;
inline std::unique_ptr<Database>& gSysDb = shared().sysDb;
inline qint16& gEdition = shared().edition;
inline QString& gComputerName = shared().computerName;
inline QString& gUserId = shared().user.id;
inline QString& gUserName = shared().user.name;
inline bool& gIsAdmin = shared().user.isAdmin;
inline QString& gAccId = shared().account.id;
inline QString& gAccName = shared().account.name;
inline QString& gYear = shared().account.year;

// Back to the state of a program that has just started (tests run many "programs" in one process).
void resetState();

// The installation root from the command line's first comma-separated field.
void setRoot(const QString& root);
// The system database file (matched without regard to case); the path as expected when missing.
QString SysDbPath();
// The installation in use: the root's files, or the server chosen at login.
InstallationPlace SysDbPlace();
// What the console shows for where it works: the server (host:port/database), or this workstation.
QString ServerShown();
// The mirror system database under the system directory; empty when it does not exist.
QString MirrorSysDbPath();

// "[" + id + "]" + name, and the identifier read back from between the first "[" and the first "]".
QString ListEntry(const QString& id, const QString& name);
QString ListEntryId(const QString& entry);
QString ListEntryName(const QString& entry);

void CenterForm(QWidget* form);
QString GetSysDir();
void CloseWindowByName(const QString& name, bool byTitle, bool polite);
// Unloads every form and ends the program.
void UnloadAllForms();
// Ends the program at once (tests replace this to observe it).
void EndProgram(int code = 0);
void setEndProgramHandler(std::function<void(int)> handler);
// Who acts, for the audit log: the logged-in operator (or `operatorId`) at this workstation.
AuditContext auditContext();
AuditContext auditContext(const QString& operatorId);

// The error log of the core, reachable from the forms as Module1::WriteErrLog.
using ::WriteErrLog;
}
