// Round trips to the server: a statement with values is one, its values and rows are what the
// driver would bind and give, its failures keep the server's code; and the work a person waits for
// makes at most so many (at 20 ms from the server each costs 20 ms), so a query per row fails here.
// Runs on the server only (ctest's tst_core_roundtrips_server).
#include "TestEngine.h"
#include "TestRoot.h"

#include <AccountExporter.h>
#include <AccountSetCreator.h>
#include <Database.h>
#include <Installation.h>
#include <InstallationRecovery.h>
#include <LoginCheck.h>
#include <PasswordHash.h>
#include <PermissionGrant.h>
#include <SetListing.h>
#include <TaskNotifier.h>
#include <Tasks.h>

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {
// The round trips `job` makes.
qint64 tripsOf(const std::function<void()>& job)
{
    const qint64 before = Database::roundTrips();
    job();
    return Database::roundTrips() - before;
}

const char* const kColumns = "k INTEGER, i INTEGER, b BIGINT, s SMALLINT, f BOOLEAN, r REAL, d DOUBLE PRECISION, n NUMERIC, x TEXT, y BYTEA, "
                             "dt DATE, tm TIME, ts TIMESTAMP, yi INTEGER, tb TEXT, ti TEXT";

// Rows of every kind of value a caller binds: numbers, truth, text, bytes (a zero among them),
// dates and times, text into an integer column and numbers and truth into text, and nulls.
QList<QVariantList> sampleRows()
{
    const QByteArray bytes("\0\x01\xff'\\", 5);
    return {
        {1, 42, qlonglong(7), 3, true, 1.5, 0.1, 12.25, QStringLiteral("账套 'q' \"?\""), bytes, QDate(2026, 3, 18), QTime(12, 30, 1),
         QDateTime(QDate(2026, 3, 18), QTime(1, 2, 3), Qt::UTC), QStringLiteral("2026"), true, 5},
        {2, -5, qlonglong(-9000000000), -1, false, -0.25, 1e300, -3, QString(""), QByteArray(""), QDate(1999, 12, 31), QTime(0, 0),
         QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59), Qt::UTC), QStringLiteral(" 7 "), false, qlonglong(1) << 40},
        {3, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QString(), QByteArray(), QDate(), QTime(),
         QDateTime(), QVariant(), QVariant(), QVariant()},
    };
}

// The rows of `table` as Qt's driver reads them.
QList<QVariantList> driverRows(const QSqlDatabase& driver, const QString& table)
{
    QList<QVariantList> out;
    QSqlQuery q(driver);
    if (!q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY k").arg(table)))
        qFatal("%s", qPrintable(q.lastError().text()));
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.record().count(); ++i)
            row << q.value(i);
        out << row;
    }
    return out;
}

// A connection of Qt's driver to the same server database, to compare with.
class DriverSession {
public:
    explicit DriverSession(const Database& db)
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), kName);
        c.setConnectOptions(db.conninfo());
        if (!c.open())
            qFatal("%s", qPrintable(c.lastError().text()));
    }
    ~DriverSession() { QSqlDatabase::removeDatabase(kName); }
    QSqlDatabase handle() const { return QSqlDatabase::database(kName); }

private:
    const QString kName = QStringLiteral("compared");
};

// Each value's type, nullness and value, side by side.
void compareRows(const QList<QVariantList>& got, const QList<QVariantList>& expected)
{
    QCOMPARE(got.size(), expected.size());
    for (qsizetype r = 0; r < got.size(); ++r) {
        QCOMPARE(got[r].size(), expected[r].size());
        for (qsizetype c = 0; c < got[r].size(); ++c) {
            const QByteArray where = QByteArray::number(r) + "/" + QByteArray::number(c) + ": " + got[r][c].toString().toUtf8() + " vs "
                                     + expected[r][c].toString().toUtf8();
            QVERIFY2(got[r][c].metaType() == expected[r][c].metaType(), where + " types " + got[r][c].typeName() + "/" + expected[r][c].typeName());
            QVERIFY2(got[r][c].isNull() == expected[r][c].isNull(), where);
            QVERIFY2(got[r][c] == expected[r][c], where);
        }
    }
}
} // namespace

