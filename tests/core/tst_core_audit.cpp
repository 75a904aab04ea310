// The audit log: each action's row with its key and outcome, inside the action's transaction; the
// chain finds edited, removed and slipped-in rows; a set's rows travel with its export and import;
// the viewer's queries and its CSV.
#include "BackupFixture.h"
#include "TestEngine.h"
#include "TestFiles.h"

#include <AccountDb.h>
#include <AccountDeletion.h>
#include <AccountSetCreator.h>
#include <AuditChain.h>
#include <AuditEvents.h>
#include <AuditQuery.h>
#include <Database.h>
#include <PermissionGrant.h>
#include <SubsystemEnabler.h>

#include <QThread>
#include <QtTest>

namespace {
const AuditContext kWho{QStringLiteral("chenl"), QStringLiteral("财务-01"), QStringLiteral("kuaiji")};

// The newest row as "key|year|operator|station|OS user|action|result".
QString lastRow(Database& db)
{
    return rows(db, QStringLiteral("select cAcc_Id,coalesce(cast(iYear as text),''),cUser_Id,cStation,cOsUser,cAction,cResult from SM_Log "
                                   "where cSub_Id='AA' order by rowid desc limit 1")).value(0);
}

// Makes `work` fail at its first write to `table` (an injected failure), runs it, and checks that
// it threw and left the table and everything but its one failed row as they were.
void failsWholly(Database& db, const QString& table, const QString& action, const std::function<void()>& work)
{
    const QStringList before = dumpBesidesLog(db);
    const QStringList logged = auditRows(db);
    TestEngine::refuseWrites(db, table, QStringLiteral("injected"));
    bool threw = false;
    try {
        work();
    } catch (const DbError& e) {
        threw = e.text().contains(QStringLiteral("injected"));
    }
    TestEngine::allowWrites(db, table);
    QVERIFY2(threw, qPrintable(action));
    QCOMPARE(dumpBesidesLog(db), before);
    QCOMPARE(auditRows(db), logged + QStringList{auditRows(db).value(logged.size())});
    QVERIFY2(auditRows(db).last().endsWith(action + QStringLiteral("|失败")), qPrintable(auditRows(db).last()));
}
} // namespace

