// Backups between files and a server installation: the same backup set both ways, the server's
// import and deletion as one transaction, and books another session has open left alone.
#include "BackupFixture.h"
#include "TestEngine.h"
#include "TestFiles.h"

#include <AccountDb.h>
#include <AccountDeletion.h>
#include <BooksTransfer.h>
#include <Database.h>
#include <Installation.h>
#include <SysInfo.h>

#include <QProcess>
#include <QtTest>

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
    void largeTableInOneState();
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

    // The server's backup set is a backup set: imported into files, the books are the same.
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
}

void TestBackupServer::failedImportChangesNothing()
{
    BackupRoot files(kAcc, kYear, {}, kBookRows);
    ServerInstall server;
    Database& sys = *server.sys;
    QVERIFY(import(sys, files.lst).done());
    sys.execute(QStringLiteral("INSERT INTO %1.code (i_id,ccode,ccode_name) VALUES (9,'9999','服务器上的行')").arg(kSchema));
    const QStringList before = serverState(sys);

    // A data file changed after the export: refused before anything is replaced.
    const QString copy = files.root() + QStringLiteral("/damaged");
    QDir().mkpath(copy);
    for (const QString& f : filesIn(files.backup))
        QVERIFY(QFile::copy(files.backup + QLatin1Char('/') + f, copy + QLatin1Char('/') + f));
    damage(copy + QStringLiteral("/kddata.BA_"));
    AccountImporter::Result r = import(sys, copy + QStringLiteral("/KdErpAct.Lst"));
    QVERIFY(!r.done());
    QVERIFY2(r.notice.text.contains(QStringLiteral("校验值不符")), qPrintable(r.notice.text));
    QCOMPARE(serverState(sys), before);

    // A whole other set's data file, sealed, slipped in between the questions and the restore: only
    // the identity read again from the file being loaded tells.
    {
        const QString late = files.root() + QStringLiteral("/late");
        QDir().mkpath(late);
        for (const QString& f : filesIn(files.backup))
            QVERIFY(QFile::copy(files.backup + QLatin1Char('/') + f, late + QLatin1Char('/') + f));
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
    ServerInstall server;
    Database& sys = *server.sys;
    QVERIFY(import(sys, files.lst).done());
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

void TestBackupServer::largeTableInOneState()
{
    // A table large enough to come in two ranges over two sessions, changed by a third session
    // after the export's state was taken: the data file holds that state in both ranges.
    ScratchDb scratch(Engine::PostgreSQL);
    Database& db = scratch.db();
    db.execute(QStringLiteral("CREATE TABLE big (id BIGINT PRIMARY KEY, code TEXT, amount DOUBLE PRECISION, memo TEXT)"));
    db.execute(QStringLiteral("CREATE INDEX big_code ON big (code, id)"));
    db.execute(QStringLiteral("INSERT INTO big SELECT g, 'C' || (g % 97), g * 0.25, repeat('备注', 30) FROM generate_series(1, 120000) g"));
    QVERIFY(db.scalar(QStringLiteral("SELECT pg_relation_size('big')")).toLongLong() >= 16 * 1024 * 1024);
    db.execute(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ"));
    QCOMPARE(count(db, QStringLiteral("SELECT count(*) FROM big")), 120000);
    {
        Database other;
        scratch.openAnother(other);
        other.execute(QStringLiteral("INSERT INTO big VALUES (500000, 'new', 1, NULL)"));
        other.execute(QStringLiteral("UPDATE big SET amount = -1 WHERE id IN (2, 119999)"));
        other.execute(QStringLiteral("DELETE FROM big WHERE id IN (3, 119998)"));
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("data.db"));
    BooksTransfer::toFile(db, {{db.schema(), QStringLiteral("big")}}, file);
    db.execute(QStringLiteral("ROLLBACK"));
    Database written(file);
    QCOMPARE(written.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    QCOMPARE(rows(written, QStringLiteral("SELECT count(*), sum(id), sum(amount), max(id) FROM big")),
             (QStringList{QStringLiteral("120000|7200060000|1800015000|120000")}));
    QCOMPARE(rows(written, QStringLiteral("SELECT id, amount FROM big WHERE id IN (2, 3, 119998, 119999) ORDER BY id")),
             (QStringList{"2|0.5", "3|0.75", "119998|29999.5", "119999|29999.75"}));
    QCOMPARE(count(written, QStringLiteral("SELECT count(*) FROM big INDEXED BY big_code WHERE code = 'c5'")), 120000 / 97 + 1);
}

QObject* newServerBackupTests()
{
    return new TestBackupServer;
}

#include "tst_core_backup_server.moc"
