// Backups between files and a server installation: the same backup set both ways, the server's
// import and deletion as one transaction, books another session has open left alone, and the
// server's data file trusted only as the engine's full check finds it: keys as the server keeps
// them, columns it cannot keep refused, a faulty file never placed, one state of the books.
#include "BackupFixture.h"
#include "TestEngine.h"
#include "TestFiles.h"

#include <AccountDb.h>
#include <AccountDeletion.h>
#include <BooksTransfer.h>
#include <Checksum.h>
#include <Database.h>
#include <Installation.h>
#include <SysInfo.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <future>
#include <memory>
#include <thread>
#include <unistd.h>

namespace {
const QString kAcc = QStringLiteral("003");
constexpr int kYear = 2026;
const QString kSchema = QStringLiteral("zt003_2026");

// Rows of the books that must come back as they were: text with a quote, a tab, a line end and a
// backslash, Chinese, a real that needs all its digits, bytes, a null, and a table and index of
// the books' own beyond the template.
const QStringList kBookRows = {
    QStringLiteral("INSERT INTO code (i_id,ccode,ccode_name,igrade,bproperty,bend,cmeasure) VALUES (9001,'9901','库存现金',1,1,1,NULL)"),
    QStringLiteral("INSERT INTO code (i_id,ccode,ccode_name,igrade,bproperty,bend) VALUES (9002,'990101','O''Brien\t制表\n换行\\反斜',2,1,1)"),
    QStringLiteral("CREATE TABLE GL_accvouch (i_id INTEGER PRIMARY KEY, ccode TEXT COLLATE NOCASE NOT NULL, md REAL, mc REAL DEFAULT 0, "
                   "cdigest TEXT COLLATE NOCASE, bdata BLOB)"),
    QStringLiteral("CREATE INDEX GL_accvouch_code ON GL_accvouch (ccode, i_id)"),
    QStringLiteral("INSERT INTO GL_accvouch VALUES (1,'9901',1234.5678901234567,0,'收到货款',x'00ff0a5c09')"),
    QStringLiteral("INSERT INTO GL_accvouch VALUES (2,'990101',-0.1,1e300,NULL,NULL)"),
};

// Every row of the books' tables with each value's type, in a fixed order.
QStringList bookRows(Database& books)
{
    QStringList out;
    for (const QString& t : {QStringLiteral("code"), QStringLiteral("AccInformation"), QStringLiteral("GradeDef"), QStringLiteral("GL_accvouch")}) {
        QStringList cols;
        for (Recordset rs = books.query(QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY name"), {t}); !rs.Eof(); rs.MoveNext())
            cols << QStringLiteral("quote(\"%1\")").arg(rs.Fields(0).toString().toLower());
        // Every import writes the set's system identifier into its books.
        QStringList r = rows(books, QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(cols.join(QLatin1Char(',')), t,
            t == QLatin1String("AccInformation") ? QStringLiteral("cName<>'iSystemID'") : QStringLiteral("1")));
        r.sort();
        out << t << r;
    }
    return out;
}

// A table of the books' own, as a server makes it, whose code tells letter case apart ('Apple'
// and 'apple' are two codes) and whose name does not.
const QStringList kServerKeys = {
    QStringLiteral("CREATE TABLE zt003_2026.ext_keys (code TEXT COLLATE \"C\" NOT NULL UNIQUE, name TEXT COLLATE zt003_2026.ci UNIQUE, n BIGINT)"),
    QStringLiteral("INSERT INTO zt003_2026.ext_keys VALUES ('Apple','红苹果',1)"),
    QStringLiteral("INSERT INTO zt003_2026.ext_keys VALUES ('apple','青苹果',2)"),
    QStringLiteral("INSERT INTO zt003_2026.ext_keys VALUES ('_x','Pear',3)"),
};
// Bytewise: the upper letters, the signs between them and the lower ones, then the lower letters.
const QStringList kKeysInOrder = {QStringLiteral("Apple|红苹果|1"), QStringLiteral("_x|Pear|3"), QStringLiteral("apple|青苹果|2")};

// The engine keeps both keys as the server did: the same code again is refused, the code in
// another case is not; the name compares without regard to case.
void keysHold(Database& db)
{
    const auto refused = [&](const QString& sql) {
        try {
            db.execute(sql);
        } catch (const DbError& e) {
            return e.primaryCode() == 19;
        }
        return false;
    };
    QVERIFY(refused(QStringLiteral("INSERT INTO ext_keys VALUES ('apple','别的',4)")));
    QVERIFY(refused(QStringLiteral("INSERT INTO ext_keys VALUES ('pear','PEAR',5)")));
    db.execute(QStringLiteral("INSERT INTO ext_keys VALUES ('APPLE','大苹果',6)"));
    QCOMPARE(count(db, QStringLiteral("SELECT count(*) FROM ext_keys WHERE code=?"), {QStringLiteral("apple")}), 1);
}

// Changes `from` into `to` (as long) in the only page of the index `index` of the data file: an
// entry that no longer matches its row, which only the engine's full check finds.
void damageIndexEntry(const QString& file, const QString& index, const QByteArray& from, const QByteArray& to)
{
    qint64 root = 0, pageSize = 0;
    {
        Database db;
        db.openImmutable(file);
        root = db.scalar(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE type='index' AND name=?"), {index}).toLongLong();
        pageSize = db.scalar(QStringLiteral("PRAGMA page_size")).toLongLong();
    }
    QVERIFY(root > 0);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek((root - 1) * pageSize));
    QByteArray page = f.read(pageSize);
    const qsizetype at = page.indexOf(from);
    QVERIFY(at >= 0 && from.size() == to.size());
    page.replace(at, to.size(), to);
    QVERIFY(f.seek((root - 1) * pageSize));
    QCOMPARE(f.write(page), pageSize);
    f.close();
    Database db;
    db.openImmutable(file);
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA quick_check")).toString(), QStringLiteral("ok"));
    QVERIFY(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString() != QLatin1String("ok"));
}

// What an import or deletion that did not happen must leave: the set's rows and its books.
QStringList serverState(Database& sys)
{
    QStringList out = rows(sys, QStringLiteral("SELECT cAcc_Id,iYear,cAcc_Name,cAcc_Path FROM SM_Account ORDER BY cAcc_Id,iYear"));
    out << rows(sys, QStringLiteral("SELECT cAcc_Id,iYear,cUser_Id,cAuth_Id FROM SM_HoldAuth WHERE cAcc_Id=? ORDER BY 1,2,3,4"), {kAcc});
    // The console's own rows (cSub_Id AA) record the refusals; the set's log is the set's.
    out << rows(sys, QStringLiteral("SELECT count(*) FROM SM_Log WHERE cAcc_Id=? AND cSub_Id<>'AA'"), {kAcc});
    if (sys.schemaExists(kSchema))
        out << rows(sys, QStringLiteral("SELECT i_id,ccode,ccode_name FROM %1.code ORDER BY i_id").arg(kSchema));
    return out;
}

// A server installation holding the set of `files`, imported from its backup set.
struct OnServer : ServerInstall {
    explicit OnServer(BackupRoot& files) { QVERIFY(import(*sys, files.lst).done()); }
};

// Changes a byte in the middle of a file, keeping its size.
void damage(const QString& path)
{
    QByteArray bytes = readAll(path);
    bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x5a);
    writeFile(path, bytes);
}
} // namespace

class TestBackupServer : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        if (!TestEngine::serverMissing().isEmpty())
            QSKIP(qPrintable(TestEngine::serverMissing()));
    }
    void filesToServerAndBack();
    void failedImportChangesNothing();
    void booksOpenElsewhereAreKept();
    void columnsTheFileCannotKeepAreRefused();
    void faultyDataFileIsNeverPlaced();
    void largeTableInOneState();
    void sealedSetsBothWays();
};

