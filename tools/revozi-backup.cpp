// revozi-backup: backups without anyone at the console. The export, the import and their checks are
// the console's own work (AccountExporter, AccountImporter, the manifest's Checksum), run without
// windows, so a backup written here is the one the console writes and the console imports it.
#include <AccountDb.h>
#include <AccountExporter.h>
#include <AuditEvents.h>
#include <AccountImporter.h>
#include <BackupRetention.h>
#include <BackupSet.h>
#include <BuildInfo.h>
#include <CiFile.h>
#include <Installation.h>
#include <Database.h>
#include <DbError.h>
#include <Manifest.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QSet>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <atomic>
#include <future>
#include <memory>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
enum Exit { Ok = 0, Failed = 1, Usage = 2 };

const char* const kHelp =
    "用法:\n"
    "  revozi-backup ROOT list [--to BACKUPS]\n"
    "      列出安装中的每个账套与年度、账套库的大小和位置；给出 --to 时另列 BACKUPS 中最新的备份。\n"
    "  revozi-backup ROOT export --set N --year YYYY --to DIR\n"
    "      把账套 N 的 YYYY 年度输出到 DIR，与控制台的输出账套相同（描述文件、数据文件、校验清单）。\n"
    "  revozi-backup ROOT export --all --to BACKUPS [--keep-daily D] [--keep-weekly W] [--keep-monthly M]\n"
    "      把每个账套输出到 BACKUPS/<账套>-<年度>/<yyyyMMdd-HHmmss>/；一个账套失败不影响其他账套。\n"
    "      给出 --keep-* 时，每个账套与年度保留最近 D 天、W 周、M 月中每天、每周、每月最新的备份，\n"
    "      删除其余由本程序写入的备份目录；符号链接、有其他文件或属于别的账套与年度的目录原样保留，\n"
    "      并在标准错误上逐个说明原因。不给出时什么也不删除。\n"
    "  revozi-backup verify DIR\n"
    "      只做引入前的检查（大小、校验和、账套身份、完整性），不引入，并列出检查了什么。\n"
    "  revozi-backup ROOT import DIR [--folder PATH] [--yes]\n"
    "      引入 DIR 中的备份：放到描述文件所记的位置，或放到 PATH 之下；已有的账套只有给出 --yes 才覆盖。\n"
    "      账套数据只放入该账套自己的年度目录 zt<账套>/<年度>，且该目录须为空或存放本安装该账套该年度的\n"
    "      数据；否则拒绝引入并说明目录中是谁的数据，需以 --folder 另指位置。只合并该账套该年度的行，\n"
    "      不建立、不修改角色及其成员。\n"
    "  revozi-backup --help | --version\n"
    "      显示本帮助或版本。\n"
    "\n"
    "服务器上的安装：以 --server CONNINFO 代替 ROOT（CONNINFO 为连接串，如 \"host=srv dbname=revozi\"，\n"
    "或 service=NAME）。密码不能写在命令行上，请放在 ~/.pgpass 中。\n"
    "\n"
    "退出状态：0 成功，1 有任务失败，2 用法错误。消息逐行写到标准错误。\n"
    "同一安装上同时只能运行一个 revozi-backup：第二个会被拒绝（退出状态 1），不会等待。\n"
    "环境变量 REVOZI_NOW=YYYY-MM-DDTHH:MM:SS 代替时钟（备份目录名与保留规则都按它计算）。\n";

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

// One line on stderr: a message that spans lines in a dialog becomes one line for logs and mail.
int fail(const QString& text, int status = Failed)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QTextStream(stderr) << "revozi-backup: " << line.trimmed() << Qt::endl;
    return status;
}

int usage(const QString& why)
{
    fail(why + QStringLiteral("（revozi-backup --help 列出用法）"), Usage);
    return Usage;
}

QDateTime now()
{
    const QByteArray set = qgetenv("REVOZI_NOW");
    if (!set.isEmpty()) {
        const QDateTime t = QDateTime::fromString(QString::fromLatin1(set), Qt::ISODate);
        if (t.isValid())
            return t;
    }
    return QDateTime::currentDateTime();
}

// Progress only where a person watches it; a timer's log gets the outcome lines alone.
WorkControl progressFor(const QString& what)
{
    WorkControl c;
    if (isatty(STDERR_FILENO))
        c.progress = [what](int p) { QTextStream(stderr) << "\r" << what << " " << p << "%" << Qt::flush; };
    return c;
}