class tst_core_audit : public QObject {
    Q_OBJECT
private slots:
    void actions_writeTheirRowInTheirTransaction()
    {
        TestRoot env;
        Database& db = env.db();
        const QString acc = QStringLiteral("003"), books = env.root() + QStringLiteral("/books");
        QVERIFY(AccountSetCreator(db).create(TestRoot::setInput(acc, books, QStringLiteral("2026"))).done());
        // Creation through the core with no operator names the machine and its user.
        QCOMPARE(auditRows(db), QStringList{"003|ACC_CREATE|成功"});

        PermissionGrant::save(db, GrantRequest{acc, 2026, QStringLiteral("lijg"), {QStringLiteral("GL01"), QStringLiteral("FA01")}}, kWho);
        QCOMPARE(lastRow(db), QStringLiteral("003|2026|chenl|财务-01|kuaiji|AUTH_GRANT|成功"));
        const QString granted = rows(db, QStringLiteral("select cContent from SM_Log where cAction='AUTH_GRANT'")).value(0);
        QVERIFY2(granted.contains(QStringLiteral("GL01")) && granted.contains(QStringLiteral("FA01")), qPrintable(granted));
        PermissionGrant::setSupervisor(db, acc, 2026, QStringLiteral("lijg"), kWho);
        PermissionGrant::removeAll(db, acc, QStringLiteral("lijg"), true, kWho);
        QCOMPARE(rows(db, QStringLiteral("select cAction,cContent from SM_Log order by rowid desc limit 1")).value(0),
                 QStringLiteral("MASTER_REMOVE|取消[lijg]在账套[003]的账套主管，收回其全部权限：Admin、FA01、GL01"));
        SubsystemEnabler(db, kWho).enable({acc, QStringLiteral("FA"), QDate(2026, 3, 9), QString()});
        SubsystemEnabler(db, kWho).disable(acc, QStringLiteral("FA"));
        AccountSetInput in;
        in.accId = acc;
        in.accName = QStringLiteral("改名");
        in.accPath = books;
        in.year = QStringLiteral("2026");
        QVERIFY(AccountSetCreator(db, kWho).modify(in).done());
        QCOMPARE(auditRows(db).mid(1), (QStringList{"003|AUTH_GRANT|成功", "003|MASTER_SET|成功", "003|MASTER_REMOVE|成功",
                                                    "003|SUB_ENABLE|成功", "003|SUB_DISABLE|成功", "003|ACC_MODIFY|成功"}));

        // A failure anywhere in the action leaves its failed row and nothing else.
        failsWholly(db, QStringLiteral("SM_HoldAuth"), QStringLiteral("AUTH_GRANT"),
                    [&] { PermissionGrant::save(db, GrantRequest{acc, 2026, QStringLiteral("lijg"), {QStringLiteral("GL01")}}, kWho); });
        failsWholly(db, QStringLiteral("SM_Account_sub"), QStringLiteral("SUB_ENABLE"),
                    [&] { SubsystemEnabler(db, kWho).enable({acc, QStringLiteral("FA"), QDate(2026, 3, 9), QString()}); });
        failsWholly(db, QStringLiteral("SM_Account"), QStringLiteral("ACC_MODIFY"), [&] {
            const AccountSetOutcome out = AccountSetCreator(db, kWho).modify(in);
            if (!out.done())
                throw DbError(out.error);
        });
        in.accId = QStringLiteral("004");
        in.master = QStringLiteral("demo");
        in.month = QStringLiteral("1");
        in.templatePath = TestRoot::templatePath();
        failsWholly(db, QStringLiteral("SM_Period"), QStringLiteral("ACC_CREATE"), [&] {
            const AccountSetOutcome out = AccountSetCreator(db, kWho).create(in);
            if (!out.done())
                throw DbError(out.error);
        });
        QVERIFY(db.engine() == Engine::PostgreSQL ? !db.schemaExists(AccountDb::booksSchema(QStringLiteral("004"), 2026))
                                                  : !QFileInfo::exists(books + QStringLiteral("/zt004")));

        // The row is part of the action: when the log refuses it, the action is undone with it.
        TestEngine::refuseInserts(db, QStringLiteral("SM_Log"), QStringLiteral("log full"));
        QVERIFY_THROWS_EXCEPTION(DbError, PermissionGrant::setSupervisor(db, acc, 2026, QStringLiteral("wangxy"), kWho));
        TestEngine::allowInserts(db, QStringLiteral("SM_Log"));
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_HoldAuth where cUser_Id='wangxy'")), 0);

        // Deletion: the set's rows go with it, its own row stays under the empty key.
        QCOMPARE(AccountDeletion::deleteSet(db, acc, {}, kWho), AccountDeletion::Result::Deleted);
        QCOMPARE(auditRows(db), (QStringList{"004|ACC_CREATE|失败", "|ACC_DELETE|成功"}));
        QVERIFY(AuditChain::check(db).intact());
    }

