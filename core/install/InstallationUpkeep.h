#pragma once
// What opening an installation keeps up to date, asked in one statement: the tables of wrong
// passwords and of the tasks, the audit log's columns and indexes, books still using the system
// schema's collation (a server), and passwords still kept in plain text. Only what is missing is
// then made, its tables in one message; an installation that lacks nothing costs that one question.
#include <Database.h>

namespace InstallationUpkeep {
struct State {
    bool installed = false;          // the operators' table is there
    bool tablesMissing = false;      // a table or index of the logins or the tasks
    bool logBehind = false;          // a column or index of the audit log
    bool foreignCollations = false;  // books an import filled with the system schema's collation
    bool plainPasswords = false;     // an operator whose password is not yet a hash
};

// The question, and `alsoRead` in the same round trip (the login's operators), whose rows go to
// `read` (empty when the database has no installation). Throws DbError when the database cannot
// answer the question, or a read fails.
State ask(Database& db, const QList<Database::Statement>& alsoRead = {}, QList<Recordset>* read = nullptr);
// Makes what `state` says is missing (the tables in one message, the log's upgrade) and tells
// the log's writer the connection's log is up to date. A failure (a read-only file) is logged
// and left: the login still reads the operators.
void bringUpToDate(Database& db, const State& state);
}