void endProgress()
{
    if (isatty(STDERR_FILENO))
        QTextStream(stderr) << "\r\033[K" << Qt::flush;
}

struct Options {
    QStringList positional;
    QHash<QString, QString> values;
    QSet<QString> flags;
};

// Options that take a value and flags, the ones each command allows; anything else is a usage error.
bool parse(const QStringList& args, const QStringList& valued, const QStringList& flags, Options* o, QString* why)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (valued.contains(a)) {
            if (i + 1 >= args.size() || o->values.contains(a)) {
                *why = QStringLiteral("选项 %1 需要一个值").arg(a);
                return false;
            }
            o->values.insert(a, args[++i]);
        } else if (flags.contains(a)) {
            o->flags.insert(a);
        } else if (a.startsWith(QLatin1String("--"))) {
            *why = QStringLiteral("未知的选项 %1").arg(a);
            return false;
        } else {
            o->positional << a;
        }
    }
    return true;
}

bool number(const Options& o, const QString& name, int* value, QString* why)
{
    if (!o.values.contains(name))
        return true;
    bool ok = false;
    *value = o.values.value(name).toInt(&ok);
    if (!ok || *value < 0) {
        *why = QStringLiteral("选项 %1 的值 %2 不是非负整数").arg(name, o.values.value(name));
        return false;
    }
    return true;
}

struct SetYear {
    QString accId;
    QString name;
    int year = 0;
    QString accPath;
};

QList<SetYear> setsOf(Database& sysDb)
{
    QList<SetYear> sets;
    for (Recordset rs = sysDb.query(QStringLiteral("select cAcc_Id, cAcc_Name, iYear, cAcc_Path from SM_Account order by cAcc_Id, iYear"));
         !rs.Eof(); rs.MoveNext())
        sets.append({rs.text(QStringLiteral("cAcc_Id")), rs.text(QStringLiteral("cAcc_Name")), rs.Fields(QStringLiteral("iYear")).toInt(),
                     rs.text(QStringLiteral("cAcc_Path"))});
    return sets;
}

QString setFolderName(const QString& accId, int year)
{
    return QStringLiteral("%1-%2").arg(accId).arg(year);
}

// The size of a server's books: their schema's tables with indexes; -1 when there is no schema.
qint64 schemaSize(Database& sysDb, const QString& schema)
{
    if (!sysDb.schemaExists(schema))
        return -1;
    return sysDb.scalar(QStringLiteral("SELECT coalesce(sum(pg_total_relation_size(c.oid)), 0) FROM pg_class c "
                                       "JOIN pg_namespace n ON n.oid=c.relnamespace WHERE n.nspname=? AND c.relkind='r'"),
                        {schema}).toLongLong();
}

int list(Database& sysDb, const QString& backups)
{
    const bool server = sysDb.engine() == Engine::PostgreSQL;
    for (const SetYear& s : setsOf(sysDb)) {
        const QString books = server ? AccountDb::booksSchema(s.accId, s.year) : AccountDb::databasePath(s.accPath, s.accId, s.year);
        const qint64 size = server ? schemaSize(sysDb, books) : CiFile::size(books);
        out() << "[" << s.accId << "]" << s.name << "\t" << s.year << "\t"
              << (size < 0 ? QStringLiteral("（账套库不存在）") : QString::number(size)) << "\t" << books;
        if (!backups.isEmpty()) {
            const QList<BackupRetention::Backup> found =
                BackupRetention::scan(Paths::join(backups, setFolderName(s.accId, s.year)), s.accId, s.year);
            out() << "\t" << (found.isEmpty() ? QStringLiteral("（没有备份）") : Paths::join(Paths::join(backups, setFolderName(s.accId, s.year)), found.first().name));
        }
        out() << Qt::endl;
    }
    return Ok;
}

