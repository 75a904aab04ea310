#pragma once
// One run of the console in one value: the installation in use, the system database kept open on
// it, the workstation, the edition, the operator chosen at login and the account set and year
// worked on. The console owns it and hands it to each form it opens; a form reads it and returns
// what it decided, and the console writes the session from that. The login form, which sets the
// session up, is the one form that writes it.
#include <AuditEvents.h>
#include <Database.h>
#include <InstallationPlace.h>
#include <TaskRegistry.h>

#include <QString>

#include <memory>

// The operator chosen at login. A logout leaves it, so the next login preselects it.
struct SessionOperator {
    QString id;
    QString name;
    bool isAdmin = false;
};

// The account set worked on: a supervisor's from the login; the administrator's last one created,
// chosen in the permission browser or exported. A logout leaves it too.
struct SessionAccount {
    QString id;
    QString name;
    QString year;   // four digits, chosen at a supervisor's login
};

struct Session {
    // The root the command line names, ending with a separator; empty when started on a server.
    QString root;
    // The root's files, or the server chosen (on the command line or at login); the system
    // database, when open, is open on it.
    InstallationPlace installation;
    // Opened by the login form each time it loads, kept for the rest of the run.
    std::unique_ptr<Database> sysDb;
    qint16 edition = 0;   // 1 hides the login's server row and selects the tree grant dialog
    QString computerName;
    SessionOperator user;
    SessionAccount account;
    // This console's task of the installation, from a login to the logout: what other workstations
    // see of it, and where the work on a set and year claims its function (HeldClaim).
    std::unique_ptr<TaskRegistry> task;

    // The command line's root, kept with a trailing separator; its files become the installation.
    void setRoot(const QString& commandLineRoot);
    // ROOT/DeZaduzi/: the system database's folder of the root; empty without a root.
    QString systemFolder() const;
    bool onServer() const { return installation.onServer(); }
    // The kept handle, null when the system database is not open.
    Database* db() const { return sysDb.get(); }
    // What the console shows for where it works: the server (host:port/database), or this workstation.
    QString shownServer() const;
    // Who acts, for the audit log: the chosen operator (or `operatorId`) at this workstation.
    AuditContext auditContext() const { return auditContext(user.id); }
    AuditContext auditContext(const QString& operatorId) const;
};
