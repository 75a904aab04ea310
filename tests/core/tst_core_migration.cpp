// An installation of files moved onto the server: every row of the system database and of every
// set's books of every year arrives, passwords and the log's chain still hold; a server failure,
// a cancel or a row changed on the files under the copy leave the server database empty. The
// server login's password change, and a books schema that a dump alone restores.
#include "TestEngine.h"
#include "TestRoot.h"

#include <AccountDb.h>
#include <AccountSetCreator.h>
#include <AuditChain.h>
#include <Database.h>
#include <Installation.h>
#include <LoginCheck.h>
#include <Migration.h>
#include <NewYear.h>
#include <OperatorWork.h>
#include <PasswordHash.h>
#include <RoleWork.h>
#include <ServerPassword.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <unistd.h>

namespace {
const AuditContext kWho{QStringLiteral("admin"), QStringLiteral("财务-01"), QStringLiteral("kuaiji")};

// Operators with passwords, a role, a grant, two sets of two years each, wrong passwords: every
// table the move copies holds rows, and the log rows of all that work.
void fill(TestRoot& env)
{
    Database& db = env.db();
    const OperatorInput op{QStringLiteral("zz"), QStringLiteral("新人"), QStringLiteral("pw1"), QStringLiteral("pw1"), QStringLiteral("财务"),
                           QStringLiteral("9"), {}};
    QVERIFY(OperatorWork::add(db, kWho, op, PasswordHash::hash(op.password)).next == AddOutcome::Next::Clear);
    QVERIFY(RoleWork::add(db, kWho, {QStringLiteral("R1"), QStringLiteral("出纳"), QStringLiteral("备注")}, {QStringLiteral("zz")}).next
            == AddOutcome::Next::Clear);
    for (const QString acc : {QStringLiteral("001"), QStringLiteral("002")}) {
        QVERIFY(AccountSetCreator(db).create(TestRoot::setInput(acc, env.root(), QStringLiteral("2025"))).done());
        db.execute(QStringLiteral("INSERT INTO SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) VALUES (?,2025,'zz','GL0101')"), {acc});
        NewYear work(db, kWho);
        QVERIFY(work.make(work.plan(acc, QStringLiteral("demo"))).done());
        auto books = AccountDb::open(db, acc, 2026);
        books->execute(QStringLiteral("INSERT INTO code (i_id,ccode,ccode_name,igrade,bproperty,bend) VALUES (9,'9901','O''Brien\t制表\\反斜',1,1,1)"));
    }
    LoginCheck(db).attempt(QStringLiteral("zz"), QStringLiteral("wrong"), PasswordHash::hash(QStringLiteral("pw1")), 0);
}

// A table's rows as text, sorted: the same on both engines when every value arrived.
QStringList rowsOf(Database& db, const QString& table)
{
    QStringList out;
    Recordset rs = db.query(QStringLiteral("SELECT * FROM %1").arg(table));
    for (; !rs.Eof(); rs.MoveNext()) {
        QStringList row;
        for (int i = 0; i < rs.FieldCount(); ++i)
            if (rs.FieldName(i).toLower() != QLatin1String("rowid"))
                row << rs.FieldName(i).toLower() + QLatin1Char('=') + (rs.Fields(i).isNull() ? QStringLiteral("<null>") : rs.Fields(i).toString());
        row.sort();
        out << row.join(QLatin1Char('|'));
    }
    out.sort();
    return out;
}

// Schemas of the server database beyond what an empty one has.
int schemasIn(const ServerDatabase& sd)
{
    Database db;
    db.openServer(sd.conninfo(), QStringLiteral("public"), false);
    return db.scalar(QStringLiteral("SELECT count(*) FROM pg_namespace WHERE nspname NOT LIKE 'pg\\_%' AND nspname NOT IN ('public','information_schema')")).toInt();
}

QString run(const QString& program, const QStringList& args, const QByteArray& input = {})
{
    QProcess p;
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardError()) + QStringLiteral("(exit %1)").arg(p.exitCode());
}
} // namespace

class tst_core_migration : public QObject {
    Q_OBJECT
private slots:
    void init() { SKIP_WITHOUT_SERVER(Engine::PostgreSQL); }

