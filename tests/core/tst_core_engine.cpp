// The engine interface, the installation it builds, and names matched without regard to case.
#include "TestEngine.h"
#include "TestRoot.h"

#include <CiFile.h>
#include <FileModes.h>
#include <Database.h>
#include <ConnInfo.h>
#include <Installation.h>
#include <Paths.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class tst_core_engine : public QObject {
    Q_OBJECT
private slots:
    void paths_trailingSeparatorsOfEitherKind()
    {
        QCOMPARE(Paths::withTrailingSep(QStringLiteral("/a/b")), QStringLiteral("/a/b/"));
        QCOMPARE(Paths::withTrailingSep(QStringLiteral("/a/b\\")), QStringLiteral("/a/b/"));
        QCOMPARE(Paths::withTrailingSep(QStringLiteral("/a/b//")), QStringLiteral("/a/b/"));
        QCOMPARE(Paths::join(QStringLiteral("C:\\zt\\"), QStringLiteral("2026")), QStringLiteral("C:/zt/2026"));
        QCOMPARE(Paths::join(QStringLiteral("/r/"), QStringLiteral("/x")), QStringLiteral("/r/x"));
        QCOMPARE(Paths::parentDir(QStringLiteral("/a/b/c.txt")), QStringLiteral("/a/b"));
        QCOMPARE(Paths::fileName(QStringLiteral("/a/b/KdData.mdb")), QStringLiteral("KdData.mdb"));
    }

    void ciFile_matchesNamesWithoutCase()
    {
        QTemporaryDir dir;
        const auto at = [&](const char* name) { return dir.path() + QLatin1Char('/') + QString::fromLatin1(name); };
        auto write = [&](const char* name, const QByteArray& data) {
            QVERIFY(QDir().mkpath(Paths::parentDir(at(name))));
            QFile f(at(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(data);
        };
        write("DeZaduzi/DeZaduzi.mdb", "x");
        QVERIFY(CiFile::isFile(at("dezaduzi/dezaduzi.MDB")));
        QCOMPARE(CiFile::resolve(at("dezaduzi/dezaduzi.MDB")), at("DeZaduzi/DeZaduzi.mdb"));
        // A missing tail is kept as given after the matched part.
        QCOMPARE(CiFile::resolve(at("dezaduzi/new/File")), at("DeZaduzi/new/File"));
        // mkpath reuses the existing folder rather than making a second one that differs in case.
        QVERIFY(CiFile::mkpath(at("DEZADUZI/sub")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QStringLiteral("DeZaduzi")});
        // Hidden and read-only files count.
        write(".Hidden", "");
        QFile::setPermissions(at(".Hidden"), QFileDevice::ReadOwner);
        QVERIFY(CiFile::exists(at(".hidden")));
        QVERIFY(CiFile::remove(at(".HIDDEN")));
        QVERIFY(!QFile::exists(at(".Hidden")));

        // Copying refuses an existing target; renaming replaces it.
        write("a", "new");
        write("B", "old");
        QVERIFY(!CiFile::copy(at("a"), at("b")));
        QVERIFY(CiFile::rename(at("A"), at("b")));
        QFile f(at("B"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("new"));
        QVERIFY(!QFile::exists(at("a")));
        QCOMPARE(CiFile::size(at("b")), 3);
        QCOMPARE(CiFile::size(at("none")), -1);
    }

    void queries_boundValuesTextWithoutCaseAndTheCursor_data() { TestEngine::addRows(); }
    void queries_boundValuesTextWithoutCaseAndTheCursor()
    {
        QFETCH(Engine, engine);
        SKIP_WITHOUT_SERVER(engine);
        ScratchDb scratch(engine);
        Database& db = scratch.db();
        db.execute(QStringLiteral("create table SM_User (cUser_Id %1 primary key, cUser_Name %1, cPassword %1, cDept %1, iAdmin INTEGER)")
                       .arg(db.textColumn()));
        db.execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin) values ('admin','管理员',1),('demo','演示',0)"));
        const QString nasty = QStringLiteral("O'Brien\"; drop table SM_User; --");
        const QString longText = QString(20000, QChar(0x8D26));
        db.execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,cPassword,iAdmin) values (?,?,?,0)"),
                   {QStringLiteral("q1"), nasty, QStringLiteral("  pass ")});
        QCOMPARE(db.rowsAffected(), 1);
        db.execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin) values (?,?,0)"), {QStringLiteral("q2"), longText});
        Recordset q1 = db.query(QStringLiteral("select * from SM_User where cUser_Id=?"), {QStringLiteral("q1")});
        QVERIFY(!q1.Eof());
        QCOMPARE(q1.text(QStringLiteral("CUSER_NAME")), nasty);   // column names in any case
        QCOMPARE(q1.text(QStringLiteral("cPassword")), QStringLiteral("  pass "));
        QVERIFY(q1.isNull(QStringLiteral("cDept")));
        QCOMPARE(db.scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id='q2'")).toString(), longText);
        QCOMPARE(db.scalar(QStringLiteral("select cUser_Id from SM_User where cUser_Name=?"), {QStringLiteral("管理员")}).toString(), QStringLiteral("admin"));

        // Operators type identifiers in any case, so text compares without regard to case:
        // 'ADMIN' finds the administrator, and a key differing only in case is a clash.
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from SM_User where cUser_Id=?"), {QStringLiteral("ADMIN")}).toInt(), 1);
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from SM_User where cUser_Id<>'Admin' and iAdmin=1")).toInt(), 0);
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from SM_User where cUser_Id in ('DEMO','Q1')")).toInt(), 2);
        QVERIFY_THROWS_EXCEPTION(DbError, db.execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin) values ('Admin','x',0)")));
        db.execute(QStringLiteral("update SM_User set cDept=? where cUser_Id in (?,?)"), {QStringLiteral("财务部"), QStringLiteral("DEMO"), QStringLiteral("nobody")});
        QCOMPARE(db.rowsAffected(), 1);
        Recordset rs = db.query(QStringLiteral("select * from SM_User order by cUser_Id"));
        QVERIFY(rs.FindFirst(QStringLiteral("cUser_Id"), QStringLiteral("DEMO")));
        QCOMPARE(rs.text(QStringLiteral("cUser_Id")), QStringLiteral("demo"));
        QCOMPARE(rs.text(QStringLiteral("cDept")), QStringLiteral("财务部"));
        const int pos = rs.AbsolutePosition();
        QVERIFY(!rs.FindFirst(QStringLiteral("cUser_Id"), QStringLiteral("nobody")));
        QVERIFY(rs.NoMatch());
        QCOMPARE(rs.AbsolutePosition(), pos);

        // The cursor: every row once, then last and first.
        const int n = rs.RecordCount();
        QCOMPARE(n, 4);
        int seen = 0;
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
            ++seen;
        QCOMPARE(seen, n);
        rs.MoveLast();
        QVERIFY(!rs.Eof());
        rs.MoveFirst();
        QCOMPARE(rs.AbsolutePosition(), 0);
        Recordset empty = db.query(QStringLiteral("select * from SM_User where 1=0"));
        QVERIFY(empty.Eof());
        QCOMPARE(empty.RecordCount(), 0);
        QVERIFY(empty.Fields(QStringLiteral("cUser_Id")).isNull());
    }

    void transactions_commitOrLeaveNothing_data() { TestEngine::addRows(); }
    void transactions_commitOrLeaveNothing()
    {
        QFETCH(Engine, engine);
        SKIP_WITHOUT_SERVER(engine);
        ScratchDb scratch(engine);
        Database& db = scratch.db();
        db.execute(QStringLiteral("create table SM_Group (cGroup_Id %1 primary key, cGroup_Name %1)").arg(db.textColumn()));
        try {
            db.execute(QStringLiteral("select * from NoSuchTable"));
            QFAIL("no error");
        } catch (const DbError& e) {
            QVERIFY(e.text().contains(QStringLiteral("NoSuchTable"), Qt::CaseInsensitive));
            QVERIFY(e.userText().contains(QStringLiteral("NoSuchTable"), Qt::CaseInsensitive));
            // Our sentence first; the engine's words only as the quoted detail after it.
            QVERIFY2(e.userText().startsWith(QStringLiteral("数据库操作失败（详情：“")) && e.userText().endsWith(QStringLiteral("”）")),
                     qPrintable(e.userText()));
        }
        // Committed work is seen by another session; work left uncommitted, or cut short by a
        // statement the engine refuses half-way (a key differing only in case), leaves nothing.
        const QString groups = QStringLiteral("select count(*) from SM_Group");
        Database other;
        scratch.openAnother(other);
        for (int run = 0; run < 3; ++run) {
            const bool commit = run == 2;
            try {
                Database::Transaction t(db);
                QVERIFY(db.inTransaction());
                db.execute(QStringLiteral("insert into SM_Group (cGroup_Id,cGroup_Name) values (?,?)"), {QStringLiteral("T1"), QStringLiteral("出纳'组")});
                if (run == 1)
                    db.execute(QStringLiteral("insert into SM_Group (cGroup_Id,cGroup_Name) values ('t1','clash')"));
                if (commit)
                    t.commit();
            } catch (const DbError&) {
                QCOMPARE(run, 1);
            }
            QVERIFY(!db.inTransaction());
            QCOMPARE(db.scalar(groups).toInt(), int(commit));
            QCOMPARE(other.scalar(groups).toInt(), int(commit));
        }
        QCOMPARE(other.scalar(QStringLiteral("select cGroup_Name from SM_Group where cGroup_Id='t1'")).toString(), QStringLiteral("出纳'组"));
    }

    // A batch is one round trip on the server and gives each statement's rows; inside a transaction
    // a statement of it that fails takes the whole transaction back, the batch's earlier statements
    // with it, and the session goes on. The server's BEGIN rides with the first statement and the
    // COMMIT with the last: a transaction of two statements costs two round trips, an empty one none.
    void batch_oneRoundTripAndAFailureLeavesNothing_data() { TestEngine::addRows(); }
    void batch_oneRoundTripAndAFailureLeavesNothing()
    {
        QFETCH(Engine, engine);
        SKIP_WITHOUT_SERVER(engine);
        ScratchDb scratch(engine);
        Database& db = scratch.db();
        const qint64 trip = engine == Engine::PostgreSQL ? 1 : 0;
        db.execute(QStringLiteral("create table t (k INTEGER primary key, v %1)").arg(db.textColumn()));
        const QString insert = QStringLiteral("insert into t values (?,?)");
        qint64 before = Database::roundTrips();
        const QList<Recordset> rows = db.batch({{insert, {1, QStringLiteral("a")}},
                                                {insert, {2, QStringLiteral("b")}},
                                                {QStringLiteral("select v from t where k>=? order by k"), {1}},
                                                {QStringLiteral("select count(*) from t where v<>'?'"), {}}});
        QCOMPARE(Database::roundTrips() - before, trip);
        QCOMPARE(rows.size(), 4);
        QVERIFY(rows[0].Eof() && rows[0].FieldCount() == 0);
        QCOMPARE(rows[2].RecordCount(), 2);
        QCOMPARE(rows[2].text(QStringLiteral("V")), QStringLiteral("a"));
        QCOMPARE(rows[3].Fields(0).toInt(), 2);

        Database other;
        scratch.openAnother(other);
        const QString count = QStringLiteral("select count(*) from t");
        try {
            Database::Transaction tx(db);
            db.execute(insert, {3, QStringLiteral("c")});
            db.batch({{insert, {4, QStringLiteral("d")}}, {insert, {5, QStringLiteral("A")}}, {insert, {1, QStringLiteral("clash")}}, {insert, {6, QStringLiteral("f")}}});
            tx.commit();
            QFAIL("a clashing key was accepted");
        } catch (const DbError& e) {
            QCOMPARE(e.userText(), QStringLiteral("数据与已有的记录冲突（重复或不符合约束），未能保存。"));
        }
        QVERIFY(!db.inTransaction());
        QCOMPARE(db.scalar(count).toInt(), 2);
        QCOMPARE(other.scalar(count).toInt(), 2);

        before = Database::roundTrips();
        {
            Database::Transaction tx(db);
            db.execute(insert, {3, QStringLiteral("c")});
            QCOMPARE(db.rowsAffected(), 1);
            tx.commit({{QStringLiteral("update t set v=? where k>=?"), {QStringLiteral("x"), 2}}});
        }
        {
            Database::Transaction tx(db);
            tx.commit();
        }
        {
            Database::Transaction left(db);
        }
        QCOMPARE(Database::roundTrips() - before, 2 * trip);
        QCOMPARE(other.scalar(QStringLiteral("select count(*) from t where v='x'")).toInt(), 2);
    }

    void tables_listedAndFoundInAnyCase_data() { TestEngine::addRows(); }
    void tables_listedAndFoundInAnyCase()
    {
        QFETCH(Engine, engine);
        SKIP_WITHOUT_SERVER(engine);
        ScratchDb scratch(engine);
        ScratchDb elsewhere(engine);   // on a server, another schema of the same database
        Database& db = scratch.db();
        QVERIFY(db.tables().isEmpty());
        for (const char* t : {"GL_accvouch", "code", "AccInformation"})
            db.execute(QStringLiteral("create table %1 (x %2)").arg(QString::fromLatin1(t), db.textColumn()));
        elsewhere.db().execute(QStringLiteral("create table SM_User (x INTEGER)"));
        QStringList names = db.tables();
        for (QString& n : names)
            n = n.toLower();   // the server keeps unquoted names in lower case
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("accinformation"), QStringLiteral("code"), QStringLiteral("gl_accvouch")}));
        QVERIFY(db.hasTable(QStringLiteral("gl_ACCVOUCH")));
        QVERIFY(db.hasTable(QStringLiteral("Code")));
        QVERIFY(!db.hasTable(QStringLiteral("SM_User")));
        QVERIFY(elsewhere.db().hasTable(QStringLiteral("sm_user")));
        QCOMPARE(elsewhere.db().tables().size(), 1);
    }

    // Work over two databases (a set's books and the system database) commits or leaves nothing in
    // either, and the merge's "skip the rows that clash" and "replace the row" rules hold on both.
    void attached_oneTransactionAndTheClashRules_data() { TestEngine::addRows(); }
    void attached_oneTransactionAndTheClashRules()
    {
        QFETCH(Engine, engine);
        SKIP_WITHOUT_SERVER(engine);
        ScratchDb books(engine);
        ScratchDb sys(engine);
        Database& db = books.db();
        db.execute(QStringLiteral("create table code (ccode %1 primary key, cname %1)").arg(db.textColumn()));
        sys.db().execute(QStringLiteral("create table SM_LogHead (cAcc_Id %1 not null primary key, cHash %1)").arg(db.textColumn()));
        db.attach(sys.db().location(), QStringLiteral("sys"));
        const auto heads = [&] { return sys.db().scalar(QStringLiteral("select count(*) from SM_LogHead")).toInt(); };
        try {
            Database::Transaction t(db);
            db.execute(QStringLiteral("insert into main.code (ccode,cname) values (?,?)"), {QStringLiteral("1001"), QStringLiteral("库存现金")});
            db.execute(QStringLiteral("insert into sys.SM_LogHead (cAcc_Id,cHash) values (?,?)"), {QStringLiteral("001"), QStringLiteral("a")});
            db.execute(QStringLiteral("insert into sys.SM_LogHead (cAcc_Id,cHash) values (?,?)"), {QStringLiteral("001"), QStringLiteral("b")});
            t.commit();
            QFAIL("a key twice was accepted");
        } catch (const DbError& e) {
            QCOMPARE(e.primaryCode(), 19);
        }
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from code")).toInt(), 0);
        QCOMPARE(heads(), 0);

        db.execute(QStringLiteral("insert or ignore into sys.SM_LogHead (cAcc_Id,cHash) values (?,?)"), {QStringLiteral("001"), QStringLiteral("a")});
        db.execute(QStringLiteral("INSERT OR IGNORE INTO sys.SM_LogHead (cAcc_Id,cHash) VALUES (?,?);"), {QStringLiteral("001"), QStringLiteral("b")});
        QCOMPARE(sys.db().scalar(QStringLiteral("select cHash from SM_LogHead where cAcc_Id='001'")).toString(), QStringLiteral("a"));
        db.execute(QStringLiteral("INSERT OR REPLACE INTO sys.SM_LogHead (cAcc_Id,cHash) VALUES (?,?)"), {QStringLiteral("001"), QStringLiteral("c")});
        db.execute(QStringLiteral("insert or replace into sys.SM_LogHead (cAcc_Id,cHash) values (?,?)"), {QStringLiteral("002"), QStringLiteral("d")});
        QCOMPARE(sys.db().scalar(QStringLiteral("select cHash from SM_LogHead where cAcc_Id='001'")).toString(), QStringLiteral("c"));
        QCOMPARE(heads(), 2);
        // A value that looks like an alias is data, not a name.
        db.execute(QStringLiteral("insert into code (ccode,cname) values (?,?)"), {QStringLiteral("sys.x"), QStringLiteral("main.y")});
        QCOMPARE(db.scalar(QStringLiteral("select cname from code where ccode='sys.x'")).toString(), QStringLiteral("main.y"));
        db.detach(QStringLiteral("sys"));
        QVERIFY_THROWS_EXCEPTION(DbError, db.execute(QStringLiteral("select count(*) from sys.SM_LogHead")));
    }

    // A connection string is read by the client library once; what is shown, what is connected
    // with and what a workstation remembers all come from that reading.
    void connInfo_readOnceForShowingConnectingAndRemembering()
    {
        const ConnInfo quoted(QStringLiteral(" user=kd password = 'it\\'s secret' host=/nowhere/b dbname='my books' "));
        QVERIFY(quoted.isValid() && quoted.hasPassword());
        QCOMPARE(quoted.value(QStringLiteral("password")), QStringLiteral("it's secret"));
        QCOMPARE(quoted.withoutPassword(), QStringLiteral("host=/nowhere/b dbname='my books' user=kd"));
        QCOMPARE(ConnInfo(quoted.withoutPassword()).value(QStringLiteral("dbname")), QStringLiteral("my books"));
        QCOMPARE(quoted.label(), QStringLiteral("/nowhere/b/my books"));
        // An address is read as its keywords; given up after the console's seconds unless it says otherwise.
        const ConnInfo address(QStringLiteral("postgresql://kd:pw@srv:5433/books"));
        QCOMPARE(address.label(), QStringLiteral("srv:5433/books"));
        QCOMPARE(address.withoutPassword(), QStringLiteral("host=srv port=5433 dbname=books user=kd"));
        QCOMPARE(address.connectString(), address.text());
        QCOMPARE(address.givingUpAfter(10).connectString(), QStringLiteral("host=srv port=5433 dbname=books user=kd password=pw connect_timeout=10"));
        QCOMPARE(ConnInfo(QStringLiteral("dbname=a connect_timeout=3")).givingUpAfter(10).connectString(), QStringLiteral("dbname=a connect_timeout=3"));
        QCOMPARE(ConnInfo(QStringLiteral("service=office")).label(), QStringLiteral("service=office"));
        // What the library cannot read is passed on as typed, so the connection says why, and never remembered.
        const ConnInfo broken(QStringLiteral("host=srv nonsense"));
        QVERIFY(!broken.isValid() && !broken.isEmpty() && !broken.error().isEmpty());
        QCOMPARE(broken.givingUpAfter(10).connectString(), QStringLiteral("host=srv nonsense"));
        QCOMPARE(broken.withoutPassword(), QString());
        QVERIFY(ConnInfo(QStringLiteral("  ")).isEmpty());
    }

    // A server installation is made once per database and opened only where there is one.
    void server_installationMadeOnceAndFoundOnlyWhereItIs()
    {
        SKIP_WITHOUT_SERVER(Engine::PostgreSQL);
        ServerDatabase fresh;
        QVERIFY_THROWS_EXCEPTION(DbError, Installation::openServerSystem(*std::make_unique<Database>(), ConnInfo(fresh.conninfo())));
        Installation::createServer(ConnInfo(fresh.conninfo()));
        Database sys;
        Installation::openSystemDatabase(sys, InstallationPlace::server(ConnInfo(fresh.conninfo())));
        QCOMPARE(sys.engine(), Engine::PostgreSQL);
        QVERIFY(sys.scalar(QStringLiteral("select count(*) from SM_User where cUser_Id='ADMIN'")).toInt() == 1);
        QVERIFY(sys.scalar(QStringLiteral("select count(*) from GL_DPrecode")).toInt() > 100);
        // A working installation has the administrator alone.
        QCOMPARE(sys.scalar(QStringLiteral("select count(*) from SM_User")).toInt(), 1);
        sys.execute(QStringLiteral("update SM_User set cUser_Name=? where cUser_Id='admin'"), {QStringLiteral("留着")});
        try {
            Installation::createServer(ConnInfo(fresh.conninfo()));
            QFAIL("a second installation was made over the first");
        } catch (const DbError& e) {
            QVERIFY(e.userText().contains(QStringLiteral("已有一个安装")));
        }
        QCOMPARE(sys.scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id='admin'")).toString(), QStringLiteral("留着"));
    }

    void server_droppedSessionIsReportedAndKeepsNothing()
    {
        SKIP_WITHOUT_SERVER(Engine::PostgreSQL);
        ScratchDb scratch(Engine::PostgreSQL);
        Database& db = scratch.db();
        db.execute(QStringLiteral("create table t (x INTEGER)"));
        Database admin;
        scratch.openAnother(admin);
        const qint64 pid = db.scalar(QStringLiteral("select pg_backend_pid()")).toLongLong();
        {
            Database::Transaction t(db);
            db.execute(QStringLiteral("insert into t values (1)"));
            // The server ends the session as a restart would, and waits until it is gone.
            QVERIFY(admin.scalar(QStringLiteral("select pg_terminate_backend(?, 5000)"), {pid}).toBool());
            try {
                db.execute(QStringLiteral("insert into t values (2)"));
                t.commit();
                QFAIL("the statement after the session ended succeeded");
            } catch (const DbError& e) {
                QVERIFY2(e.isConnectionLost(), qPrintable(e.nativeCode() + QLatin1Char(' ') + e.text()));
                QVERIFY(e.userText().contains(QStringLiteral("连接已断开")));
            }
        }
        QCOMPARE(admin.scalar(QStringLiteral("select count(*) from t")).toInt(), 0);
        // A server that is not there is reported as such, not as a fault of a statement.
        Database none;
        try {
            none.openServer(QStringLiteral("host=/nonexistent port=1"), QStringLiteral("x"));
            QFAIL("opened a server that does not exist");
        } catch (const DbError& e) {
            QVERIFY2(e.isConnectionLost(), qPrintable(e.text()));
        }
        QVERIFY(!none.isOpen());
    }

    void errors_eachKindOfFailureHasItsOwnChineseSentence()
    {
        TestRoot env;
        QTemporaryDir dir;
        // The engine's English text stays in text() for the error log; userText() is Chinese only.
        auto failure = [](const std::function<void()>& work) -> DbError {
            try {
                work();
            } catch (const DbError& e) {
                return e;
            }
            return DbError(QString());
        };
        auto chineseOnly = [](const DbError& e) {
            return !e.text().isEmpty() && !e.userText().contains(QRegularExpression(QStringLiteral("[A-Za-z]{3}")));
        };
        QVERIFY_THROWS_EXCEPTION(DbError, Database(dir.path() + QStringLiteral("/missing.mdb")));
        // Locked: a second connection holds the system database while it is opened (a lock met by a
        // statement is checked where creating an account set meets one).
        {
            Database holder(env.sysDbPath());
            holder.execute(QStringLiteral("BEGIN EXCLUSIVE"));
            holder.execute(QStringLiteral("update SM_User set cDept='x' where cUser_Id='demo'"));
            const DbError e = failure([&] {
                Database other;
                other.open(env.sysDbPath());
            });
            QVERIFY2(e.isLocked(), qPrintable(e.text()));
            QCOMPARE(e.userText(), QStringLiteral("数据库已被其他程序锁定，请稍后再试。"));
            QVERIFY2(chineseOnly(e), qPrintable(e.userText()));
        }
        // Read-only: a file opened only to be read refuses a write.
        const DbError readOnly = failure([&] {
            Database ro;
            ro.openImmutable(env.sysDbPath());
            ro.execute(QStringLiteral("update SM_User set cDept='x'"));
        });
        QCOMPARE(readOnly.userText(), QStringLiteral("数据库文件是只读的，无法写入，请检查文件的权限。"));
        // Full: the database may grow no further, as on a full disk.
        const DbError full = failure([&] {
            Database db(dir.path() + QStringLiteral("/full.mdb"), true);
            db.execute(QStringLiteral("create table t (x TEXT)"));
            db.execute(QStringLiteral("PRAGMA max_page_count=3"));
            db.execute(QStringLiteral("insert into t values (hex(randomblob(20000)))"));
        });
        QCOMPARE(full.userText(), QStringLiteral("磁盘已满，数据无法写入，请腾出磁盘空间后再试。"));
        // Not a database: refused when opened, not later.
        QFile junk(dir.path() + QStringLiteral("/junk.mdb"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        const DbError notDb = failure([&] { Database db(junk.fileName()); });
        QCOMPARE(notDb.userText(), QStringLiteral("该文件不是数据库文件，或已损坏。"));
        // An I/O error, as the engine reports it (extended code SQLITE_IOERR_WRITE).
        const DbError io(QStringLiteral("disk I/O error"), QStringLiteral("778"));
        QCOMPARE(io.userText(), QStringLiteral("读写磁盘时出错（输入/输出错误），请检查磁盘。"));
        for (const DbError& e : {readOnly, full, notDb, io})
            QVERIFY2(chineseOnly(e), qPrintable(e.userText()));
    }

    void files_privateUnlessTheRootsFolderIsGroupWritable()
    {
        QTemporaryDir dir;
        auto mode = [](const QString& path) { return QFileInfo(path).permissions() & 0x7077; };   // owner, group, others
        for (bool group : {false, true}) {
            const QString root = dir.path() + (group ? QStringLiteral("/shared") : QStringLiteral("/own"));
            QVERIFY(QDir().mkpath(root));
            QVERIFY(QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                    | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                                    | QFileDevice::ExeOther | (group ? QFileDevice::WriteGroup : QFileDevice::Permissions())));
            Installation::createRoot(root);
            QVERIFY(CiFile::mkpath(root + QStringLiteral("/zt001/2026")));
            // A copy (of the template, say) gets the mode of a new file, whatever its source's.
            const QString copy = root + QStringLiteral("/zt001/2026/KdData.mdb");
            QVERIFY(CiFile::copy(TestRoot::templatePath(), copy));
            const auto file = QFileDevice::ReadOwner | QFileDevice::WriteOwner | (group ? QFileDevice::ReadGroup | QFileDevice::WriteGroup : QFileDevice::Permissions());
            const auto folder = file | QFileDevice::ExeOwner | (group ? QFileDevice::ExeGroup : QFileDevice::Permissions());
            for (const QString& f : {Installation::sysDbPath(root), copy})
                QCOMPARE(mode(f), file);
            for (const QString& d : {root + QStringLiteral("/DeZaduzi"), root + QStringLiteral("/zt001"), root + QStringLiteral("/zt001/2026")})
                QCOMPARE(mode(d), folder);
        }
        FileModes::applyFor(dir.path());   // back to the owner-only rule of the other tests
    }

    void installation_shipsRealDataCopiesAndIsNeverOverwritten()
    {
        TestRoot env;
        Database& db = env.db();
        // The shipped schema declares its keys without regard to case.
        QVERIFY_THROWS_EXCEPTION(DbError, db.execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin) values ('Admin','x',0)")));
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from sm_initialgroup where cGroup_id='DATA-MANAGER'")).toInt(), 1);
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from SM_Group where cGroup_Id='DATA-MANAGER'")).toInt(), 1);
        // Every visible module has a permission tree whose identifiers begin with its code.
        Recordset subs = db.query(QStringLiteral("select cSub_Id from SM_SubSys where IsVisible and cSub_Id<>'AA'"));
        QVERIFY(subs.RecordCount() >= 4);
        for (; !subs.Eof(); subs.MoveNext()) {
            const QString sub = subs.text(QStringLiteral("cSub_Id"));
            QVERIFY2(db.scalar(QStringLiteral("select count(*) from SM_Auth where cSupAuth_Id=? and iGrade=1"), {sub}).toInt() > 0, qPrintable(sub));
            QCOMPARE(db.scalar(QStringLiteral("select count(*) from SM_Auth where cSub_Id=? and substr(cAuth_Id,1,2)<>? COLLATE NOCASE"), {sub, sub}).toInt(), 0);
        }
        // The preset charts, one per industry, as published.
        auto chart = [&](const QString& trade) {
            return db.scalar(QStringLiteral("select count(*) from GL_DPrecode p join GL_BTrade t on p.itrade_id=t.itrade_id where t.ctrade_name=?"), {trade}).toInt();
        };
        QCOMPARE(chart(QStringLiteral("2007年新会计准则")), 216);
        QCOMPARE(chart(QStringLiteral("小企业会计准则")), 66);
        QCOMPARE(chart(QStringLiteral("企业会计制度")), 85);
        // Codes stay texts: no numeric affinity.
        QCOMPARE(db.scalar(QStringLiteral("select typeof(ccode) from GL_DPrecode limit 1")).toString(), QStringLiteral("text"));
        QVERIFY(!db.hasTable(QStringLiteral("CreateAcc")));

        // A working installation has the administrator alone, with the empty password the login
        // form announces; only a demonstration gets the sample operators (empty passwords too).
        QTemporaryDir dir;
        for (const bool demo : {false, true}) {
            const QString root = dir.path() + (demo ? QStringLiteral("/demo") : QStringLiteral("/plain"));
            Installation::createRoot(root, demo);
            Database made(Installation::sysDbPath(root));
            QCOMPARE(made.scalar(QStringLiteral("select count(*) from SM_User")).toInt(), demo ? 7 : 1);
            QCOMPARE(made.scalar(QStringLiteral("select group_concat(cUser_Id||'|'||coalesce(cPassword,'')) from SM_User where iAdmin<>0")).toString(),
                     QStringLiteral("admin|"));
        }

        // An existing root is never overwritten, with or without a trailing separator.
        QVERIFY_THROWS_EXCEPTION(DbError, Installation::createRoot(env.root()));
        QVERIFY_THROWS_EXCEPTION(DbError, Installation::createRoot(env.root() + QLatin1Char('/')));
        QVERIFY(CiFile::isFile(env.sysDbPath()));
    }
};

QTEST_GUILESS_MAIN(tst_core_engine)
#include "tst_core_engine.moc"
