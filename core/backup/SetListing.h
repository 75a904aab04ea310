#pragma once
// The sets and years of an installation with their books' place and size: what `revozi-backup
// list` shows. On a server one round trip whatever the number of sets.
#include <QList>
#include <QString>

class Database;

struct ListedBooks {
    QString accId;
    QString name;
    int year = 0;
    QString books;      // the file's path, or the schema's name
    qint64 bytes = -1;  // -1 when the books are missing
};

namespace SetListing {
// Every set and year of the system database open in `sysDb`, by set and year. Throws DbError.
QList<ListedBooks> read(Database& sysDb);
}