    void moves_everyRow_passwordsAndChainHold()
    {
        TestRoot env;
        fill(env);
        ServerDatabase sd;
        const MigrationOutcome out = Migration::moveToServer(env.db(), env.root(), ConnInfo(sd.conninfo()), kWho);
        QVERIFY2(out.done(), qPrintable(out.notice.text));
        QCOMPARE(out.books, 4);
        QCOMPARE(Migration::movedTo(env.root()), sd.conninfo());

        Database srv;
        Installation::openServerSystem(srv, ConnInfo(sd.conninfo()));
        for (const QString& table : env.db().tables()) {
            if (table == QLatin1String("SM_MovedTo") || table.startsWith(QLatin1String("SM_Task")))
                continue;
            QStringList files = rowsOf(env.db(), table), server = rowsOf(srv, table);
            if (table == QLatin1String("SM_Log") || table == QLatin1String("SM_LogHead")) {
                // The move's row is the one both logs gained, after the copy.
                QCOMPARE(server.size(), files.size());
                continue;
            }
            QCOMPARE(server, files);
        }
        for (const QString acc : {QStringLiteral("001"), QStringLiteral("002")})
            for (const int year : {2025, 2026}) {
                auto file = AccountDb::open(env.db(), acc, year);
                auto books = AccountDb::open(srv, acc, year);
                for (const QString& table : file->tables())
                    QCOMPARE(rowsOf(*books, table), rowsOf(*file, table));
            }
        // Every operator logs in with its password: zz's own, the others' empty one.
        for (Recordset rs = srv.query(QStringLiteral("SELECT cUser_Id, cPassword, nState FROM SM_User")); !rs.Eof(); rs.MoveNext()) {
            const QString id = rs.Fields(0).toString();
            const QString typed = id == QLatin1String("zz") ? QStringLiteral("pw1") : QString();
            QVERIFY2(LoginCheck(srv).attempt(id, typed, rs.Fields(1).toString(), rs.Fields(2)).ok, qPrintable(id));
        }
        const AuditCheck chain = AuditChain::check(srv);
        QVERIFY2(chain.intact(), qPrintable(chain.summary()));
        QVERIFY2(chain.checked > 5, qPrintable(QString::number(chain.checked)));
        QCOMPARE(srv.scalar(QStringLiteral("SELECT count(*) FROM SM_Log WHERE cAction='INSTALL_MOVE'")).toInt(), 1);
        QCOMPARE(env.db().scalar(QStringLiteral("SELECT count(*) FROM SM_Log WHERE cAction='INSTALL_MOVE'")).toInt(), 1);

        // A second installation is not poured into one that holds an installation.
        TestRoot other;
        const MigrationOutcome again = Migration::moveToServer(other.db(), other.root(), ConnInfo(sd.conninfo()), kWho);
        QCOMPARE(again.status, MigrationOutcome::Status::Refused);
        QVERIFY2(again.notice.text.contains(QStringLiteral("已有一个安装")), qPrintable(again.notice.text));
    }

