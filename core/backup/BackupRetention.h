#pragma once
// Which scheduled backups of one set and year to keep: the newest backup of each of the last D
// days, W weeks and M months (one backup may count for several), the others go. A pure function
// of the backups' times and the clock, so the rule can be checked with any dates.
//
// Scheduled backups lie in BACKUPS/<set>-<year>/<yyyyMMdd-HHmmss>/; a folder counts as one only
// when its name is such a time and it holds a backup set with its manifest, so a folder a person
// put there is never counted and never deleted.
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

// The names of the backups to delete. Days are calendar days, weeks ISO weeks (Monday first) and
// months calendar months, counted back from the one holding `now`. A backup later than `now` (a
// clock set back) is kept: the rule cannot tell how old it is.
QStringList toDelete(const QList<Backup>& backups, const QDateTime& now, const Policy& policy);

// The folder name of a backup taken at `when`, and the time a name records (invalid when the
// name is not one).
QString folderName(const QDateTime& when);
QDateTime timeOf(const QString& folderName);

// The scheduled backups in `setFolder` (BACKUPS/<set>-<year>): folders named by a time that hold a
// descriptor, a data file and a readable manifest and nothing else. Newest first.
QList<Backup> scan(const QString& setFolder);

// Removes a backup folder written by the scheduled export: its three files, then the folder,
// only when nothing else is in it (otherwise nothing in it is touched). False with the reason in `error`.
bool removeBackup(const QString& folder, QString* error = nullptr);
}