    void chain_findsEditedRemovedAndSlippedInRows()
    {
        TestRoot env;
        Database& db = env.db();
        // A file installation from before the log: its SM_Log has the old columns (a server
        // installation is made with the log's). On both, a module's row that is not chained.
        if (db.engine() == Engine::SQLite) {
            db.execute(QStringLiteral("DROP TABLE SM_Log"));
            db.execute(QStringLiteral("DROP TABLE SM_LogHead"));
            db.execute(QStringLiteral("CREATE TABLE SM_Log (iLog_Id INTEGER, cAcc_Id TEXT, iYear INTEGER, cSub_Id TEXT, cUser_Id TEXT, "
                                      "cStation TEXT, dDate TEXT, cTime TEXT, cContent TEXT)"));
        }
        db.execute(QStringLiteral("INSERT INTO SM_Log (iLog_Id,cAcc_Id,iYear,cSub_Id,cUser_Id,cStation,dDate,cTime,cContent) "
                                  "VALUES (7,'001',2024,'GL','demo','WS','2024-05-01','09:00:00','记账')"));
        for (int i = 0; i < 4; ++i) {
            QVERIFY(AuditLog::record(db, kWho, Audit::login(QStringLiteral("admin"))));
            QVERIFY(AuditLog::record(db, kWho, Audit::granted(QStringLiteral("001"), 2024, QStringLiteral("lijg"), {QStringLiteral("GL01 总账")})));
        }
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Log where cContent='记账'")), 1);
        QCOMPARE(AuditChain::check(db).checked, 8);
        QVERIFY(AuditChain::check(db).intact());
        const auto ids = [&](const QString& acc) {
            QList<qint64> out;
            for (const QString& r : rows(db, QStringLiteral("select rowid from SM_Log where cSub_Id='AA' and cAcc_Id=? order by rowid"), {acc}))
                out << r.toLongLong();
            return out;
        };
        const QList<qint64> sys = ids(QString(QLatin1String(""))), set = ids(QStringLiteral("001"));
        // Each tampering is made and checked in a transaction that is then rolled back.
        // The first row found broken; -2 when nothing was found.
        const auto broken = [&](const QString& sql, const QVariantList& params = {}) -> qint64 {
            Database::Transaction tamper(db);
            db.execute(sql, params);
            const AuditCheck c = AuditChain::check(db);
            return c.summary().startsWith(QStringLiteral("日志已被改动")) ? c.problems.value(0).id : -2;
        };
        QCOMPARE(broken(QStringLiteral("UPDATE SM_Log SET cContent='授予[lijg]全部权限' WHERE rowid=?"), {set[1]}), set[1]);
        QCOMPARE(broken(QStringLiteral("UPDATE SM_Log SET cAcc_Id='002' WHERE rowid=?"), {set[2]}), set[2]);
        QCOMPARE(broken(QStringLiteral("DELETE FROM SM_Log WHERE rowid=?"), {sys[1]}), sys[2]);
        // The last row of a key: its head no longer finds it.
        QCOMPARE(broken(QStringLiteral("DELETE FROM SM_Log WHERE rowid=?"), {set[3]}), qint64(-1));
        // Slipped in: a copy of a row (its hash included), and one without a hash.
        QVERIFY(broken(QStringLiteral("INSERT INTO SM_Log (cAcc_Id,cSub_Id,cUser_Id,dDate,cTime,cAction,cResult,cContent,cPrevHash,cHash) "
                                      "SELECT cAcc_Id,cSub_Id,'wangxy',dDate,cTime,cAction,cResult,cContent,cPrevHash,cHash FROM SM_Log WHERE rowid=?"),
                       {set[1]}) > set[3]);
        QVERIFY(broken(QStringLiteral("INSERT INTO SM_Log (cAcc_Id,cSub_Id,cUser_Id,cAction,cResult) VALUES ('','AA','wangxy','LOGIN','成功')")) > set[3]);
        // An edited row whose own hash was made again breaks at the row after it.
        {
            AuditLog::RowContent c;
            db.forEach(QStringLiteral("select %1 from SM_Log where rowid=?").arg(AuditLog::kContentColumns), {sys[1]},
                       [&](const QSqlQuery& q) { c = AuditLog::contentAt(q, 0); });
            c.operatorId = QStringLiteral("wangxy");
            QCOMPARE(broken(QStringLiteral("UPDATE SM_Log SET cUser_Id='wangxy', cHash=? WHERE rowid=?"), {AuditLog::hashOf(c), sys[1]}), sys[2]);
        }
        QVERIFY(AuditChain::check(db).intact());

        // Two workstations writing at once: the second's row follows the first's, never the head
        // both could have read (a fork would let a row go missing unnoticed).
        {
            Database::Transaction first(db);
            AuditLog::write(db, kWho, Audit::login(QStringLiteral("admin")));
            const QString firstHash = db.scalar(QStringLiteral("select cHash from SM_Log order by rowid desc limit 1")).toString();
            std::unique_ptr<QThread> second(QThread::create([&] {
                Database other;
                other.openLike(db);
                AuditLog::record(other, kWho, Audit::login(QStringLiteral("lijg")));
            }));
            second->start();
            QThread::msleep(300);   // time for the second to reach the head and wait there
            first.commit();
            QVERIFY(second->wait(10000));
            QCOMPARE(rows(db, QStringLiteral("select cUser_Id,cPrevHash from SM_Log order by rowid desc limit 1")).value(0),
                     QStringLiteral("lijg|") + firstHash);
        }
    }