    // Back to files: every year of every set exported from the server (revozi-backup --server ...
    // export --all) and imported into a new installation of files arrives row for row.
    void backToFiles_throughBackupSets()
    {
        TestRoot env;
        fill(env);
        ServerDatabase sd;
        QVERIFY(Migration::moveToServer(env.db(), env.root(), ConnInfo(sd.conninfo()), kWho).done());
        const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/revozi-backup");
        QTemporaryDir backups;
        QCOMPARE(run(tool, {QStringLiteral("--server"), sd.conninfo(), QStringLiteral("export"), QStringLiteral("--all"), QStringLiteral("--to"),
                            backups.path()}),
                 QString());
        TestRoot back;
        QStringList sets = QDir(backups.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QCOMPARE(sets.size(), 4);
        for (const QString& set : sets) {
            const QDir setDir(QDir(backups.path()).filePath(set));
            const QString when = setDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
            QCOMPARE(run(tool, {back.root(), QStringLiteral("import"), setDir.filePath(when), QStringLiteral("--folder"), back.root(),
                                QStringLiteral("--yes")}),
                     QString());
        }
        for (const QString acc : {QStringLiteral("001"), QStringLiteral("002")})
            for (const int year : {2025, 2026}) {
                auto before = AccountDb::open(env.db(), acc, year);
                auto after = AccountDb::open(back.db(), acc, year);
                QCOMPARE(rowsOf(*after, QStringLiteral("code")), rowsOf(*before, QStringLiteral("code")));
                QCOMPARE(rowsOf(*after, QStringLiteral("GradeDef")), rowsOf(*before, QStringLiteral("GradeDef")));
            }
        QCOMPARE(back.db().scalar(QStringLiteral("SELECT count(*) FROM SM_Account")).toInt(), 4);
    }

    void failures_leaveTheServerEmpty_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("said");
        QTest::newRow("the last table's copy refused") << "trigger" << "注入的故障";
        QTest::newRow("a row changed between copy and compare") << "changed" << "dezaduzi.sm_user";
        QTest::newRow("cancelled amid the books") << "cancel" << "取消";
    }
    void failures_leaveTheServerEmpty()
    {
        QFETCH(QString, how);
        QFETCH(QString, said);
        TestRoot env;
        fill(env);
        const QStringList users = rowsOf(env.db(), QStringLiteral("SM_User"));
        ServerDatabase sd;
        Database admin;
        admin.openServer(sd.conninfo(), QStringLiteral("public"), false);
        // The last books' last table gets a trigger that refuses its rows the moment it is made.
        auto last = AccountDb::open(env.db(), QStringLiteral("002"), 2026);
        const QString lastTable = QStringLiteral("zt002_2026.") + last->tables().constLast().toLower();
        last.reset();
        if (how == QLatin1String("trigger")) {
            admin.execute(QStringLiteral("CREATE FUNCTION public.refuse() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN RAISE EXCEPTION '注入的故障'; END$$"));
            admin.execute(QStringLiteral("CREATE FUNCTION public.arm() RETURNS event_trigger LANGUAGE plpgsql AS $$DECLARE r record; BEGIN "
                                         "FOR r IN SELECT * FROM pg_event_trigger_ddl_commands() WHERE command_tag='CREATE TABLE' AND object_identity='%1' "
                                         "LOOP EXECUTE 'CREATE TRIGGER refuse BEFORE INSERT ON ' || r.object_identity || "
                                         "' FOR EACH STATEMENT EXECUTE FUNCTION public.refuse()'; END LOOP; END$$").arg(lastTable));
            admin.execute(QStringLiteral("CREATE EVENT TRIGGER arm ON ddl_command_end EXECUTE FUNCTION public.arm()"));
        }
        auto cleanup = qScopeGuard([&] {
            Migration::setCompareHook({});
            admin.execute(QStringLiteral("DROP EVENT TRIGGER IF EXISTS arm"));
        });
        if (how == QLatin1String("changed"))
            Migration::setCompareHook([](Database& sysDb) { sysDb.execute(QStringLiteral("UPDATE SM_User SET cUser_Name='改了' WHERE cUser_Id='zz'")); });
        std::atomic<bool> stop{false};
        WorkControl control{{}, &stop};
        const auto progress = [&](const QString& table, qint64, qint64) { stop = stop || (how == QLatin1String("cancel") && table.startsWith(QLatin1String("zt002"))); };
        const MigrationOutcome out = Migration::moveToServer(env.db(), env.root(), ConnInfo(sd.conninfo()), kWho, control, progress);
        QVERIFY(!out.done());
        QVERIFY2(out.notice.text.contains(said), qPrintable(out.notice.text));
        QCOMPARE(schemasIn(sd), 0);
        QCOMPARE(rowsOf(env.db(), QStringLiteral("SM_User")), users);
        QVERIFY(Migration::movedTo(env.root()).isEmpty());
    }

