#pragma once
// Fills tables of a SQLite data file by writing its pages: each table's rows as the leaves of its
// b-tree in rowid order, each of its indexes from its entries sorted in memory, the interior pages
// above them, the pointer map and the header's page count. The engine's own inserts and index
// builds are most of the time a server's export takes; these pages hold the same values, encoded
// as the engine encodes them. The engine makes the file beforehand (every table and index declared,
// the tables written here still empty) and has it closed while the pages are written.
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class Database;

class PageWriter {
public:
    // One value of a row as the source keeps it; text and bytes point into the caller's buffer.
    struct Value {
        enum Type : quint8 { Null, Integer, Real, Text, Bytes };
        Type type = Null;
        qint64 i = 0;
        double r = 0;
        const char* p = nullptr;
        qint64 n = 0;
    };

    struct Index {
        quint32 root = 0;
        QList<int> columns;   // the table's columns in the index's order; -1 the rowid
        QList<bool> nocase;   // the column compares without regard to ASCII case (else bytewise)
        QList<bool> desc;
    };
    // A table as the file declares it.
    struct Table {
        QString name;
        quint32 root = 0;
        QStringList names;            // the columns' names, in lower case
        QByteArray affinity;          // per column: 'I'nteger, 'N'umeric, 'R'eal, 'T'ext, 'B'lob (none)
        QList<Value::Type> source;    // per column: the type of its values that are not null
        int alias = -1;               // the column that is the rowid (INTEGER PRIMARY KEY), or -1
        QList<Index> indexes;
    };

    // The declaration of `table` in the file open in `file`, with `source` the type of each column's
    // values. False, with the reason in `why`, when its rows must go through the engine's inserts:
    // a table without rowid, with triggers, checks, generated columns or autoincrement, an index on
    // an expression, partial or with another collation, or values the column would convert.
    static bool describe(Database& file, const QString& table, const QList<Value::Type>& source, Table* out, QString* why);

    // Opens `path`, a database in UTF-8 that no connection has open. Throws DbError.
    explicit PageWriter(const QString& path);
    ~PageWriter();
    PageWriter(const PageWriter&) = delete;
    PageWriter& operator=(const PageWriter&) = delete;

    // The rows of one table, which must be empty: with a rowid column they come in ascending order
    // of it, otherwise they are numbered as they come. Throws DbError (a row out of order, a value of
    // another type than declared, a failed write). A table with a rowid column can come in `parts`
    // ranges of rowids, each part's rows from a thread of its own (addRow's `part`), every rowid of
    // a part below those of the next; endTable() then runs once all parts are in.
    void beginTable(const Table& table, int parts = 1);
    void addRow(const Value* values, int part = 0);
    void endTable();
    // Writes the indexes, the pointer map and the header. Until it returns the file is not whole.
    void finish();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