// One set into `dir` as the console's export writes it: prepare, then writeBackupSet with the
// preparation's outcome as line 11. A preparation with errors still writes the backup set (the
// console does the same, marked Backup=false), but the job counts as failed.
int exportSet(Database& sysDb, const QString& accId, int year, const QString& dir)
{
    AccountExporter exporter(sysDb, accId, year);
    if (!exporter.found()) {
        const bool hasSet = sysDb.scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id=?"), {accId}).toInt() > 0;
        return fail(hasSet ? QStringLiteral("账套[%1]没有%2年度").arg(accId).arg(year) : QStringLiteral("账套[%1]不存在").arg(accId));
    }
    if (!QDir().mkpath(dir))
        return fail(QStringLiteral("账套[%1]：无法建立备份目录 %2").arg(accId, dir));
    const bool prepared = exporter.prepare(progressFor(QStringLiteral("账套[%1]").arg(accId)));
    endProgress();
    QString error;
    const bool written = exporter.writeBackupSet(dir, prepared, &error);
    // No operator runs the tool: the row names the machine and its user.
    const AuditEntry logged = Audit::exported(accId, exporter.year(), dir);
    AuditLog::record(sysDb, {}, written ? logged : logged.failed(error));
    if (!written)
        return fail(QStringLiteral("账套[%1]输出失败：%2").arg(accId, error));
    if (!prepared)
        return fail(QStringLiteral("账套[%1]已输出到 %2，但准备时出错（Backup=false）：%3").arg(accId, dir, exporter.errors().join(QStringLiteral("；"))));
    out() << QStringLiteral("账套[%1] %2年度已输出到 %3").arg(accId).arg(year).arg(dir) << Qt::endl;
    return Ok;
}

// One set and year of `export --all`. The exporter is made where the system database's connection
// lives; its preparation and writing open connections of their own, so they run on a worker.
struct SetJob {
    SetYear set;
    QString setFolder;
    QString dir;
    std::unique_ptr<AccountExporter> exporter;
    QString refusal;   // why the set is not exported at all
    bool prepared = false;
    bool written = false;
    QString error;
    std::promise<void> done;
};

// A line on stderr that is no failure: what retention left alone, and why.
void note(const QString& text)
{
    fail(text, Ok);
}

// Sets exported at the same time: while one set's flushes wait for the disk, the other's copy runs.
constexpr int kParallelSets = 2;

void runJob(SetJob& job)
{
    try {
        job.prepared = job.exporter->prepare();
        job.written = job.exporter->writeBackupSet(job.dir, job.prepared, &job.error);
    } catch (const DbError& e) {
        job.error = e.userText();
    }
}

int exportAll(Database& sysDb, const QString& backups, const BackupRetention::Policy& policy)
{
    const QDateTime when = now();
    const QString stamp = BackupRetention::folderName(when);
    int status = Ok;
    // Every year of every set: each year's books are a backup set of their own.
    const QList<SetYear> sets = setsOf(sysDb);
    std::vector<std::unique_ptr<SetJob>> jobs;
    for (const SetYear& s : sets) {
        auto job = std::make_unique<SetJob>();
        job->set = s;
        job->setFolder = Paths::join(backups, setFolderName(s.accId, s.year));
        job->dir = Paths::join(job->setFolder, stamp);
        try {
            job->exporter = std::make_unique<AccountExporter>(sysDb, s.accId, s.year);
            // A folder of this second is another run's or a person's: never written into.
            if (CiFile::exists(job->dir))
                job->refusal = QStringLiteral("账套[%1]：备份目录 %2 已存在，未输出").arg(s.accId, job->dir);
            else if (!job->exporter->found())
                job->refusal = QStringLiteral("账套[%1]没有%2年度").arg(s.accId).arg(s.year);
            else if (!QDir().mkpath(job->dir))
                job->refusal = QStringLiteral("账套[%1]：无法建立备份目录 %2").arg(s.accId, job->dir);
        } catch (const DbError& e) {
            job->refusal = QStringLiteral("账套[%1]输出失败：%2").arg(s.accId, e.userText());
        }
        jobs.push_back(std::move(job));
    }
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < kParallelSets; ++w)
        workers.emplace_back([&] {
            for (size_t i; (i = next.fetch_add(1)) < jobs.size();) {
                if (jobs[i]->refusal.isEmpty())
                    runJob(*jobs[i]);
                jobs[i]->done.set_value();
            }
        });
    // Outcomes in the order of the sets, each as soon as its set is done.
    for (size_t i = 0; i < jobs.size(); ++i) {
        SetJob& job = *jobs[i];
        job.done.get_future().wait();
        if (isatty(STDERR_FILENO))
            QTextStream(stderr) << "\r" << i + 1 << "/" << jobs.size() << Qt::flush;
        endProgress();
        const QString& acc = job.set.accId;
        if (!job.refusal.isEmpty()) {
            status = fail(job.refusal);
            continue;
        }
        if (!job.written) {
            status = fail(QStringLiteral("账套[%1]输出失败：%2").arg(acc, job.error));
            QDir().rmdir(job.dir);   // only when the failed export left it empty
            continue;
        }
        if (!job.prepared) {
            status = fail(QStringLiteral("账套[%1]已输出到 %2，但准备时出错（Backup=false）：%3")
                              .arg(acc, job.dir, job.exporter->errors().join(QStringLiteral("；"))));
            continue;
        }
        out() << QStringLiteral("账套[%1] %2年度已输出到 %3").arg(acc).arg(job.set.year).arg(job.dir) << Qt::endl;
        if (!policy.any())
            continue;
        // Retention counts and deletes only the backups this program wrote of this set and year;
        // everything else in the folder is left alone, and said so once a run.
        QList<BackupRetention::Skipped> skipped;
        const QStringList old = BackupRetention::toDelete(BackupRetention::scan(job.setFolder, acc, job.set.year, &skipped), when, policy);
        for (const BackupRetention::Skipped& s : skipped)
            note(QStringLiteral("账套[%1]：%2 未计入保留规则，原样保留：%3")
                     .arg(acc, Paths::join(job.setFolder, s.name), s.reason));
        for (const QString& name : old) {
            QString why;
            if (BackupRetention::removeBackup(Paths::join(job.setFolder, name), acc, job.set.year, &why))
                out() << QStringLiteral("账套[%1]：已删除旧备份 %2").arg(acc, Paths::join(job.setFolder, name)) << Qt::endl;
            else
                status = fail(QStringLiteral("账套[%1]：%2").arg(acc, why));
        }
    }
    for (std::thread& w : workers)
        w.join();
    return status;
}