    void exportImport_aSetsRowsTravelWholeAndChained()
    {
        BackupRoot origin;
        Database& db = origin.db();
        PermissionGrant::save(db, GrantRequest{QStringLiteral("003"), 2026, QStringLiteral("lijg"), {QStringLiteral("GL01")}}, kWho);
        AuditLog::record(db, kWho, Audit::login(QStringLiteral("chenl")));
        // Exported again with the rows written since.
        QVERIFY(exportTo(db, QStringLiteral("003"), origin.backup));
        const QString setLog = QStringLiteral("select cAcc_Id,cAction,cResult,cContent,cHash from SM_Log where cAcc_Id='003' order by rowid");
        const QStringList exported = rows(db, setLog);
        QCOMPARE(exported.size(), 2);

        // Into another installation: the set's rows come whole, the import's row is chained after them.
        TestRoot other;
        QVERIFY(import(other.db(), origin.lst, other.root()).done());
        QCOMPARE(rows(other.db(), setLog).mid(0, 2), exported);
        QCOMPARE(auditRows(other.db()).last(), QStringLiteral("003|ACC_IMPORT|成功"));
        QVERIFY(rows(other.db(), setLog).last().contains(origin.backup));
        QVERIFY(AuditChain::check(other.db()).intact());
        // The installation-wide rows stay at home.
        QCOMPARE(count(other.db(), QStringLiteral("select count(*) from SM_Log where cAction='LOGIN'")), 0);

        // Deleted and imported back over nothing: the set's log returns, the deletion stays logged.
        QCOMPARE(AccountDeletion::deleteSet(db, QStringLiteral("003"), {}, kWho), AccountDeletion::Result::Deleted);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Log where cAcc_Id='003'")), 0);
        QVERIFY(QDir().mkpath(origin.folder));
        QVERIFY(import(db, origin.lst).done());
        QCOMPARE(rows(db, setLog).mid(0, 2), exported);
        QCOMPARE(auditRows(db), (QStringList{"|LOGIN|成功", "|ACC_DELETE|成功", "003|ACC_CREATE|成功", "003|AUTH_GRANT|成功", "003|ACC_IMPORT|成功"}));
        QVERIFY(AuditChain::check(db).intact());
    }

    void viewer_filtersNewestFirstAndWritesCsv()
    {
        TestRoot env;
        Database& db = env.db();
        AuditLog::record(db, kWho, Audit::login(QStringLiteral("admin")));
        AuditLog::record(db, kWho, Audit::loginFailed(QStringLiteral("=HYPERLINK(\"x\")"), QStringLiteral("口令无效")));
        AuditLog::record(db, kWho, Audit::granted(QStringLiteral("001"), 2024, QStringLiteral("lijg"), {QStringLiteral("GL01 总账")}));
        db.execute(QStringLiteral("INSERT INTO SM_Log (cAcc_Id,cSub_Id,cUser_Id,dDate,cTime,cContent) VALUES ('001','GL','demo','2020-01-02','08:00:00','记账')"));
        AuditQuery q(db);
        AuditFilter all;
        const QVector<qint64> ids = q.ids(all);
        QCOMPARE(ids.size(), 4);
        QCOMPARE(q.rows(ids).first().action, Audit::kGrant);
        QCOMPARE(q.rows(ids).last().detail, QStringLiteral("记账"));
        AuditFilter f;
        f.result = QStringLiteral("失败");
        QCOMPARE(q.rows(q.ids(f)).value(0).operatorId, QStringLiteral("=HYPERLINK(\"x\")"));
        f = {};
        f.accId = QString(QLatin1String(""));
        f.action = Audit::kLogin;
        QCOMPARE(q.ids(f).size(), 2);
        f = {};
        f.from = QDate(2020, 1, 1);
        f.to = QDate(2020, 1, 31);
        f.operatorId = QStringLiteral("demo");
        QCOMPARE(q.ids(f).size(), 1);
        QCOMPARE(q.operators(QStringLiteral("001")), (QStringList{"chenl", "demo"}));

        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("日志.csv"));
        QString error;
        QVERIFY(q.exportCsv(ids, csv, {ids[1]}, &error));
        const QByteArray bytes = readAll(csv);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF\"日期\","));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 5);
        // A typed name is text to a spreadsheet, never a formula; the broken row is marked.
        QVERIFY2(lines[2].contains(QStringLiteral("\"'=HYPERLINK(\"\"x\"\")\"")) && lines[2].endsWith(QStringLiteral("\"日志已被改动\"")),
                 qPrintable(lines[2]));
        QVERIFY(!q.exportCsv(ids, dir.filePath(QStringLiteral("无此目录/日志.csv")), {}, &error) && !error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_core_audit)
#include "tst_core_audit.moc"
