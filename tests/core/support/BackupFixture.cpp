#include "BackupFixture.h"

#include "TestFiles.h"

#include <AccountDb.h>
#include <Installation.h>
#include <AccountSetCreator.h>
#include <BackupSet.h>
#include <Database.h>
#include <Manifest.h>
#include <SealedStream.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

int count(Database& db, const QString& sql, const QVariantList& params)
{
    return db.scalar(sql, params).toInt();
}

QStringList rows(Database& db, const QString& sql, const QVariantList& params)
{
    QStringList out;
    for (Recordset rs = db.query(sql, params); !rs.Eof(); rs.MoveNext()) {
        QStringList cells;
        for (int i = 0; i < rs.FieldCount(); ++i)
            cells << (rs.Fields(i).isNull() ? QStringLiteral("<null>") : rs.Fields(i).toString());
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

QStringList dump(Database& db)
{
    QStringList out;
    for (const QString& t : db.tables()) {
        QStringList r = rows(db, QStringLiteral("select * from \"%1\"").arg(t));
        r.sort();
        out << t << r;
    }
    return out;
}

QStringList dumpBesidesLog(Database& db)
{
    QStringList out;
    for (const QString& t : db.tables()) {
        if (t.startsWith(QLatin1String("SM_Log"), Qt::CaseInsensitive))
            continue;
        QStringList r = rows(db, QStringLiteral("select * from \"%1\"").arg(t));
        r.sort();
        out << t << r;
    }
    return out;
}

QStringList auditRows(Database& db)
{
    return rows(db, QStringLiteral("select cAcc_Id,cAction,cResult from SM_Log where cSub_Id='AA' order by rowid"));
}

bool oneFailedImportRow(const QStringList& before, const QStringList& now)
{
    static const QRegularExpression row(QStringLiteral("^([0-9]{3})?\\|ACC_IMPORT\\|(拒绝|失败)$"));
    return now.size() == before.size() + 1 && now.mid(0, before.size()) == before && row.match(now.last()).hasMatch();
}

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}

void copyBackup(const QString& from, const QString& to)
{
    QVERIFY(QDir().mkpath(to));
    for (const QString& name : filesIn(from))
        QVERIFY(QFile::copy(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name));
}

void insertRows(Database& db, const QString& acc, int year, const QStringList& statements)
{
    for (QString sql : statements)
        db.execute(sql.replace(QLatin1String("$A"), acc).replace(QLatin1String("$Y"), QString::number(year)));
}

bool exportTo(Database& db, const QString& acc, const QString& dir, const AccountExporter::StepHook& hook, bool compress,
              const QString& passphrase)
{
    if (!QDir().mkpath(dir))
        return false;
    AccountExporter exporter(db, acc);
    if (compress || !passphrase.isEmpty())
        exporter.sealWith(compress, passphrase.isEmpty() ? nullptr : std::make_shared<Passphrase>(passphrase));
    if (!exporter.prepare())
        return false;
    QString error;
    const bool written = exporter.writeBackupSet(dir, true, &error, hook);
    if (!written)
        qWarning("%s", qPrintable(error));
    return written;
}

AccountImporter::Result import(Database& sys, const QString& lst, const QString& newFolder, const WorkControl& control,
                               const QString& passphrase)
{
    AccountImporter importer(sys);
    Notice refusal = importer.load(lst);
    if (refusal.isEmpty() && importer.plan().seal.encrypted && !passphrase.isEmpty())
        refusal = importer.unlock(std::make_shared<Passphrase>(passphrase));
    if (refusal.isEmpty())
        refusal = newFolder.isEmpty() ? importer.keepFolder() : importer.placeIn(newFolder);
    if (!refusal.isEmpty())
        return {AccountImporter::Result::Status::Failed, refusal};
    return AccountImporter::restore(sys, importer.plan(), control);
}

QStringList filesHolding(const QString& dir, const QString& text)
{
    QStringList found;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (readAll(path).contains(text.toUtf8()))
            found << path;
    }
    return found;
}

void seal(const QString& dir)
{
    qint64 bytes = 0;
    const QString sum = Checksum::ofFile(dir + QStringLiteral("/kddata.BA_"), &bytes);
    const QString lst = dir + QStringLiteral("/KdErpAct.Lst");
    writeFile(lst, readAll(lst).replace("Bytes=" + QByteArray::number(BackupSet::readDescriptor(lst).bytes),
                                        "Bytes=" + QByteArray::number(bytes)));
    QVERIFY(BackupSet::writeManifest(dir + QStringLiteral("/") + BackupSet::kManifestName, {bytes, sum}));
}

void startTool(QProcess& p, const QStringList& args, const QString& now, const QString& cwd, const QString& tool)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!now.isEmpty())
        env.insert(QStringLiteral("REVOZI_NOW"), now);
    p.setProcessEnvironment(env);
    if (!cwd.isEmpty())
        p.setWorkingDirectory(cwd);
    p.start(QCoreApplication::applicationDirPath() + QLatin1Char('/') + tool, args);
}

Run finishTool(QProcess& p)
{
    Run r;
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

Run run(const QStringList& args, const QString& now, const QString& cwd, const QString& tool)
{
    QProcess p;
    startTool(p, args, now, cwd, tool);
    return finishTool(p);
}

QString describe(const Run& r)
{
    return QStringLiteral("status %1\nstdout: %2\nstderr: %3").arg(r.status).arg(r.out, r.err);
}

QStringList tree(const QString& dir)
{
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        qint64 bytes = 0;
        out << info.filePath() + QLatin1Char('=')
                   + (info.isDir() ? QStringLiteral("dir") : Checksum::ofFile(info.filePath(), &bytes) + QLatin1Char('/') + QString::number(bytes));
    }
    out.sort();
    return out;
}

BackupRoot::BackupRoot(const QString& acc, int year, const QStringList& sysRows, const QStringList& bookRows, const QString& out)
    : live(AccountDb::databasePath(books, acc, year))
    , folder(AccountDb::yearFolder(books, acc, year))
{
    if (!out.isEmpty())
        backup = out, lst = backup + QStringLiteral("/KdErpAct.Lst");
    make(acc, year, backup, sysRows, bookRows);
}

void BackupRoot::make(const QString& acc, int year, const QString& dir, const QStringList& sysRows, const QStringList& bookRows)
{
    AccountSetCreator creator(db());
    AccountSetInput in;
    in.accId = acc;
    in.accName = QStringLiteral("远航 O'Brien 账套");   // the quote must survive every statement that carries it
    in.accPath = books;
    in.year = QString::number(year);
    in.month = QStringLiteral("1");
    in.unitName = QStringLiteral("远航贸易有限公司");
    in.master = QStringLiteral("[demo]demo");
    in.templatePath = templatePath();
    const AccountSetOutcome made = creator.create(in);
    QVERIFY2(made.status == AccountSetCreator::Status::Done, qPrintable(made.notice.text));
    insertRows(db(), acc, year, sysRows);
    insertRows(*AccountDb::open(db(), acc, year), acc, year, bookRows);
    QVERIFY(exportTo(db(), acc, dir));
}

QString BackupRoot::pending()
{
    return QFileInfo(sysDbPath()).absolutePath() + QStringLiteral("/KdErpImp.pending");
}


ServerInstall::ServerInstall()
    : conninfo(database.conninfo())
    , sys(new Database)
{
    Installation::createServer(ConnInfo(conninfo), true);
    Installation::openServerSystem(*sys, ConnInfo(conninfo));
}

ServerInstall::~ServerInstall()
{
    delete sys;
}
