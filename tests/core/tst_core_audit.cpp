// The audit log: each action's row with its key, year and outcome, inside the action's transaction;
// the chain finds edited, removed, copied and slipped-in rows and a cut tail; a set's rows travel
// with its export and come back from an import as its history, apart from this installation's
// chain; an older installation's log is brought up to date; the viewer's queries and its CSV.
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
#include <Installation.h>
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
        PermissionGrant::removeAll(db, acc, 2026, QStringLiteral("lijg"), true, kWho);
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

        // Every row of a set's action names the year, those reaching every year of the set too.
        QCOMPARE(rows(db, QStringLiteral("select distinct coalesce(cast(iYear as text),'none') from SM_Log where cAcc_Id<>''")),
                 QStringList{"2026"});

        // Deletion: the set's rows go with it, its own row stays under the empty key, with the year.
        QCOMPARE(AccountDeletion::deleteSet(db, acc, {}, kWho), AccountDeletion::Result::Deleted);
        QCOMPARE(auditRows(db), (QStringList{"004|ACC_CREATE|失败", "|ACC_DELETE|成功"}));
        QCOMPARE(lastRow(db), QStringLiteral("|2026|chenl|财务-01|kuaiji|ACC_DELETE|成功"));
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
        // Each tampering is made and checked in a transaction that is then rolled back: the first
        // problem found (its row; -1 when the row is gone, -2 when nothing was found) and its text.
        QString said;
        const auto brokenBy = [&](const std::function<void()>& tamper) -> qint64 {
            Database::Transaction t(db);
            tamper();
            const AuditCheck c = AuditChain::check(db);
            said = c.problems.value(0).text;
            return c.summary().startsWith(QStringLiteral("日志已被改动")) ? c.problems.value(0).id : -2;
        };
        const auto broken = [&](const QString& sql, const QVariantList& params = {}) {
            return brokenBy([&] { db.execute(sql, params); });
        };
        const auto contentOf = [&](qint64 id) {
            AuditLog::RowContent c;
            db.forEach(QStringLiteral("select %1 from SM_Log where rowid=?").arg(AuditLog::kContentColumns), {id},
                       [&](const RowView& q) { c = AuditLog::contentAt(q, 0); });
            return c;
        };
        const auto hashOfRow = [&](qint64 id) { return db.scalar(QStringLiteral("select cHash from SM_Log where rowid=?"), {id}).toString(); };
        const auto newest = [&] { return db.scalar(QStringLiteral("select max(rowid) from SM_Log")).toLongLong(); };
        const QString copyRow = QStringLiteral("INSERT INTO SM_Log (%1, cHash) SELECT %1, cHash FROM SM_Log WHERE rowid=?").arg(AuditLog::kContentColumns);

        QCOMPARE(broken(QStringLiteral("UPDATE SM_Log SET cContent='授予[lijg]全部权限' WHERE rowid=?"), {set[1]}), set[1]);
        QCOMPARE(broken(QStringLiteral("UPDATE SM_Log SET cAcc_Id='002' WHERE rowid=?"), {set[2]}), set[2]);
        QCOMPARE(broken(QStringLiteral("DELETE FROM SM_Log WHERE rowid=?"), {sys[1]}), sys[2]);
        // The last row of a key: its head no longer finds it.
        QCOMPARE(broken(QStringLiteral("DELETE FROM SM_Log WHERE rowid=?"), {set[3]}), qint64(-1));
        // The newest rows cut and the head given the hash of the row now last: it still counts them.
        QCOMPARE(brokenBy([&] {
                     db.execute(QStringLiteral("DELETE FROM SM_Log WHERE rowid IN (?,?)"), {set[2], set[3]});
                     db.execute(QStringLiteral("UPDATE SM_LogHead SET cHash=? WHERE cAcc_Id='001'"), {hashOfRow(set[1])});
                 }),
                 qint64(-1));
        QCOMPARE(said, QStringLiteral("账套[001]最后写入的 2 条记录已被删除"));
        // The head taken away with them: the rows left say so, and so do the rows written after.
        QCOMPARE(brokenBy([&] {
                     db.execute(QStringLiteral("DELETE FROM SM_Log WHERE rowid=?"), {set[3]});
                     db.execute(QStringLiteral("DELETE FROM SM_LogHead WHERE cAcc_Id='001'"));
                 }),
                 qint64(-1));
        QCOMPARE(said, QStringLiteral("账套[001]的日志头已被删除"));
        QCOMPARE(brokenBy([&] {
                     db.execute(QStringLiteral("DELETE FROM SM_Log WHERE rowid=?"), {set[3]});
                     db.execute(QStringLiteral("DELETE FROM SM_LogHead WHERE cAcc_Id='001'"));
                     AuditLog::write(db, kWho, Audit::granted(QStringLiteral("001"), 2024, QStringLiteral("lijg"), {}));
                 }),
                 qint64(-1));
        QVERIFY2(said.startsWith(QStringLiteral("账套[001]的日志头已被删除或改动")), qPrintable(said));
        // Slipped in: a copy of a row (its hash included), an exact copy, also of a key's first
        // row, and one without a hash.
        QVERIFY(broken(QStringLiteral("INSERT INTO SM_Log (cAcc_Id,cSub_Id,cUser_Id,dDate,cTime,cAction,cResult,cContent,cPrevHash,cHash) "
                                      "SELECT cAcc_Id,cSub_Id,'wangxy',dDate,cTime,cAction,cResult,cContent,cPrevHash,cHash FROM SM_Log WHERE rowid=?"),
                       {set[1]}) > set[3]);
        for (qint64 copied : {set[1], set[3], sys[0]}) {
            QVERIFY(broken(copyRow, {copied}) > set[3]);
            QCOMPARE(said, QStringLiteral("这条记录与前面的一条记录完全相同，是复制出来的"));
        }
        QVERIFY(broken(QStringLiteral("INSERT INTO SM_Log (cAcc_Id,cSub_Id,cUser_Id,cAction,cResult) VALUES ('','AA','wangxy','LOGIN','成功')")) > set[3]);
        // A row made with the scheme that begins a chain of its own after the key's first row.
        {
            AuditLog::RowContent c = contentOf(sys[1]);
            c.prevHash.clear();
            c.time = QStringLiteral("23:59:59");
            qint64 made = -1;
            const qint64 first = brokenBy([&] {
                         db.execute(QStringLiteral("INSERT INTO SM_Log (%1, cHash) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)").arg(AuditLog::kContentColumns),
                                    {c.accId, QVariant(), c.subId, c.operatorId, c.station, c.osUser, c.date, c.time, c.action, c.result,
                                     c.reason, c.detail, c.prevHash, AuditLog::hashOf(c)});
                made = newest();
            });
            QCOMPARE(first, made);
            QCOMPARE(said, QStringLiteral("这条记录不接在任何记录之后，却不是系统的第一条记录"));
        }
        // An edited row whose own hash was made again breaks at the row after it.
        {
            AuditLog::RowContent c = contentOf(sys[1]);
            c.operatorId = QStringLiteral("wangxy");
            QCOMPARE(broken(QStringLiteral("UPDATE SM_Log SET cUser_Id='wangxy', cHash=? WHERE rowid=?"), {AuditLog::hashOf(c), sys[1]}), sys[2]);
        }
        // A row made to pass for imported history leaves this installation's chain: its successor
        // no longer finds it (the last row: the head no longer counts it).
        QCOMPARE(broken(QStringLiteral("UPDATE SM_Log SET cOrigin='IMPORT' WHERE rowid=?"), {sys[1]}), sys[2]);
        QCOMPARE(broken(QStringLiteral("UPDATE SM_Log SET cOrigin='IMPORT' WHERE rowid=?"), {sys[3]}), qint64(-1));
        // Another module's rows are counted, not checked, whatever they call themselves.
        {
            Database::Transaction t(db);
            db.execute(QStringLiteral("INSERT INTO SM_Log (cAcc_Id,cSub_Id,cUser_Id,dDate,cTime,cAction,cResult,cContent) "
                                      "VALUES ('','GL','wangxy','2024-05-02','10:00:00','ACC_DELETE','成功','删除账套[001]')"));
            const AuditCheck c = AuditChain::check(db);
            QVERIFY(c.intact());
            QCOMPARE(c.foreign, 2);
            QCOMPARE(c.checked, 8);
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

    void exportImport_aSetsRowsComeBackAsItsHistory()
    {
        BackupRoot origin;
        Database& db = origin.db();
        PermissionGrant::save(db, GrantRequest{QStringLiteral("003"), 2026, QStringLiteral("lijg"), {QStringLiteral("GL01")}}, kWho);
        AuditLog::record(db, kWho, Audit::login(QStringLiteral("chenl")));
        // Exported again with the rows written since.
        QVERIFY(exportTo(db, QStringLiteral("003"), origin.backup));
        const QString setLog = QStringLiteral("select cAcc_Id,cAction,cResult,cContent,cHash from SM_Log where cAcc_Id='003' order by rowid");
        const QString marked = QStringLiteral("select coalesce(cOrigin,''),cAcc_Id,cAction from SM_Log order by rowid");
        const QStringList exported = rows(db, setLog);
        QCOMPARE(exported.size(), 2);
        // The backup set changed and sealed again: its log given rows of the whole installation and
        // of another set, in the console's words.
        {
            Database data(origin.backup + QStringLiteral("/kddata.BA_"));
            for (const char* acc : {"", "001"})
                data.execute(QStringLiteral("INSERT INTO SM_Log_Ex (cAcc_Id,iYear,cSub_Id,cUser_Id,dDate,cTime,cAction,cResult,cContent) "
                                            "VALUES (?,2026,'AA','admin','2026-01-02','09:00:00','ACC_DELETE','成功','删除账套[002]')"),
                             {QString::fromLatin1(acc)});
            data.execute(QStringLiteral("INSERT INTO SM_Log_Ex (cSub_Id,cUser_Id,cAction,cResult) VALUES ('AA','admin','LOGIN','成功')"));
        }
        seal(origin.backup);

        // Into another installation: the set's rows alone, whole and marked as its history; the
        // import's own row begins this installation's chain of the set and says what was left out.
        TestRoot other;
        QVERIFY(import(other.db(), origin.lst, other.root()).done());
        QCOMPARE(rows(other.db(), setLog).mid(0, 2), exported);
        QCOMPARE(rows(other.db(), marked), (QStringList{"IMPORT|003|ACC_CREATE", "IMPORT|003|AUTH_GRANT", "|003|ACC_IMPORT"}));
        const QString importRow = rows(other.db(), setLog).last();
        QVERIFY2(importRow.contains(origin.backup) && importRow.contains(QStringLiteral("SM_Log_Ex 3行")), qPrintable(importRow));
        AuditCheck c = AuditChain::check(other.db());
        QVERIFY2(c.intact(), qPrintable(c.summary()));
        QCOMPARE(c.checked, 1);
        QCOMPARE(c.imported, 2);
        // Imported history edited after it came is found too.
        {
            Database::Transaction t(other.db());
            other.db().execute(QStringLiteral("UPDATE SM_Log SET cContent='改' WHERE cAction='AUTH_GRANT'"));
            QCOMPARE(AuditChain::check(other.db()).problems.value(0).text, QStringLiteral("这条引入的记录的内容与校验值不符，已被改动"));
        }

        // On to a third installation: the whole history goes along, as history again.
        const QString second = other.root() + QStringLiteral("/out");
        QVERIFY(exportTo(other.db(), QStringLiteral("003"), second));
        TestRoot third;
        QVERIFY(import(third.db(), second + QStringLiteral("/KdErpAct.Lst"), third.root()).done());
        QCOMPARE(rows(third.db(), marked),
                 (QStringList{"IMPORT|003|ACC_CREATE", "IMPORT|003|AUTH_GRANT", "IMPORT|003|ACC_IMPORT", "|003|ACC_IMPORT"}));
        c = AuditChain::check(third.db());
        QVERIFY2(c.intact() && c.checked == 1 && c.imported == 3, qPrintable(c.summary()));

        // Back where it began, over the set: its rows are there already and stay this installation's;
        // the other installation's import row comes as history.
        QVERIFY(import(db, second + QStringLiteral("/KdErpAct.Lst"), origin.books).done());
        QCOMPARE(rows(db, marked), (QStringList{"|003|ACC_CREATE", "|003|AUTH_GRANT", "||LOGIN", "IMPORT|003|ACC_IMPORT", "|003|ACC_IMPORT"}));
        QVERIFY(AuditChain::check(db).intact());

        // Deleted and imported back over nothing: the set's log returns as history, the deletion stays logged.
        QCOMPARE(AccountDeletion::deleteSet(db, QStringLiteral("003"), {}, kWho), AccountDeletion::Result::Deleted);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Log where cAcc_Id='003'")), 0);
        QVERIFY(QDir().mkpath(origin.folder));
        QVERIFY(import(db, origin.lst, origin.books).done());
        QCOMPARE(rows(db, setLog).mid(0, 2), exported);
        QCOMPARE(rows(db, marked), (QStringList{"||LOGIN", "||ACC_DELETE", "IMPORT|003|ACC_CREATE", "IMPORT|003|AUTH_GRANT", "|003|ACC_IMPORT"}));
        QVERIFY(AuditChain::check(db).intact());
    }

    void upgrade_anOlderLogGainsItsMarksAndCounts()
    {
        TestRoot env;
        Database& db = env.db();
        for (int i = 0; i < 3; ++i) {
            QVERIFY(AuditLog::record(db, kWho, Audit::login(QStringLiteral("admin"))));
            QVERIFY(AuditLog::record(db, kWho, Audit::granted(QStringLiteral("001"), 2024, QStringLiteral("lijg"), {})));
        }
        // An import over set 001 from before imports were told apart: the backup set's rows, a
        // chain of their own, amid the set's rows; the set's next row follows its own.
        QVariantList imported;
        QString prev;
        for (const QString& time : {QStringLiteral("08:00:00"), QStringLiteral("08:00:01")}) {
            AuditLog::RowContent c{QStringLiteral("001"), QStringLiteral("2024"), QStringLiteral("AA"), QStringLiteral("wangxy"),
                                   QStringLiteral("总部"), QStringLiteral("wang"), QStringLiteral("2023-05-01"), time,
                                   Audit::kGrant, QStringLiteral("成功"), QString(), QStringLiteral("授予"), prev};
            prev = AuditLog::hashOf(c);
            db.execute(QStringLiteral("INSERT INTO SM_Log (%1, cHash) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)").arg(AuditLog::kContentColumns),
                       {c.accId, c.year.toInt(), c.subId, c.operatorId, c.station, c.osUser, c.date, c.time, c.action, c.result, c.reason, c.detail,
                        c.prevHash, prev});
            imported << db.scalar(QStringLiteral("select max(rowid) from SM_Log"));
        }
        QVERIFY(AuditLog::record(db, kWho, Audit::granted(QStringLiteral("001"), 2024, QStringLiteral("lijg"), {})));
        // And the newest installation-wide row taken out, its head left as it was.
        db.execute(QStringLiteral("DELETE FROM SM_Log WHERE rowid=(select max(rowid) from SM_Log where cAcc_Id='')"));

        // The installation as it was: no marks, heads with their hash alone. Opened anew, it is
        // brought up to date once.
        db.execute(QStringLiteral("ALTER TABLE SM_Log DROP COLUMN cOrigin"));
        db.execute(QStringLiteral("ALTER TABLE SM_LogHead DROP COLUMN iRows"));
        db.execute(QStringLiteral("ALTER TABLE SM_LogHead DROP COLUMN iLastId"));
        Database older;
        Installation::openSystemDatabase(older, env.place());
        QVERIFY(!AuditLog::upgrade(older));
        QCOMPARE(rows(db, QStringLiteral("select rowid from SM_Log where cOrigin='IMPORT' order by rowid")),
                 (QStringList{imported[0].toString(), imported[1].toString()}));
        const auto lastOwn = [&](const QString& acc) {
            return db.scalar(QStringLiteral("select max(rowid) from SM_Log where cAcc_Id=? and cOrigin is null"), {acc}).toString();
        };
        QCOMPARE(rows(db, QStringLiteral("select cAcc_Id,iRows,iLastId from SM_LogHead order by cAcc_Id")),
                 (QStringList{"|2|" + lastOwn(QString(QLatin1String(""))), "001|4|" + lastOwn(QStringLiteral("001"))}));
        // The row taken out before is still missed; the mixed-in rows are history, checked apart.
        AuditCheck c = AuditChain::check(older);
        QCOMPARE(c.problems.size(), 1);
        QCOMPARE(c.problems[0].text, QStringLiteral("系统最后写入的记录已被删除或替换"));
        QCOMPARE(c.checked, 6);
        QCOMPARE(c.imported, 2);
        // From now on the set's tail is counted.
        QVERIFY(AuditLog::record(older, kWho, Audit::granted(QStringLiteral("001"), 2024, QStringLiteral("lijg"), {})));
        db.execute(QStringLiteral("DELETE FROM SM_Log WHERE rowid=(select max(rowid) from SM_Log)"));
        db.execute(QStringLiteral("UPDATE SM_LogHead SET cHash=(select cHash from SM_Log where rowid=(select max(rowid) from SM_Log "
                                  "where cAcc_Id='001')) WHERE cAcc_Id='001'"));
        QCOMPARE(AuditChain::checkKey(older, QStringLiteral("001")).problems.value(0).text, QStringLiteral("账套[001]最后写入的 1 条记录已被删除"));
    }

    void viewer_filtersNewestFirstAndWritesCsv()
    {
        TestRoot env;
        Database& db = env.db();
        AuditLog::record(db, kWho, Audit::login(QStringLiteral("admin")));
        AuditLog::record(db, kWho, Audit::loginFailed(QStringLiteral("=HYPERLINK(\"x\")"), QStringLiteral("口令无效")));
        AuditLog::record(db, kWho, Audit::granted(QStringLiteral("001"), 2024, QStringLiteral("lijg"), {QStringLiteral("GL01 总账")}));
        db.execute(QStringLiteral("INSERT INTO SM_Log (cAcc_Id,cSub_Id,cUser_Id,dDate,cTime,cContent) VALUES ('001','GL','demo','2020-01-02','08:00:00','记账')"));
        // Another module's row in the console's words.
        db.execute(QStringLiteral("INSERT INTO SM_Log (cAcc_Id,cSub_Id,cUser_Id,dDate,cTime,cAction,cResult,cContent) "
                                  "VALUES ('','FA','wangxy','2020-01-03','08:00:00','ACC_DELETE','成功','删除账套[001]')"));
        AuditQuery q(db);
        AuditFilter all;
        const QVector<qint64> ids = q.ids(all);
        QCOMPARE(ids.size(), 5);
        QCOMPARE(q.rows(ids).first().action, Audit::kGrant);
        QCOMPARE(q.rows(ids).last().detail, QStringLiteral("记账"));
        // Shown by its module and code, with no outcome of the console's; the console's own row by name.
        const auto shown = [](const AuditRow& r) { return QStringList{r.actionText(), r.resultText(), r.checkText(false)}.join(QLatin1Char('|')); };
        QCOMPARE(shown(q.rows(ids).value(3)), QStringLiteral("[FA] ACC_DELETE||其他模块，未校验"));
        QCOMPARE(shown(q.rows(ids).value(4)), QStringLiteral("[GL]||其他模块，未校验"));
        QCOMPARE(shown(q.rows(ids).value(0)), QStringLiteral("授予权限|成功|"));
        AuditFilter f;
        f.result = QStringLiteral("失败");
        QCOMPARE(q.rows(q.ids(f)).value(0).operatorId, QStringLiteral("=HYPERLINK(\"x\")"));
        // An action or outcome of the console is never found among another module's rows.
        f.result = QStringLiteral("成功");
        QCOMPARE(q.ids(f).size(), 2);
        f = {};
        f.action = Audit::kDelete;
        QCOMPARE(q.ids(f).size(), 0);
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
        QCOMPARE(lines.size(), 6);
        QVERIFY2(lines[4].contains(QStringLiteral("\"[FA] ACC_DELETE\",\"\",")) && lines[4].endsWith(QStringLiteral("\"其他模块，未校验\"")),
                 qPrintable(lines[4]));
        // A typed name is text to a spreadsheet, never a formula; the broken row is marked.
        QVERIFY2(lines[2].contains(QStringLiteral("\"'=HYPERLINK(\"\"x\"\")\"")) && lines[2].endsWith(QStringLiteral("\"日志已被改动\"")),
                 qPrintable(lines[2]));
        QVERIFY(!q.exportCsv(ids, dir.filePath(QStringLiteral("无此目录/日志.csv")), {}, &error) && !error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_core_audit)
#include "tst_core_audit.moc"