    void serverPassword_sentHashed_pgpassRewritten()
    {
        ServerDatabase sd;
        Database admin;
        admin.openServer(sd.conninfo(), QStringLiteral("public"), false);
        const QString role = QStringLiteral("t_pw_%1").arg(QCoreApplication::applicationPid());
        const QString db = sd.conninfo().mid(7);
        admin.execute(QStringLiteral("DROP ROLE IF EXISTS %1").arg(role));
        admin.execute(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'old-1'").arg(role));
        admin.execute(QStringLiteral("ALTER ROLE %1 SET log_statement = 'all'").arg(role));
        admin.execute(QStringLiteral("GRANT CREATE ON DATABASE %1 TO %2").arg(db, role));
        // The throwaway login alone must give its password; everyone else stays trusted.
        const QString hba = admin.scalar(QStringLiteral("SHOW hba_file")).toString();
        QFile f(hba);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        auto restore = qScopeGuard([&] {
            QFile w(hba);
            if (w.open(QIODevice::WriteOnly))
                w.write(before);
            w.close();
            admin.execute(QStringLiteral("SELECT pg_reload_conf()"));
            QThread::msleep(300);
            admin.execute(QStringLiteral("DROP OWNED BY %1").arg(role));
            admin.execute(QStringLiteral("DROP ROLE %1").arg(role));
        });
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("local all %1 scram-sha-256\n").arg(role).toUtf8() + before);
        f.close();
        admin.execute(QStringLiteral("SELECT pg_reload_conf()"));
        QThread::msleep(300);

        QTemporaryDir home;
        const QString pgpass = home.filePath(QStringLiteral("pgpass"));
        const QByteArray other = "otherhost:5432:*:someone:keep\\:me\n";
        QFile p(pgpass);
        QVERIFY(p.open(QIODevice::WriteOnly));
        // A socket folder other than the default is named as it is (PGHOST), as libpq matches it.
        const QString host = qEnvironmentVariable("PGHOST");
        p.write(other + QStringLiteral("%1:*:%2:%3:old-1\n").arg(host, db, role).toUtf8());
        p.close();
        p.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        qputenv("PGPASSFILE", pgpass.toUtf8());
        auto unset = qScopeGuard([] { qunsetenv("PGPASSFILE"); });
        const ConnInfo asRole(sd.conninfo() + QStringLiteral(" user=") + role);
        Installation::createServer(asRole);
        Database sys;
        Installation::openServerSystem(sys, asRole);

        QFile log(QFileInfo(admin.scalar(QStringLiteral("SHOW data_directory")).toString() + QStringLiteral("/../server.log")).absoluteFilePath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        log.seek(log.size());
        QCOMPARE(ServerPassword::change(sys, QStringLiteral("wrong"), QStringLiteral("new:2"), kWho).status, ServerPasswordOutcome::Status::Refused);
        const ServerPasswordOutcome out = ServerPassword::change(sys, QStringLiteral("old-1"), QStringLiteral("new:2"), kWho);
        QVERIFY2(out.done(), qPrintable(out.notice.text));
        QVERIFY(out.pgpassUpdated);
        QVERIFY(p.open(QIODevice::ReadOnly));
        QCOMPARE(p.readAll(), other + QStringLiteral("%1:*:%2:%3:new\\:2\n").arg(host, db, role).toUtf8());
        p.close();
        QCOMPARE(QFile(pgpass).permissions() & 0x0077, QFileDevice::Permissions());
        Database again;   // the new password, from the rewritten file
        Installation::openServerSystem(again, asRole);
        QCOMPARE(again.scalar(QStringLiteral("SELECT count(*) FROM SM_Log WHERE cAction='SERVER_PASSWORD'")).toInt(), 1);
        qputenv("PGPASSFILE", "/nonexistent");
        Database old;
        QVERIFY_THROWS_EXCEPTION(DbError, old.openServer(asRole.text() + QStringLiteral(" password=old-1"), QStringLiteral("dezaduzi"), false));
        // The server's statement log has the verifier, never the password.
        const QByteArray logged = log.readAll();
        QVERIFY(logged.contains("PASSWORD 'SCRAM-SHA-256$"));
        QVERIFY(!logged.contains("new:2"));
    }

    void booksSchema_dumpRestoresAlone()
    {
        const QString dump = QStandardPaths::findExecutable(QStringLiteral("pg_dump"), {QStringLiteral("/usr/lib/postgresql/15/bin")});
        const QString psql = QStandardPaths::findExecutable(QStringLiteral("psql"), {QStringLiteral("/usr/lib/postgresql/15/bin")});
        if (dump.isEmpty() || psql.isEmpty())
            QSKIP("pg_dump or psql is not installed");
        ServerDatabase sd, empty;
        Installation::createServer(ConnInfo(sd.conninfo()));
        Database sys;
        Installation::openServerSystem(sys, ConnInfo(sd.conninfo()));
        QVERIFY(AccountSetCreator(sys).create(TestRoot::setInput(QStringLiteral("001"), QDir::tempPath(), QStringLiteral("2026"))).done());
        // Books an import filled name the system database's collation; opening gives them their own.
        sys.execute(QStringLiteral("CREATE TABLE zt001_2026.sm_user_ex (cuser_id TEXT COLLATE dezaduzi.ci PRIMARY KEY)"));
        sys.execute(QStringLiteral("INSERT INTO zt001_2026.sm_user_ex VALUES ('Demo')"));
        Database reopened;
        Installation::openServerSystem(reopened, ConnInfo(sd.conninfo()));
        QProcess p;
        p.start(dump, {QStringLiteral("-n"), QStringLiteral("zt001_2026"), sd.conninfo()});
        QVERIFY(p.waitForFinished(60000) && p.exitCode() == 0);
        const QString failed = run(psql, {QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), empty.conninfo()}, p.readAllStandardOutput());
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        Database restored;
        restored.openServer(empty.conninfo(), QStringLiteral("zt001_2026"), false);
        QCOMPARE(restored.scalar(QStringLiteral("SELECT count(*) FROM sm_user_ex WHERE cuser_id='DEMO'")).toInt(), 1);
        QVERIFY(restored.scalar(QStringLiteral("SELECT count(*) FROM AccInformation")).toInt() > 0);
    }
};

QTEST_GUILESS_MAIN(tst_core_migration)
#include "tst_core_migration.moc"