class tst_core_roundtrips : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!TestRoot::onServer() || !TestEngine::serverMissing().isEmpty())
            QSKIP("the round trips are a server's: run as tst_core_roundtrips_server");
    }

    // Values bound in one round trip are stored as the driver's PREPARE/EXECUTE stores them, and
    // rows read in one are the driver's rows: the same type, nullness and value in every column.
    void valuesAsTheDriverGivesThem()
    {
        ScratchDb scratch(Engine::PostgreSQL);
        Database& db = scratch.db();
        db.execute(QStringLiteral("CREATE TABLE ours (%1)").arg(QLatin1String(kColumns)));
        db.execute(QStringLiteral("CREATE TABLE driver (%1)").arg(QLatin1String(kColumns)));
        const QString marks = QStringLiteral("?,").repeated(16).chopped(1);
        const DriverSession driver(db);
        const QString ours = db.schema() + QStringLiteral(".ours");
        const QString driven = db.schema() + QStringLiteral(".driver");
        for (const QVariantList& row : sampleRows()) {
            QCOMPARE(tripsOf([&] { db.execute(QStringLiteral("INSERT INTO ours VALUES (%1)").arg(marks), row); }), 1);
            QCOMPARE(db.rowsAffected(), 1);
            QSqlQuery q(driver.handle());
            QVERIFY(q.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(driven, marks)));
            for (qsizetype i = 0; i < row.size(); ++i)
                q.bindValue(int(i), row[i]);
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        }
        const QList<QVariantList> expected = driverRows(driver.handle(), driven);
        compareRows(driverRows(driver.handle(), ours), expected);

        // Read in one round trip: whole, a row at a time, a single value.
        Recordset rs;
        QCOMPARE(tripsOf([&] { rs = db.query(QStringLiteral("SELECT * FROM driver WHERE k>? ORDER BY k"), {0}); }), 1);
        QList<QVariantList> read;
        for (; !rs.Eof(); rs.MoveNext()) {
            QVariantList row;
            for (int i = 0; i < rs.FieldCount(); ++i)
                row << rs.Fields(i);
            read << row;
        }
        compareRows(read, expected);
        QCOMPARE(rs.FieldName(15), QStringLiteral("ti"));
        read.clear();
        QCOMPARE(tripsOf([&] {
                     db.forEach(QStringLiteral("SELECT * FROM driver WHERE k>? ORDER BY k"), {0}, [&](const RowView& row) {
                         QVariantList values;
                         for (int i = 0; i < 16; ++i)
                             values << row.value(i);
                         read << values;
                     });
                 }),
                 1);
        compareRows(read, expected);
        QVariant n;
        QCOMPARE(tripsOf([&] { n = db.scalar(QStringLiteral("SELECT count(*) FROM driver WHERE x IS NULL AND k=?"), {3}); }), 1);
        QSqlQuery count(driver.handle());
        QVERIFY(count.exec(QStringLiteral("SELECT count(*) FROM %1 WHERE x IS NULL AND k=3").arg(driven)) && count.next());
        compareRows({{n}}, {{count.value(0)}});
        // A statement without values reads as one with them.
        QList<QVariantList> plain;
        for (rs = db.query(QStringLiteral("SELECT * FROM driver ORDER BY k")); !rs.Eof(); rs.MoveNext()) {
            QVariantList row;
            for (int i = 0; i < rs.FieldCount(); ++i)
                row << rs.Fields(i);
            plain << row;
        }
        compareRows(plain, expected);
        // A question mark inside quotes is text, not a value.
        QCOMPARE(db.scalar(QStringLiteral("SELECT '?' || ? || \"x\" FROM driver WHERE k=1"), {QStringLiteral("!")}).toString(),
                 QStringLiteral("?!账套 'q' \"?\""));
    }

    // The server's refusal reaches DbError as from the driver: the same text and SQLSTATE; a row
    // handler that throws leaves the session usable.
    void failuresKeepTheServersCode()
    {
        ScratchDb scratch(Engine::PostgreSQL);
        Database& db = scratch.db();
        db.execute(QStringLiteral("CREATE TABLE u (k INTEGER PRIMARY KEY, t TEXT)"));
        db.execute(QStringLiteral("INSERT INTO u VALUES (?, ?)"), {1, QStringLiteral("a")});
        const auto failure = [&](const QString& sql, const QVariantList& params) {
            try {
                db.execute(sql, params);
            } catch (const DbError& e) {
                return e;
            }
            return DbError(QStringLiteral("not refused"));
        };
        const DbError bound = failure(QStringLiteral("INSERT INTO u VALUES (?, ?)"), {1, QStringLiteral("b")});
        const DbError plain = failure(QStringLiteral("INSERT INTO u VALUES (1, 'b')"), {});
        QCOMPARE(bound.nativeCode(), QStringLiteral("23505"));
        QCOMPARE(bound.text(), plain.text());
        QCOMPARE(bound.primaryCode(), 19);
        TestEngine::refuseInserts(db, QStringLiteral("u"), QStringLiteral("不许写入"));
        const DbError raised = failure(QStringLiteral("INSERT INTO u VALUES (?, ?)"), {2, QStringLiteral("b")});
        QCOMPARE(raised.nativeCode(), QStringLiteral("P0001"));
        QCOMPARE(raised.text(), QStringLiteral("不许写入"));
        QCOMPARE(raised.userText(), failure(QStringLiteral("INSERT INTO u VALUES (2, 'b')"), {}).userText());
        QCOMPARE(failure(QStringLiteral("SELECT k FROM nowhere WHERE k=?"), {1}).nativeCode(), QStringLiteral("42P01"));
        try {
            db.forEach(QStringLiteral("SELECT 1/(3-g) FROM generate_series(1,?) g"), {5}, [](const RowView&) {});
            QFAIL("a division by zero went unsaid");
        } catch (const DbError& e) {
            QCOMPARE(e.nativeCode(), QStringLiteral("22012"));
        }

        int seen = 0;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, db.forEach(QStringLiteral("SELECT g FROM generate_series(1,?) g"), {1000}, [&](const RowView& row) {
            if (++seen == 3)
                throw std::runtime_error("stopped at " + row.value(0).toString().toStdString());
        }));
        QCOMPARE(seen, 3);
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM u WHERE k>=?"), {0}).toInt(), 1);
        // Inside a transaction and a savepoint, as the work writes.
        {
            Database::Transaction t(db);
            db.execute(QStringLiteral("SAVEPOINT s"));
            QVERIFY_THROWS_EXCEPTION(DbError, db.execute(QStringLiteral("INSERT INTO u VALUES (?, ?)"), {1, QStringLiteral("c")}));
            db.execute(QStringLiteral("ROLLBACK TO SAVEPOINT s"));
            TestEngine::allowInserts(db, QStringLiteral("u"));
            db.execute(QStringLiteral("INSERT INTO u VALUES (?, ?)"), {3, QStringLiteral("c")});
            t.commit();
        }
        QCOMPARE(db.scalar(QStringLiteral("SELECT string_agg(t, ',' ORDER BY k) FROM u WHERE k>?"), {0}).toString(), QStringLiteral("a,c"));
    }

    // A session's start is the server's greeting and the query that finds its schema, with no
    // statements of settings; the task notifier's own session is opened on a thread of its own,
    // so the console waits for none of it, and it still hears a change.
    void sessionsStartWithoutStatements()
    {
        TestRoot root;
        Database& sys = root.db();
        Database other;
        QCOMPARE(tripsOf([&] { other.openLike(sys); }), 2);
        QCOMPARE(other.scalar(QStringLiteral("SELECT current_setting('bytea_output') || current_setting('DateStyle') || current_setting('search_path')")).toString(),
                 QStringLiteral("escapeISO, MDY") + sys.schema());
        std::unique_ptr<TaskNotifier> notifier;
        QCOMPARE(tripsOf([&] { notifier = std::make_unique<TaskNotifier>(sys); }), 0);
        QSignalSpy heard(notifier.get(), &TaskNotifier::changed);
        QTRY_VERIFY_WITH_TIMEOUT(heard.count() > 0, 5000);   // listening: the grids are read once more
        heard.clear();
        other.execute(QStringLiteral("SELECT pg_notify(?, ?)"), {Tasks::kChannel, other.schema()});
        QTRY_VERIFY_WITH_TIMEOUT(heard.count() > 0, 5000);
    }

    // What a person waits for on a server installation, in round trips: showing the login form's
    // operators (the core's part of frmLogin's load), checking a login, creating a set, a grant,
    // the start of the set's export and revozi-backup list. Bounds at what the work makes today: a
    // statement per row breaks them.
    void workAPersonWaitsFor()
    {
        TestRoot root;
        Database sys;
        const QString conninfo = root.db().conninfo();
        Database bare;
        const qint64 start = tripsOf([&] { bare.openServer(conninfo, QString::fromLatin1(Installation::kSystemSchema), false); });
        const qint64 shown = tripsOf([&] {
            const Installation::Opened opened = Installation::openSystemDatabase(
                sys, root.place(), false, {{QStringLiteral("select * from sm_user where cUser_Name<>'asuser' order by cUser_Id"), {}}});
            QVERIFY(!opened.plainPasswords);
            Installation::recoverInterrupted(sys);
            QVERIFY(opened.read.value(0).RecordCount() > 0);
        });
        const Recordset admin = sys.query(QStringLiteral("select cPassword, nState from SM_User where cUser_Id=?"), {QStringLiteral("admin")});
        const qint64 login = tripsOf([&] {
            QVERIFY(LoginCheck(sys).attempt(QStringLiteral("admin"), QString(), admin.text(QStringLiteral("cPassword")),
                                            admin.Fields(QStringLiteral("nState")))
                        .ok);
        });
        const qint64 created = tripsOf([&] {
            const AccountSetOutcome out = AccountSetCreator(root.db()).create(TestRoot::setInput(QStringLiteral("005"), root.root(), QStringLiteral("2026")));
            QVERIFY2(out.status == AccountSetOutcome::Status::Done, qPrintable(out.notice.text));
        });
        const QString auth = root.db().scalar(QStringLiteral("select min(cAuth_Id) from SM_Auth where cAuth_Id<>?"), {QStringLiteral("admin")}).toString();
        const qint64 granted = tripsOf([&] {
            PermissionGrant::save(root.db(), GrantRequest{QStringLiteral("005"), 2026, QStringLiteral("demo"), {auth}});
        });
        const qint64 exported = tripsOf([&] {
            AccountExporter exporter(root.db(), QStringLiteral("005"));
            QVERIFY2(exporter.prepare(), qPrintable(exporter.errors().join(QLatin1Char('\n'))));
        });
        // revozi-backup list: its opening, the recovery it runs first and its reading.
        const qint64 listed = tripsOf([&] {
            Database db;
            Installation::openToRead(db, root.place());
            Installation::recoverInterrupted(db);
            const QList<ListedBooks> sets = SetListing::read(db);
            QVERIFY(std::any_of(sets.cbegin(), sets.cend(), [](const ListedBooks& b) { return b.accId == QLatin1String("005") && b.bytes > 0; }));
        });
        qInfo("round trips: login form's data %lld, login %lld, set created %lld, a grant %lld, export prepared %lld, list %lld", shown, login,
              created, granted, exported, listed);
        // The session's start, the upkeep's question with the operators; the wrong passwords' read.
        QVERIFY2(shown <= start + 1, qPrintable(QString::number(shown)));
        QVERIFY2(login <= 1, qPrintable(QString::number(login)));
        QVERIFY2(created <= 19, qPrintable(QString::number(created)));
        QVERIFY2(granted <= 2, qPrintable(QString::number(granted)));
        QVERIFY2(exported <= 25, qPrintable(QString::number(exported)));
        QVERIFY2(listed <= start + 1, qPrintable(QString::number(listed)));
    }
};

QTEST_GUILESS_MAIN(tst_core_roundtrips)
#include "tst_core_roundtrips.moc"
