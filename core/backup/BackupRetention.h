#pragma once
// Which scheduled backups of one set and year to keep: the newest backup of each of the last D
// days, W weeks and M months (one backup may count for several), the others go. A pure function
// of the backups' times and the clock, so the rule can be checked with any dates.
//
// Scheduled backups lie in BACKUPS/<set>-<year>/<yyyyMMdd-HHmmss>/. Retention counts and deletes
// only what the scheduled export itself writes there: a real folder (not a link to one) named by
// such a time, holding exactly the descriptor, the data file and a readable manifest, each a
// regular file, whose descriptor names that set and year. Anything else is left as it is and said
// why, so a folder a person put there, linked in or filed under the wrong set is never deleted.
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace BackupRetention {
struct Backup {
    QString name;     // the folder's name
    QDateTime when;   // the time the name records
};

struct Policy {
    int days = 0;
    int weeks = 0;
    int months = 0;
    // Without any of them nothing is deleted: the backups are kept as they are.
    bool any() const { return days > 0 || weeks > 0 || months > 0; }
};

// An entry of a set's folder that retention leaves alone, and why (a sentence for the user).
struct Skipped {
    QString name;
    QString reason;
};

// The names of the backups to delete. Days are calendar days, weeks ISO weeks (Monday first) and
// months calendar months, counted back from the one holding `now`. A backup later than `now` (a
// clock set back) is kept: the rule cannot tell how old it is.
QStringList toDelete(const QList<Backup>& backups, const QDateTime& now, const Policy& policy);

// The folder name of a backup taken at `when`, and the time a name records (invalid when the
// name is not one).
QString folderName(const QDateTime& when);
QDateTime timeOf(const QString& folderName);

// Why `folder` is not a backup of set `accId`, year `year` as the scheduled export writes it;
// empty when it is one. Links are never followed: a link is not one, wherever it points.
QString whyNotOurs(const QString& folder, const QString& accId, int year);

// The scheduled backups of set `accId`, year `year` in `setFolder` (BACKUPS/<set>-<year>), newest
// first. Every other entry of the folder goes into `skipped`, when given, with its reason.
QList<Backup> scan(const QString& setFolder, const QString& accId, int year, QList<Skipped>* skipped = nullptr);

// What retention does in one set's folder: the backups it deletes, newest first, and the entries
// it leaves alone with their reasons.
struct Plan {
    QStringList remove;
    QList<Skipped> skipped;
};

// The plan for set `accId`, year `year` in `setFolder` at `now`. `adding` names a backup not
// written yet, counted as taken at the time its name records: a dry run plans with the backup its
// run would write, so it names exactly the folders that run deletes.
Plan plan(const QString& setFolder, const QString& accId, int year, const QDateTime& now, const Policy& policy,
          const QString& adding = QString());

// Removes a backup of set `accId`, year `year` written by the scheduled export: its three files,
// then the folder. Checked again first, and removed through the folder itself (never through a
// link put in its place meanwhile); anything that appeared in it keeps the folder. False with the
// reason in `error`.
bool removeBackup(const QString& folder, const QString& accId, int year, QString* error = nullptr);
}