void TestBackupServer::filesToServerAndBack()
{
    BackupRoot files(kAcc, kYear, {}, kBookRows);
    ServerInstall server;
    const AccountImporter::Result in = import(*server.sys, files.lst);
    QVERIFY2(in.done(), qPrintable(in.notice.text));
    QVERIFY(server.sys->schemaExists(kSchema));
    QCOMPARE(count(*server.sys, QStringLiteral("SELECT count(*) FROM SM_Account WHERE cAcc_Id=?"), {kAcc}), 1);
    // The books are usable on the server: opened as the console opens them, their rows read.
    {
        const auto books = AccountDb::open(*server.sys, kAcc);
        QCOMPARE(books->scalar(QStringLiteral("SELECT ccode_name FROM code WHERE ccode=?"), {QStringLiteral("9901")}).toString(),
                 QStringLiteral("库存现金"));
        QCOMPARE(books->scalar(QStringLiteral("SELECT count(*) FROM GL_accvouch WHERE ccode=?"), {QStringLiteral("990101")}).toInt(), 1);
        // The transfer tables went with the merge, as from a file installation's import.
        QVERIFY(!books->hasTable(QStringLiteral("SM_Account_Ex")) && !books->hasTable(QStringLiteral("SM_User_Ex")));
    }
    // A table the books gained on the server, with a key that tells 'Apple' from 'apple'.
    for (const QString& s : kServerKeys)
        server.sys->execute(s);

    // The server's backup set is a backup set: imported into files, the books are the same, the
    // key keeps both rows in a data file sound in full, and it holds as it did.
    const QString out = files.root() + QStringLiteral("/fromServer");
    QDir().mkpath(out);
    // Work folders of earlier exports: one of a process that is gone (its copy of the books goes),
    // one of a process still running (it stays).
    QProcess ended;
    ended.start(QStringLiteral("true"));
    QVERIFY(ended.waitForStarted());
    const qint64 gonePid = ended.processId();
    QVERIFY(ended.waitForFinished());
    const QString work = QDir::tempPath() + QStringLiteral("/revozi-export-%1/").arg(::getuid());
    const QString gone = work + QStringLiteral("zt003_2026-%1").arg(gonePid);
    const QString running = work + QStringLiteral("zt003_2026-%1").arg(::getppid());
    QVERIFY(QDir().mkpath(gone) && QDir().mkpath(running));
    writeFile(gone + QStringLiteral("/003_kddata.mdb"), QByteArray(4096, 'b'));
    AccountExporter exporter(*server.sys, kAcc);
    QVERIFY2(exporter.prepare(), qPrintable(exporter.errors().join(QLatin1Char('\n'))));
    QVERIFY(!QFileInfo::exists(gone));
    QVERIFY(QFileInfo(running).isDir());
    QDir(running).removeRecursively();
    QVERIFY(exporter.writeBackupSet(out, true));
    QStringList written = filesIn(out);
    written.sort(Qt::CaseInsensitive);
    QCOMPARE(written, (QStringList{"kddata.BA_", "KdErpAct.Lst", "KdErpAct.sum"}));
    TestRoot other;
    const AccountImporter::Result back = import(other.db(), out + QStringLiteral("/KdErpAct.Lst"), other.root() + QStringLiteral("/books"));
    QVERIFY2(back.done(), qPrintable(back.notice.text));
    Database before(files.live);
    Database after(AccountDb::databasePath(other.root() + QStringLiteral("/books"), kAcc, kYear));
    QCOMPARE(bookRows(after), bookRows(before));
    QCOMPARE(after.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='index' AND name='gl_accvouch_code'")).toInt(), 1);
    QCOMPARE(after.scalar(QStringLiteral("PRAGMA auto_vacuum")).toInt(), 2);
    QCOMPARE(rows(other.db(), QStringLiteral("SELECT cAcc_Id,iYear,cAcc_Name FROM SM_Account")),
             rows(files.db(), QStringLiteral("SELECT cAcc_Id,iYear,cAcc_Name FROM SM_Account")));
    QCOMPARE(count(other.db(), QStringLiteral("SELECT count(*) FROM SM_HoldAuth WHERE cAcc_Id=?"), {kAcc}),
             count(files.db(), QStringLiteral("SELECT count(*) FROM SM_HoldAuth WHERE cAcc_Id=?"), {kAcc}));
    {
        Database file;
        file.openImmutable(out + QStringLiteral("/kddata.BA_"));
        QCOMPARE(file.integrityProblems(), QStringList());
    }
    QCOMPARE(rows(after, QStringLiteral("SELECT code, name, n FROM ext_keys ORDER BY code")), kKeysInOrder);
    keysHold(after);
    // Imported back into the server, the code compares bytewise there too.
    const AccountImporter::Result again = import(*server.sys, out + QStringLiteral("/KdErpAct.Lst"));
    QVERIFY2(again.done(), qPrintable(again.notice.text));
    QCOMPARE(rows(*server.sys, QStringLiteral("SELECT code, name, n FROM zt003_2026.ext_keys ORDER BY code COLLATE \"C\"")), kKeysInOrder);
    keysHold(*AccountDb::open(*server.sys, kAcc));
}

void TestBackupServer::failedImportChangesNothing()
{
    BackupRoot files(kAcc, kYear, {}, kBookRows);
    OnServer server(files);
    Database& sys = *server.sys;
    sys.execute(QStringLiteral("INSERT INTO %1.code (i_id,ccode,ccode_name) VALUES (9,'9999','服务器上的行')").arg(kSchema));
    const QStringList before = serverState(sys);

    // A data file changed after the export: refused before anything is replaced.
    const QString copy = files.root() + QStringLiteral("/damaged");
    copyBackup(files.backup, copy);
    damage(copy + QStringLiteral("/kddata.BA_"));
    AccountImporter::Result r = import(sys, copy + QStringLiteral("/KdErpAct.Lst"));
    QVERIFY(!r.done());
    QVERIFY2(r.notice.text.contains(QStringLiteral("校验值不符")), qPrintable(r.notice.text));
    QCOMPARE(serverState(sys), before);

    // A whole other set's data file, sealed, slipped in between the questions and the restore: only
    // the identity read again from the file being loaded tells.
    {
        const QString late = files.root() + QStringLiteral("/late");
        copyBackup(files.backup, late);
        AccountImporter importer(sys);
        QVERIFY(importer.load(late + QStringLiteral("/KdErpAct.Lst")).isEmpty());
        QVERIFY(importer.keepFolder().isEmpty());
        BackupRoot other(QStringLiteral("004"), kYear, {}, kBookRows);
        writeFile(late + QStringLiteral("/kddata.BA_"), readAll(other.backup + QStringLiteral("/kddata.BA_")));
        seal(late);
        r = AccountImporter::restore(sys, importer.plan());
        QVERIFY(!r.done());
        QVERIFY2(r.notice.text.startsWith(QStringLiteral("引入的数据文件是帐套[004]的数据")), qPrintable(r.notice.text));
        QCOMPARE(serverState(sys), before);
    }

    // A merge the server refuses half way (after the books were replaced): books and rows stay.
    sys.execute(QStringLiteral("CREATE FUNCTION refuse_update() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN RAISE EXCEPTION 'injected'; END$$"));
    sys.execute(QStringLiteral("CREATE TRIGGER refuse_update BEFORE UPDATE ON SM_Account FOR EACH ROW EXECUTE FUNCTION refuse_update()"));
    r = import(sys, files.lst);
    QVERIFY(!r.done());
    QVERIFY2(r.notice.text.contains(QStringLiteral("injected")), qPrintable(r.notice.text));
    QCOMPARE(serverState(sys), before);

    // Without the fault the same import replaces the books.
    sys.execute(QStringLiteral("DROP TRIGGER refuse_update ON SM_Account"));
    QVERIFY(import(sys, files.lst).done());
    QCOMPARE(count(sys, QStringLiteral("SELECT count(*) FROM %1.code WHERE ccode='9999'").arg(kSchema)), 0);
}

void TestBackupServer::booksOpenElsewhereAreKept()
{
    BackupRoot files(kAcc, kYear);
    OnServer server(files);
    Database& sys = *server.sys;
    const QStringList before = serverState(sys);
    {
        // Another session (a workstation) has the books open.
        Database elsewhere;
        elsewhere.openServer(server.conninfo, QString::fromLatin1(Installation::kSystemSchema), false);
        const auto books = AccountDb::open(elsewhere, kAcc);
        const QString station = QStringLiteral("工作站[%1]").arg(SysInfo::computerName().left(63));
        QString why;
        QCOMPARE(AccountDeletion::deleteSet(sys, kAcc, {}, {}, &why), AccountDeletion::Result::BooksKept);
        QVERIFY2(why.contains(station) && why.contains(QStringLiteral("无法删除")), qPrintable(why));
        QCOMPARE(serverState(sys), before);
        const AccountImporter::Result r = import(sys, files.lst);
        QVERIFY(!r.done());
        QVERIFY2(r.notice.text.contains(station) && r.notice.text.contains(QStringLiteral("无法覆盖")), qPrintable(r.notice.text));
        QCOMPARE(serverState(sys), before);
    }
    // Closed there: books and rows go together.
    QString why;
    QCOMPARE(AccountDeletion::deleteSet(sys, kAcc, {}, {}, &why), AccountDeletion::Result::Deleted);
    QVERIFY(!sys.schemaExists(kSchema));
    QCOMPARE(count(sys, QStringLiteral("SELECT count(*) FROM SM_Account WHERE cAcc_Id=?"), {kAcc}), 0);
}

void TestBackupServer::columnsTheFileCannotKeepAreRefused()
{
    // Columns whose values or comparisons the data file would change: the export names the table
    // and the column and writes no backup set.
    BackupRoot files(kAcc, kYear);
    OnServer server(files);
    Database& sys = *server.sys;
    sys.execute(QStringLiteral("CREATE COLLATION zt003_2026.loose (provider = icu, locale = 'und-u-ks-level1', deterministic = false)"));
    const QString out = files.root() + QStringLiteral("/refused");
    QVERIFY(QDir().mkpath(out));
    const QList<QPair<QString, QString>> columns = {{QStringLiteral("amount"), QStringLiteral("NUMERIC(30,10)")},
                                                    {QStringLiteral("day"), QStringLiteral("DATE")},
                                                    {QStringLiteral("flag"), QStringLiteral("BOOLEAN")},
                                                    {QStringLiteral("padded"), QStringLiteral("CHARACTER(8)")},
                                                    {QStringLiteral("loose"), QStringLiteral("TEXT COLLATE zt003_2026.loose")}};
    for (const auto& [column, type] : columns) {
        sys.execute(QStringLiteral("CREATE TABLE zt003_2026.ext_odd (id BIGINT PRIMARY KEY, %1 %2)").arg(column, type));
        AccountExporter exporter(sys, kAcc);
        QVERIFY(!exporter.prepare());
        const QString errors = exporter.errors().join(QLatin1Char('\n'));
        QVERIFY2(errors.contains(QStringLiteral("账套库的表 ext_odd 的列 %1 是").arg(column)) && errors.contains(QStringLiteral("无法原样保存")),
                 qPrintable(errors));
        QVERIFY(!exporter.writeBackupSet(out, true));
        QCOMPARE(filesIn(out), QStringList());
        sys.execute(QStringLiteral("DROP TABLE zt003_2026.ext_odd"));
    }
    // Without it the same books export.
    QVERIFY(exportTo(sys, kAcc, out));
}

void TestBackupServer::faultyDataFileIsNeverPlaced()
{
    // The page writer's file damaged before the export checks it, in a way only the full check
    // sees: the export fails and the backup set already in the folder stays as it was.
    BackupRoot files(kAcc, kYear, {}, kBookRows);
    OnServer server(files);
    Database& sys = *server.sys;
    const QString out = files.root() + QStringLiteral("/fromServer");
    QVERIFY(exportTo(sys, kAcc, out));
    const QStringList before = tree(out);
    const auto unhook = qScopeGuard([] { BooksTransfer::setWrittenHook({}); });
    BooksTransfer::setWrittenHook([](const QString& file) { damageIndexEntry(file, QStringLiteral("gl_accvouch_code"), "990101", "990102"); });
    AccountExporter exporter(sys, kAcc);
    QVERIFY(!exporter.prepare());
    QVERIFY2(exporter.errors().join(QLatin1Char('\n')).contains(QStringLiteral("数据文件未通过完整性检查")), qPrintable(exporter.errors().join(QLatin1Char('\n'))));
    QString why;
    QVERIFY(!exporter.writeBackupSet(out, true, &why));
    QCOMPARE(tree(out), before);
    QVERIFY(!QFileInfo::exists(exporter.workCopyPath()) && !QFileInfo::exists(exporter.preparedCopyPath()));
}

void TestBackupServer::largeTableInOneState()
{
    // A table large enough to come in two ranges over two sessions. Another session locks it
    // before the export starts and, once the export waits for it (its state taken), changes rows
    // of both ranges and commits: the data file holds the state the export took, in both ranges.
    BackupRoot files(kAcc, kYear);
    OnServer server(files);
    Database& sys = *server.sys;
    sys.execute(QStringLiteral("CREATE TABLE zt003_2026.big (id BIGINT PRIMARY KEY, code TEXT COLLATE \"C\", amount DOUBLE PRECISION, "
                               "memo TEXT COLLATE zt003_2026.ci)"));
    sys.execute(QStringLiteral("CREATE INDEX big_code ON zt003_2026.big (code, id)"));
    sys.execute(QStringLiteral("INSERT INTO zt003_2026.big SELECT g, 'C' || (g % 97), g * 0.25, repeat('备注', 30) FROM generate_series(1, 120000) g"));
    QVERIFY(sys.scalar(QStringLiteral("SELECT pg_relation_size('zt003_2026.big')")).toLongLong() >= 16 * 1024 * 1024);
    std::promise<void> lockedPromise;
    std::future<void> locked = lockedPromise.get_future();
    std::atomic<bool> waited{false}, ended{false};
    QString writerError;
    std::thread writer([&] {
        bool told = false;
        try {
            Database other;
            other.openServer(server.conninfo, QString::fromLatin1(Installation::kSystemSchema), false);
            other.execute(QStringLiteral("BEGIN"));
            other.execute(QStringLiteral("LOCK TABLE zt003_2026.big IN ACCESS EXCLUSIVE MODE"));
            lockedPromise.set_value();
            told = true;
            QElapsedTimer t;
            t.start();
            while (!waited && !ended && t.elapsed() < 30000) {
                waited = other.scalar(QStringLiteral("SELECT count(*) FROM pg_locks WHERE NOT granted AND relation='zt003_2026.big'::regclass")).toInt() > 0;
                if (!waited)
                    QThread::msleep(20);
            }
            other.execute(QStringLiteral("INSERT INTO zt003_2026.big VALUES (500000, 'new', 1, NULL)"));
            other.execute(QStringLiteral("UPDATE zt003_2026.big SET amount = -1 WHERE id IN (2, 119999)"));
            other.execute(QStringLiteral("DELETE FROM zt003_2026.big WHERE id IN (3, 119998)"));
            other.execute(QStringLiteral("COMMIT"));
        } catch (const DbError& e) {
            writerError = e.text();
            if (!told)
                lockedPromise.set_value();
        }
    });
    locked.wait();
    const QString out = files.root() + QStringLiteral("/fromServer");
    const bool exported = exportTo(sys, kAcc, out);
    ended = true;
    writer.join();
    QVERIFY2(writerError.isEmpty(), qPrintable(writerError));
    QVERIFY(exported);
    QVERIFY(waited);
    QCOMPARE(count(sys, QStringLiteral("SELECT count(*) FROM zt003_2026.big WHERE id=500000")), 1);
    Database written;
    written.openImmutable(out + QStringLiteral("/kddata.BA_"));
    QCOMPARE(written.integrityProblems(), QStringList());
    QCOMPARE(rows(written, QStringLiteral("SELECT count(*), sum(id), sum(amount), max(id) FROM big")),
             (QStringList{QStringLiteral("120000|7200060000|1800015000|120000")}));
    QCOMPARE(rows(written, QStringLiteral("SELECT id, amount FROM big WHERE id IN (2, 3, 119998, 119999) ORDER BY id")),
             (QStringList{"2|0.5", "3|0.75", "119998|29999.5", "119999|29999.75"}));
    QCOMPARE(count(written, QStringLiteral("SELECT count(*) FROM big INDEXED BY big_code WHERE code = 'C5'")), 120000 / 97 + 1);
    QCOMPARE(count(written, QStringLiteral("SELECT count(*) FROM big INDEXED BY big_code WHERE code = 'c5'")), 0);
}

// A sealed set (compressed and encrypted) from files onto the server and a sealed set of the server
// back into files: the same books; the unsealed copy the server read is gone afterwards, also when
// a changed chunk leaves the server's books and rows as they were. (What each seal does, and a
// wrong passphrase refused before any engine's step, are tst_core_backup's sealed_* tests.)
void TestBackupServer::sealedSetsBothWays()
{
    const bool compress = true;
    const QString passphrase = QStringLiteral("服务器口令 secret");
    BackupRoot files(kAcc, kYear, {}, kBookRows);
    const QString sealedOut = files.root() + QStringLiteral("/sealed");
    QVERIFY(exportSealed(files.db(), kAcc, sealedOut, compress, passphrase));
    ServerInstall server;
    Database& sys = *server.sys;
    const AccountImporter::Result in = importSealed(sys, sealedOut + QStringLiteral("/KdErpAct.Lst"), passphrase);
    QVERIFY2(in.done(), qPrintable(in.notice.text));
    const QString unsealed = QDir::tempPath() + QStringLiteral("/revozi-import-%1").arg(::getuid());
    QCOMPARE(filesIn(unsealed), QStringList());
    QCOMPARE(QFileInfo(unsealed).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());

    sys.execute(QStringLiteral("INSERT INTO %1.code (i_id,ccode,ccode_name) VALUES (9,'9999','服务器上的行')").arg(kSchema));
    const QStringList before = serverState(sys);
    // A byte of the data file changed and the manifest summed again to match it: the seal tells.
    const QString data = sealedOut + QStringLiteral("/kddata.BA_");
    QByteArray bytes = readAll(data);
    bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 1);
    writeFile(data, bytes);
    QByteArray manifest = readAll(sealedOut + QStringLiteral("/KdErpAct.sum"));
    const qsizetype at = manifest.indexOf("XXH3-128=") + 9;
    manifest.replace(at, 32, Checksum::ofFile(data).toLatin1());
    writeFile(sealedOut + QStringLiteral("/KdErpAct.sum"), manifest);
    const AccountImporter::Result damaged = importSealed(sys, sealedOut + QStringLiteral("/KdErpAct.Lst"), passphrase);
    QVERIFY(!damaged.done());
    QCOMPARE(serverState(sys), before);
    QCOMPARE(filesIn(unsealed), QStringList());

    const QString back = files.root() + QStringLiteral("/fromServer");
    QVERIFY(exportSealed(sys, kAcc, back, compress, passphrase));
    TestRoot other;
    const AccountImporter::Result restored =
        importSealed(other.db(), back + QStringLiteral("/KdErpAct.Lst"), passphrase, other.root() + QStringLiteral("/books"));
    QVERIFY2(restored.done(), qPrintable(restored.notice.text));
    Database after(AccountDb::databasePath(other.root() + QStringLiteral("/books"), kAcc, kYear));
    QCOMPARE(after.scalar(QStringLiteral("SELECT ccode_name FROM code WHERE ccode='9999'")).toString(), QStringLiteral("服务器上的行"));
    QCOMPARE(filesHolding(back, passphrase), QStringList());
}

QObject* newServerBackupTests()
{
    return new TestBackupServer;
}

#include "tst_core_backup_server.moc"