// The descriptor of a backup set given as its folder or as the descriptor itself.
QString descriptorIn(const QString& path)
{
    if (CiFile::isDir(path))
        return CiFile::resolve(Paths::join(path, BackupSet::kDescriptorName));
    return CiFile::resolve(path);
}

// Empty when the file is a sound database; read without writing anything beside it.
QString integrityOf(const QString& path)
{
    try {
        Database db;
        db.openImmutable(path);
        return db.integrityProblems().join(QStringLiteral("；"));
    } catch (const DbError& e) {
        return e.text();
    }
}

int verify(const QString& dir)
{
    const QString lst = descriptorIn(dir);
    // The import's load asks the system database whether the set exists; verify has no
    // installation, so it asks an empty one.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return fail(QStringLiteral("无法建立临时目录"));
    try {
        Database empty(Paths::join(scratch.path(), QStringLiteral("sys.mdb")), true);
        empty.execute(QStringLiteral("create table SM_Account (cAcc_Id text, iYear integer)"));
        AccountImporter importer(empty);
        const Notice refusal = importer.load(lst);
        if (!refusal.isEmpty())
            return fail(QStringLiteral("备份 %1 未通过检查：%2").arg(dir, refusal.text));
        const ImportPlan& p = importer.plan();
        const QString set = QStringLiteral("账套[%1] %2年度").arg(p.accId, p.year);
        out() << set << QStringLiteral("：描述文件可读，账套号、年度与数据文件中的账套信息一致") << Qt::endl;
        out() << set << QStringLiteral("：数据文件含账套库的表") << Qt::endl;
        const QString data = p.dataFile();
        if (p.bytes >= 0)
            out() << set << QStringLiteral("：数据文件大小 %1 字节与描述文件的 Bytes= 一致").arg(p.bytes) << Qt::endl;
        QString why;
        const QString manifestPath = CiFile::resolve(Paths::join(p.sourceDir, BackupSet::kManifestName));
        const std::optional<BackupSet::Manifest> m = BackupSet::readManifest(manifestPath, &why);
        if (!m && !why.isEmpty())
            return fail(QStringLiteral("%1：校验清单无法读取：%2").arg(set, why));
        if (m) {
            qint64 bytes = -1;
            const QString sum = Checksum::ofFile(data, &bytes);
            if (bytes != m->bytes)
                return fail(QStringLiteral("%1：数据文件大小 %2 字节与校验清单的 %3 字节不符").arg(set).arg(bytes).arg(m->bytes));
            if (sum != m->checksum)
                return fail(QStringLiteral("%1：数据文件的校验和 %2 与校验清单的 %3 不符，数据文件已损坏或被改动").arg(set, sum, m->checksum));
            out() << set << QStringLiteral("：校验和 XXH3-128 %1 与校验清单一致").arg(sum) << Qt::endl;
        } else {
            out() << set << QStringLiteral("：没有校验清单（旧备份），只做完整性检查") << Qt::endl;
        }
        const QString damage = integrityOf(data);
        if (!damage.isEmpty())
            return fail(QStringLiteral("%1：数据文件完整性检查未通过：%2").arg(set, damage));
        out() << set << QStringLiteral("：完整性检查通过") << Qt::endl;
        out() << QStringLiteral("备份 %1 可以引入").arg(dir) << Qt::endl;
    } catch (const DbError& e) {
        return fail(QStringLiteral("备份 %1 无法检查：%2").arg(dir, e.userText()));
    }
    return Ok;
}

