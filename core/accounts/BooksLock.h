#pragma once
// Who has a set's books open on a server installation. Every session that opens the books of a
// set and year holds a shared advisory lock keyed on their schema for as long as it has them
// open; work that replaces or removes the books (deletion, import) takes the same lock
// exclusively inside its transaction, and is refused, naming the workstation, while another
// session holds them. Sessions name their workstation as the server's application_name.
#include <QString>

class Database;

namespace BooksLock {
// Holds the books of `schema` shared on the server connection `db` until it closes. Throws DbError
// when a deletion or an import has them now.
void share(Database& db, const QString& schema);
// Takes the books of `schema` for the open transaction of `db` (released when it ends). Throws
// DbError with a sentence naming the workstation that has them open; `action` says what was
// refused, in Chinese ("删除", "覆盖"; the message shows it translated).
void claim(Database& db, const QString& schema, const QString& accId, const QString& action);
// The workstations whose sessions hold the books of `schema`, other than `db`'s own.
QStringList holders(Database& db, const QString& schema);
}
