#pragma once
// Operators' passwords are kept as Argon2id hashes (libsodium's crypto_pwhash_str), never as the
// text typed. An empty password stays an empty text and matches only an empty entry, as before.
#include <QString>
#include <QVariantList>

class Database;

namespace PasswordHash {
// Every password box takes at most this many characters: what one box accepts, the others do too.
constexpr int kMaxLength = 20;

// The hash to store for `password`; empty for an empty password. Throws DbError when the
// machine cannot spare the memory the hash needs.
QString hash(const QString& password);
// Whether `typed` is the password whose stored form is `stored` (a hash, empty or Null, or the
// plain text of a row not yet converted).
bool verify(const QString& typed, const QString& stored);
// Whether `stored` is a hash made here (and not a password kept in plain text).
bool isHash(const QString& stored);
// Replaces every plain-text cPassword of `table` (SM_User, SM_User_Ex) by its hash, in one
// transaction, wiping the old text from the file; returns the number of rows converted.
int convertTable(Database& db, const QString& table);
// Whether `table` still holds a password in plain text (one cheap query, no row read).
bool hasPlain(Database& db, const QString& table);
// The same question as an expression with its values, for a statement that asks it with others.
QString plainExpression(const QString& table, QVariantList* params);
}