int importSet(Database& sysDb, const QString& dir, const QString& folder, bool overwrite)
{
    AccountImporter importer(sysDb);
    Notice refusal = importer.load(descriptorIn(dir));
    if (!refusal.isEmpty())
        return fail(QStringLiteral("备份 %1 无法引入：%2").arg(dir, refusal.text));
    const QString set = QStringLiteral("账套[%1] %2年度").arg(importer.plan().accId, importer.plan().year);
    // The console asks before it replaces books; without anyone to ask, only --yes says so.
    if (importer.plan().setExists && !overwrite)
        return fail(QStringLiteral("%1已存在，未引入（给出 --yes 才覆盖）").arg(set));
    // The place the descriptor names, made when missing, unless --folder names another. Either is
    // refused when it holds books that are not this installation's of this set and year: with
    // nobody to ask, the command stops and says whose books are there.
    refusal = folder.isEmpty() ? importer.keepFolder(true) : importer.placeIn(folder);
    if (!refusal.isEmpty())
        return fail(QStringLiteral("%1无法引入：%2").arg(set, refusal.text)
                    + (folder.isEmpty() ? QStringLiteral("（可用 --folder 指定帐套路径）") : QString()));
    const AccountImporter::Result r = AccountImporter::restore(sysDb, importer.plan(), progressFor(set));
    endProgress();
    if (!r.done())
        return fail(QStringLiteral("%1引入失败：%2").arg(set, r.notice.text));
    out() << QStringLiteral("%1已引入到 %2")
                 .arg(set, sysDb.engine() == Engine::PostgreSQL
                               ? AccountDb::booksSchema(importer.plan().accId, importer.plan().year.toInt())
                               : importer.plan().targetDir)
          << Qt::endl;
    return Ok;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out() << QString::fromUtf8(kHelp) << Qt::flush;
        return Ok;
    }
    if (args.contains(QStringLiteral("--version"))) {
        out() << "revozi-backup " << REVOZI_VERSION << Qt::endl;
        return Ok;
    }
    if (args.isEmpty())
        return usage(QStringLiteral("缺少命令"));
    // A server installation is named by its connection string where a root would be.
    QString conninfo;
    const bool server = args[0] == QLatin1String("--server");
    if (server) {
        if (args.size() < 2 || args[1].trimmed().isEmpty())
            return usage(QStringLiteral("--server 需要一个连接串"));
        conninfo = args[1];
        if (Installation::hasPassword(conninfo))
            return usage(QStringLiteral("连接串中不能有密码（命令行可被他人看到），请把密码放在 ~/.pgpass 中"));
        args.removeFirst();
        // verify looks at a backup set only; the installation is not needed for it.
        if (args.size() > 1 && args[1] == QLatin1String("verify"))
            args.removeFirst();
        else
            args[0] = Installation::serverWhere(conninfo);
    }

    if (args[0] == QLatin1String("verify")) {
        if (args.size() != 2 || args[1].startsWith(QLatin1String("--")))
            return usage(QStringLiteral("verify 需要一个备份目录"));
        return verify(args[1]);
    }
    if (args.size() < 2)
        return usage(QStringLiteral("缺少命令"));
    const QString root = args[0];
    const QString command = args[1];
    const QStringList rest = args.mid(2);
    Options o;
    QString why;
    BackupRetention::Policy policy;
    if (command == QLatin1String("list")) {
        if (!parse(rest, {QStringLiteral("--to")}, {}, &o, &why) || !o.positional.isEmpty())
            return usage(why.isEmpty() ? QStringLiteral("list 不接受参数 %1").arg(o.positional.join(QLatin1Char(' '))) : why);
    } else if (command == QLatin1String("export")) {
        if (!parse(rest,
                   {QStringLiteral("--set"), QStringLiteral("--year"), QStringLiteral("--to"), QStringLiteral("--keep-daily"),
                    QStringLiteral("--keep-weekly"), QStringLiteral("--keep-monthly")},
                   {QStringLiteral("--all")}, &o, &why))
            return usage(why);
        if (!o.positional.isEmpty())
            return usage(QStringLiteral("export 不接受参数 %1").arg(o.positional.join(QLatin1Char(' '))));
        if (!o.values.contains(QStringLiteral("--to")))
            return usage(QStringLiteral("export 需要 --to"));
        const bool all = o.flags.contains(QStringLiteral("--all"));
        const bool one = o.values.contains(QStringLiteral("--set")) || o.values.contains(QStringLiteral("--year"));
        if (all == one)
            return usage(QStringLiteral("export 需要 --all，或者 --set 与 --year 两者"));
        if (one && !(o.values.contains(QStringLiteral("--set")) && o.values.contains(QStringLiteral("--year"))))
            return usage(QStringLiteral("export --set 需要 --year，--year 需要 --set"));
        if (!number(o, QStringLiteral("--keep-daily"), &policy.days, &why) || !number(o, QStringLiteral("--keep-weekly"), &policy.weeks, &why)
            || !number(o, QStringLiteral("--keep-monthly"), &policy.months, &why))
            return usage(why);
        if (one && (policy.any() || o.values.contains(QStringLiteral("--keep-daily")) || o.values.contains(QStringLiteral("--keep-weekly"))
                    || o.values.contains(QStringLiteral("--keep-monthly"))))
            return usage(QStringLiteral("--keep-* 只用于 export --all"));
        if (one) {
            int year = 0;
            if (!number(o, QStringLiteral("--year"), &year, &why) || year < 1000 || year > 9999)
                return usage(QStringLiteral("--year 需要四位数的年度"));
        }
    } else if (command == QLatin1String("import")) {
        if (!parse(rest, {QStringLiteral("--folder")}, {QStringLiteral("--yes")}, &o, &why))
            return usage(why);
        if (o.positional.size() != 1)
            return usage(QStringLiteral("import 需要一个备份目录"));
    } else {
        return usage(QStringLiteral("未知的命令 %1").arg(command));
    }

    const QString shown = server ? Installation::serverLabel(conninfo) : root;
    const QString sysPath = server ? root : Installation::sysDbPath(root);
    if (!server && !CiFile::isFile(sysPath))
        return fail(QStringLiteral("%1 不是安装目录：找不到系统库 DeZaduzi/DeZaduzi.mdb").arg(root));
    // Two runs on one installation would export into the same folders and import over each other:
    // the second is refused at once rather than left waiting behind a long export. A server's
    // installation is shared by workstations: there the lock is the server's, held by a session
    // of this run until it ends.
    QLockFile lock(server ? QString() : Paths::join(Paths::parentDir(sysPath), QStringLiteral("revozi-backup.lock")));
    lock.setStaleLockTime(0);
    Database serverLock;
    try {
        if (command != QLatin1String("list")) {
            bool held = false;
            if (server) {
                serverLock.openServer(conninfo, QString::fromLatin1(Installation::kSystemSchema), false);
                held = serverLock.scalar(QStringLiteral("SELECT pg_try_advisory_lock(7408, 0)")).toBool();
            } else {
                held = lock.tryLock(0);
            }
            if (!held)
                return fail(QStringLiteral("另一个 revozi-backup 正在处理安装 %1，本次未运行").arg(shown));
        }
        Database sysDb;
        Installation::openSystemDatabase(sysDb, sysPath);
        if (command == QLatin1String("list"))
            return list(sysDb, o.values.value(QStringLiteral("--to")));
        if (command == QLatin1String("import"))
            return importSet(sysDb, o.positional[0], o.values.value(QStringLiteral("--folder")), o.flags.contains(QStringLiteral("--yes")));
        if (o.flags.contains(QStringLiteral("--all")))
            return exportAll(sysDb, o.values.value(QStringLiteral("--to")), policy);
        return exportSet(sysDb, o.values.value(QStringLiteral("--set")), o.values.value(QStringLiteral("--year")).toInt(),
                         o.values.value(QStringLiteral("--to")));
    } catch (const DbError& e) {
        return fail(QStringLiteral("%1：%2").arg(shown, e.userText()));
    }
}
