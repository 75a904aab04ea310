// revozi-backup: backups without anyone at the console. The export, the import and their checks are
// the console's own work (AccountExporter, AccountImporter, the manifest's Checksum), run without
// windows, so a backup written here is the one the console writes and the console imports it.
#include "BackupOutput.h"
#include "PassphraseFile.h"

#include <AccountDb.h>
#include <AccountExporter.h>
#include <AuditEvents.h>
#include <AccountImporter.h>
#include <BackupRetention.h>
#include <BackupSet.h>
#include <BuildInfo.h>
#include <CiFile.h>
#include <Installation.h>
#include <InstallationRecovery.h>
#include <Language.h>
#include <Database.h>
#include <DbError.h>
#include <HeldClaim.h>
#include <Manifest.h>
#include <Paths.h>
#include <SealedStream.h>
#include <SetListing.h>
#include <TaskRegistry.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
enum Exit { Ok = 0, Failed = 1, Usage = 2 };

const char* const kHelp = QT_TRANSLATE_NOOP("revozi-backup",
    "用法:\n"
    "  revozi-backup ROOT list [--to BACKUPS] [--json]\n"
    "      列出安装中的每个账套与年度、账套库的大小和位置；给出 --to 时另列 BACKUPS 中最新的备份。\n"
    "      以制表符分隔各列；输出到终端时第一行是列名。\n"
    "  revozi-backup ROOT export --set N --year YYYY --to DIR [--encrypt --passphrase-file FILE] [--compress]\n"
    "                [--json]\n"
    "      把账套 N 的 YYYY 年度输出到 DIR，与控制台的输出账套相同（描述文件、数据文件、校验清单）。\n"
    "  revozi-backup ROOT export --all --to BACKUPS [--keep-daily D] [--keep-weekly W] [--keep-monthly M]\n"
    "                [--encrypt --passphrase-file FILE] [--compress] [--dry-run] [--json]\n"
    "      把每个账套输出到 BACKUPS/<账套>-<年度>/<yyyyMMdd-HHmmss>/；一个账套失败不影响其他账套。\n"
    "      给出 --keep-* 时，每个账套与年度保留最近 D 天、W 周、M 月中每天、每周、每月最新的备份，\n"
    "      删除其余由本程序写入的备份目录；符号链接、有其他文件或属于别的账套与年度的目录原样保留，\n"
    "      并在标准错误上逐个说明原因。不给出时什么也不删除。\n"
    "      --dry-run：试运行，什么也不输出、不删除，只列出每个账套将写入的目录和保留规则将删除的备份\n"
    "      （与同一时刻的正式运行删除的完全相同）。\n"
    "  revozi-backup verify DIR [--passphrase-file FILE] [--json]\n"
    "      只做引入前的检查（大小、校验和、账套身份、完整性），不引入，并列出检查了什么。\n"
    "  revozi-backup verify --all BACKUPS [--passphrase-file FILE] [--json]\n"
    "      检查 BACKUPS 中的每个备份目录（BACKUPS/<账套>-<年度>/<时间>/，或直接在 BACKUPS 下的备份），\n"
    "      每个目录一行；有一个未通过检查时退出状态为 1。\n"
    "  revozi-backup ROOT import DIR [--folder PATH] [--yes] [--passphrase-file FILE]\n"
    "      引入 DIR 中的备份：放到描述文件所记的位置，或放到 PATH 之下；已有的账套只有给出 --yes 才覆盖。\n"
    "      账套数据只放入该账套自己的年度目录 zt<账套>/<年度>，且该目录须为空或存放本安装该账套该年度的\n"
    "      数据；否则拒绝引入并说明目录中是谁的数据，需以 --folder 另指位置。只合并该账套该年度的行，\n"
    "      不建立、不修改角色及其成员。\n"
    "  revozi-backup --help | --version\n"
    "      显示本帮助或版本。\n"
    "\n"
    "通用选项：\n"
    "  --json      list、verify 与 export 在标准输出上每个账套（备份）写一行 JSON 对象，代替文字：\n"
    "              {\"set\",\"year\",\"folder\",\"bytes\",\"checksum\",\"seconds\",\"outcome\",...}，\n"
    "              outcome 为 ok、failed 或 planned（试运行）；失败仍在标准错误上说明。\n"
    "  --quiet     只写失败（和 --json 的输出），不写成功的消息、说明和进度。\n"
    "  --progress  标准错误不是终端时也写进度行（每个账套：已完成与总字节数、速度、剩余时间）。\n"
    "\n"
    "加密与压缩（export）：\n"
    "  --encrypt   用口令加密数据文件（Argon2id 由口令生成密钥，XChaCha20-Poly1305 分块加密，\n"
    "              任何一块被改动、删除、调换或截断都会被拒绝）。需要 --passphrase-file。\n"
    "  --compress  用 zstd 压缩数据文件（与 --encrypt 同用时先压缩后加密）。\n"
    "  --passphrase-file FILE  口令在 FILE 的第一行；FILE 须为普通文件，且同组与其他用户不能访问\n"
    "              （chmod 600）。口令不能写在命令行或环境变量中，也不会写入日志或任何文件。\n"
    "              verify 给出口令时还解密并检查其中的账套数据，不给时只核对校验和；import 引入\n"
    "              加密的备份时必须给出。描述文件仍为 18 行，加密与压缩记在校验清单中。\n"
    "\n"
    "服务器上的安装：以 --server CONNINFO 代替 ROOT（CONNINFO 为连接串，如 \"host=srv dbname=revozi\"，\n"
    "或 service=NAME）。密码不能写在命令行上，请放在 ~/.pgpass 中。\n"
    "\n"
    "退出状态：0 成功，1 有任务失败，2 用法错误。消息逐行写到标准错误。\n"
    "同一安装上同时只能运行一个 revozi-backup：第二个会被拒绝（退出状态 1），不会等待。\n"
    "环境变量 REVOZI_NOW=YYYY-MM-DDTHH:MM:SS 代替时钟（备份目录名与保留规则都按它计算）。\n");

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

// One line on stderr: a message that spans lines in a dialog becomes one line for logs and mail.
int fail(const QString& text, int status = Failed)
{
    return Say::fail(text, status);
}

int usage(const QString& why)
{
    fail(why + QCoreApplication::translate("revozi-backup", "（revozi-backup --help 列出用法）"), Usage);
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

// An import's progress by its steps, in per cent: where a person watches it, or asked for with
// --progress; a timer's log gets the outcome lines alone.
WorkControl progressFor(const QString& what)
{
    WorkControl c;
    if (Say::showsProgress())
        c.progress = [what](int p) {
            if (Say::progressOnTerminal())
                QTextStream(stderr) << "\r\033[K" << what << " " << p << "%" << Qt::flush;
            else
                QTextStream(stderr) << what << " " << p << "%" << Qt::endl;
        };
    return c;
}

// JSON's null for what is not known.
QJsonValue orNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonValue orNull(qint64 number)
{
    return number < 0 ? QJsonValue() : QJsonValue(number);
}

double seconds(qint64 ms)
{
    return double(ms) / 1000.0;
}

// How export seals the data files it writes, and the passphrase that verify and import open an
// encrypted set with; read once from the command line and a passphrase file.
struct Sealing {
    bool compress = false;
    std::shared_ptr<const Passphrase> passphrase;
};
Sealing& sealing()
{
    static Sealing s;
    return s;
}

// The run's task of the installation, registered while a run that writes works on it (a run that
// only reads registers none: its claims then hold nothing and refuse nothing).
struct RunTask {
    TaskRegistry* registry = nullptr;
    Database* sysDb = nullptr;
    QElapsedTimer sinceBeat;
};
RunTask& runTask()
{
    static RunTask t;
    return t;
}
constexpr int kBeatMs = 30000;

// Renews the task's heartbeat once its interval has passed, while long work runs. Only the main
// thread calls it, which owns the system database's connection, and never inside another write's
// transaction (the beat would wait for its commit, unseen).
void beat()
{
    RunTask& t = runTask();
    if (!t.registry || t.sysDb->inTransaction() || !t.sinceBeat.hasExpired(kBeatMs))
        return;
    t.registry->heartbeat();
    t.sinceBeat.restart();
}

// Registers the run as a backup job of the installation for as long as it lives: every workstation
// sees it, and its claims name it. It ends with the run, after a failure too.
class RegisteredRun {
public:
    explicit RegisteredRun(Database& sysDb)
        : m_registry(sysDb, TaskInfo{Tasks::kBackup, QString(), QString(), QString(), 0, kBeatMs})
    {
        m_registry.start();
        runTask().registry = &m_registry;
        runTask().sysDb = &sysDb;
        runTask().sinceBeat.start();
    }
    ~RegisteredRun()
    {
        runTask().registry = nullptr;
        runTask().sysDb = nullptr;
    }
    RegisteredRun(const RegisteredRun&) = delete;
    RegisteredRun& operator=(const RegisteredRun&) = delete;

private:
    TaskRegistry m_registry;
};

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
                *why = QCoreApplication::translate("revozi-backup", "选项 %1 需要一个值").arg(a);
                return false;
            }
            o->values.insert(a, args[++i]);
        } else if (flags.contains(a)) {
            o->flags.insert(a);
        } else if (a.startsWith(QLatin1String("--"))) {
            *why = QCoreApplication::translate("revozi-backup", "未知的选项 %1").arg(a);
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
        *why = QCoreApplication::translate("revozi-backup", "选项 %1 的值 %2 不是非负整数").arg(name, o.values.value(name));
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

// One schema's bytes, -1 when it is missing.
qint64 schemaSize(Database& sysDb, const QString& schema)
{
    return sysDb.scalar(QStringLiteral("SELECT CASE WHEN EXISTS (SELECT 1 FROM pg_namespace WHERE nspname=?) THEN "
                                       "(SELECT coalesce(sum(pg_total_relation_size(c.oid)), 0) FROM pg_class c "
                                       "JOIN pg_namespace n ON n.oid=c.relnamespace WHERE n.nspname=? AND c.relkind='r') ELSE -1 END"),
                        {schema, schema})
        .toLongLong();
}

// The tab-separated columns stay what scripts read; the names of the columns head them only on a
// terminal, where a person reads them (--json is the form for programs).
int list(Database& sysDb, const QString& backups)
{
    if (isatty(STDOUT_FILENO)) {
        QStringList head = {QCoreApplication::translate("revozi-backup", "账套"), QCoreApplication::translate("revozi-backup", "年度"), QCoreApplication::translate("revozi-backup", "大小（字节）"), QCoreApplication::translate("revozi-backup", "账套库")};
        if (!backups.isEmpty())
            head << QCoreApplication::translate("revozi-backup", "最新备份");
        Say::line(head.join(QLatin1Char('\t')));
    }
    for (const ListedBooks& s : SetListing::read(sysDb)) {
        QString line = QStringLiteral("[%1]%2\t%3\t%4\t%5")
                           .arg(s.accId, s.name)
                           .arg(s.year)
                           .arg(s.bytes < 0 ? QCoreApplication::translate("revozi-backup", "（账套库不存在）") : QString::number(s.bytes), s.books);
        QJsonObject o{{QStringLiteral("set"), s.accId}, {QStringLiteral("name"), s.name}, {QStringLiteral("year"), s.year},
                      {QStringLiteral("books"), s.books}, {QStringLiteral("bytes"), orNull(s.bytes)}};
        if (!backups.isEmpty()) {
            const QString setFolder = Paths::join(backups, setFolderName(s.accId, s.year));
            const QList<BackupRetention::Backup> found = BackupRetention::scan(setFolder, s.accId, s.year);
            const QString newest = found.isEmpty() ? QString() : Paths::join(setFolder, found.first().name);
            line += QLatin1Char('\t') + (newest.isEmpty() ? QCoreApplication::translate("revozi-backup", "（没有备份）") : newest);
            o.insert(QStringLiteral("folder"), orNull(newest));
        }
        Say::line(line);
        Say::object(o);
    }
    return Ok;
}

// One set and year to export. The exporter is made where the system database's connection lives;
// its preparation and writing open connections of their own, so they run on a worker while the
// main thread says how far each has come.
struct SetJob {
    SetYear set;
    QString setFolder;   // export --all: BACKUPS/<set>-<year>
    QString dir;
    std::unique_ptr<AccountExporter> exporter;
    std::unique_ptr<HeldClaim> claim;   // the export held on the set and year until the job is done
    QString refusal;     // why the set is not exported at all
    bool dryRun = false; // only planned: taken as written, nothing runs
    qint64 total = 0;    // the books' size, the progress's whole
    QString workCopy;    // the copy of the books growing while they are copied
    bool prepared = false;
    bool written = false;
    QString error;
    QString reason;      // the error in Chinese, as the log row keeps it
    std::atomic<qint64> startedNs{0};   // when a worker took the job (steady clock); 0 before
    std::atomic<bool> finished{false};
    qint64 ms = 0;                      // how long the work took
    std::promise<void> done;
};

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Sets exported at the same time: while one set's flushes wait for the disk, the other's copy runs.
constexpr int kParallelSets = 2;

void runJob(SetJob& job)
{
    job.startedNs.store(steadyNs());
    try {
        job.prepared = job.exporter->prepare();
        job.written = job.exporter->writeBackupSet(job.dir, job.prepared, &job.error);
        job.reason = job.exporter->failure().stored;
    } catch (const DbError& e) {
        job.error = e.userText();
        job.reason = e.reasonText();
    }
    job.ms = (steadyNs() - job.startedNs.load()) / 1000000;
}

// The job's set, ready to run: its exporter, the size of its books and where their copy grows.
void prepareJob(Database& sysDb, SetJob& job)
{
    job.exporter = std::make_unique<AccountExporter>(sysDb, job.set.accId, job.set.year);
    job.exporter->sealWith(sealing().compress, sealing().passphrase);
    if (!job.exporter->found())
        return;
    job.workCopy = job.exporter->workCopyPath();
    job.total = sysDb.engine() == Engine::PostgreSQL ? schemaSize(sysDb, AccountDb::booksSchema(job.set.accId, job.set.year))
                                                      : CiFile::size(job.exporter->databasePath());
}

// The job's export claimed on its set and year (shared with other exports and logins); false, with
// the refusal naming who replaces or removes the books there, when another task does.
bool claimed(SetJob& job)
{
    job.claim = std::make_unique<HeldClaim>(runTask().registry, job.set.accId, job.set.year, Tasks::Function::Export);
    if (job.claim->granted())
        return true;
    job.refusal = QCoreApplication::translate("revozi-backup", "账套[%1]输出失败：%2").arg(job.set.accId, job.claim->refusal().shown);
    return false;
}

QString setLabel(const SetYear& s)
{
    return QCoreApplication::translate("revozi-backup", "账套[%1] %2年度").arg(s.accId).arg(s.year);
}

// Runs the jobs, kParallelSets at a time, and hands each to `finished` in the order of the jobs as
// soon as it is done. Meanwhile the running sets' progress is the bytes of their books copied so
// far: one line redrawn on a terminal, a line per set every few seconds elsewhere (--progress).
void runJobs(std::vector<std::unique_ptr<SetJob>>& jobs, const std::function<void(SetJob&)>& finished)
{
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < std::min<int>(kParallelSets, int(jobs.size())); ++w)
        workers.emplace_back([&] {
            for (size_t i; (i = next.fetch_add(1)) < jobs.size();) {
                if (jobs[i]->refusal.isEmpty() && !jobs[i]->dryRun)
                    runJob(*jobs[i]);
                jobs[i]->finished.store(true);
                jobs[i]->done.set_value();
            }
        });
    std::vector<std::unique_ptr<Progress>> progress;
    std::vector<qint64> lastLine(jobs.size(), 0);
    for (const auto& job : jobs)
        progress.push_back(std::make_unique<Progress>(setLabel(job->set), job->total));
    const qint64 every = Say::progressOnTerminal() ? 500000000LL : 5000000000LL;
    auto showRunning = [&] {
        if (!Say::showsProgress())
            return;
        const qint64 now = steadyNs();
        for (size_t j = 0; j < jobs.size(); ++j) {
            const qint64 started = jobs[j]->startedNs.load();
            if (started == 0 || jobs[j]->finished.load())
                continue;
            if (now - std::max(lastLine[j], started) >= every) {
                lastLine[j] = now;
                progress[j]->show(CiFile::size(jobs[j]->workCopy), (now - started) / 1000000);
            }
            // A terminal has room for one line: the oldest running set's.
            if (Say::progressOnTerminal())
                break;
        }
    };
    for (size_t i = 0; i < jobs.size(); ++i) {
        SetJob& job = *jobs[i];
        std::future<void> done = job.done.get_future();
        while (done.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready) {
            showRunning();
            beat();
        }
        if (job.refusal.isEmpty() && !job.dryRun)
            progress[i]->finish(job.ms);
        finished(job);
        job.claim.reset();
    }
    for (std::thread& w : workers)
        w.join();
}

// The JSON object of one exported set: the backup set's folder, its data file's size and checksum
// as its manifest records them, how long it took and how it ended.
QJsonObject exported(const SetJob& job, const QString& outcome, const QString& error)
{
    std::optional<BackupSet::Manifest> m;
    if (job.written)
        m = BackupSet::readManifest(CiFile::resolve(Paths::join(job.dir, BackupSet::kManifestName)));
    QJsonObject o{{QStringLiteral("set"), job.set.accId},
                  {QStringLiteral("year"), job.set.year},
                  {QStringLiteral("folder"), job.dir},
                  {QStringLiteral("bytes"), m ? QJsonValue(m->bytes) : QJsonValue()},
                  {QStringLiteral("checksum"), m ? QJsonValue(m->checksum) : QJsonValue()},
                  {QStringLiteral("seconds"), seconds(job.ms)},
                  {QStringLiteral("outcome"), outcome}};
    if (!error.isEmpty())
        o.insert(QStringLiteral("error"), error);
    return o;
}

// Why a job's export failed, as the stderr line says it; empty when it succeeded.
QString failureOf(const SetJob& job)
{
    const QString& acc = job.set.accId;
    if (!job.refusal.isEmpty())
        return job.refusal;
    if (!job.written)
        return QCoreApplication::translate("revozi-backup", "账套[%1]输出失败：%2").arg(acc, job.error);
    if (!job.prepared)
        return QCoreApplication::translate("revozi-backup", "账套[%1]已输出到 %2，但准备时出错（Backup=false）：%3")
            .arg(acc, job.dir, job.exporter->errors().join(QCoreApplication::translate("revozi-backup", "；")));
    return QString();
}

// One set into `dir` as the console's export writes it: prepare, then writeBackupSet with the
// preparation's outcome as line 11. A preparation with errors still writes the backup set (the
// console does the same, marked Backup=false), but the job counts as failed.
int exportSet(Database& sysDb, const QString& accId, int year, const QString& dir)
{
    std::vector<std::unique_ptr<SetJob>> jobs;
    jobs.push_back(std::make_unique<SetJob>());
    SetJob& job = *jobs.front();
    job.set.accId = accId;
    job.set.year = year;
    job.dir = dir;
    prepareJob(sysDb, job);
    if (!job.exporter->found()) {
        const bool hasSet = sysDb.scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id=?"), {accId}).toInt() > 0;
        job.refusal = hasSet ? QCoreApplication::translate("revozi-backup", "账套[%1]没有%2年度").arg(accId).arg(year) : QCoreApplication::translate("revozi-backup", "账套[%1]不存在").arg(accId);
    } else if (claimed(job) && !QDir().mkpath(dir)) {
        job.refusal = QCoreApplication::translate("revozi-backup", "账套[%1]：无法建立备份目录 %2").arg(accId, dir);
    }
    int status = Ok;
    runJobs(jobs, [&](SetJob& j) {
        if (j.refusal.isEmpty()) {
            // No operator runs the tool: the row names the machine and its user.
            const AuditEntry logged = Audit::exported(accId, j.exporter->year(), dir);
            AuditLog::record(sysDb, {}, j.written ? logged : logged.failed(j.reason));
        }
        const QString failure = failureOf(j);
        Say::object(exported(j, failure.isEmpty() ? QStringLiteral("ok") : QStringLiteral("failed"), failure));
        if (!failure.isEmpty()) {
            status = fail(failure);
            return;
        }
        Say::line(QCoreApplication::translate("revozi-backup", "账套[%1] %2年度已输出到 %3").arg(accId).arg(year).arg(dir));
    });
    return status;
}

// A line on stderr that is no failure: what retention left alone, and why.
void note(const QString& text)
{
    Say::note(text);
}

// Every year of every set into BACKUPS/<set>-<year>/<time>/, then retention in each set's folder.
// A dry run writes and deletes nothing: it plans each set's retention with the backup the run
// would write, so it names exactly what a run at the same time deletes.
// Retention in the set's folder after its export (or, planned, as the run would do it): counts and
// deletes only the backups this program wrote of this set and year; everything else in the folder
// is left alone, and said so once a run. The deletions that failed, or empty.
QString retain(const SetJob& job, const BackupRetention::Policy& policy, const QDateTime& when, bool planned, const QString& stamp,
               QJsonArray* deleted, QJsonArray* skipped, int* status)
{
    const QString& acc = job.set.accId;
    const BackupRetention::Plan plan =
        BackupRetention::plan(job.setFolder, acc, job.set.year, when, policy, planned ? stamp : QString());
    for (const BackupRetention::Skipped& s : plan.skipped) {
        const QString path = Paths::join(job.setFolder, s.name);
        note(QCoreApplication::translate("revozi-backup", "账套[%1]：%2 未计入保留规则，原样保留：%3").arg(acc, path, s.reason));
        skipped->append(QJsonObject{{QStringLiteral("folder"), path}, {QStringLiteral("reason"), s.reason}});
    }
    QStringList failed;
    for (const QString& name : plan.remove) {
        const QString path = Paths::join(job.setFolder, name);
        QString why;
        if (planned) {
            Say::line(QCoreApplication::translate("revozi-backup", "账套[%1]：将删除旧备份 %2（试运行，未删除）").arg(acc, path));
            deleted->append(path);
        } else if (BackupRetention::removeBackup(path, acc, job.set.year, &why)) {
            Say::line(QCoreApplication::translate("revozi-backup", "账套[%1]：已删除旧备份 %2").arg(acc, path));
            deleted->append(path);
        } else {
            failed << QCoreApplication::translate("revozi-backup", "账套[%1]：%2").arg(acc, why);
            *status = fail(failed.last());
        }
    }
    return failed.join(QCoreApplication::translate("revozi-backup", "；"));
}

int exportAll(Database& sysDb, const QString& backups, const BackupRetention::Policy& policy, bool dryRun)
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
            prepareJob(sysDb, *job);
            // A folder of this second is another run's or a person's: never written into.
            if (CiFile::exists(job->dir))
                job->refusal = QCoreApplication::translate("revozi-backup", "账套[%1]：备份目录 %2 已存在，未输出").arg(s.accId, job->dir);
            else if (!job->exporter->found())
                job->refusal = QCoreApplication::translate("revozi-backup", "账套[%1]没有%2年度").arg(s.accId).arg(s.year);
            else if (claimed(*job) && !dryRun && !QDir().mkpath(job->dir))
                job->refusal = QCoreApplication::translate("revozi-backup", "账套[%1]：无法建立备份目录 %2").arg(s.accId, job->dir);
        } catch (const DbError& e) {
            job->refusal = QCoreApplication::translate("revozi-backup", "账套[%1]输出失败：%2").arg(s.accId, e.userText());
        }
        // A dry run exports nothing: every set that would be exported is taken as written.
        job->dryRun = dryRun;
        jobs.push_back(std::move(job));
    }
    runJobs(jobs, [&](SetJob& job) {
        const QString& acc = job.set.accId;
        const bool planned = job.dryRun && job.refusal.isEmpty();
        QString failure = planned ? QString() : failureOf(job);
        if (!failure.isEmpty()) {
            status = fail(failure);
            Say::object(exported(job, QStringLiteral("failed"), failure));
            if (job.refusal.isEmpty() && !job.written)
                QDir().rmdir(job.dir);   // only when the failed export left it empty
            return;
        }
        if (planned)
            Say::line(QCoreApplication::translate("revozi-backup", "%1将输出到 %2（试运行，未输出）").arg(setLabel(job.set), job.dir));
        else
            Say::line(QCoreApplication::translate("revozi-backup", "账套[%1] %2年度已输出到 %3").arg(acc).arg(job.set.year).arg(job.dir));
        QJsonArray deleted;
        QJsonArray skipped;
        // Retention counts and deletes only the backups this program wrote of this set and year;
        // everything else in the folder is left alone, and said so once a run.
        if (policy.any())
            failure = retain(job, policy, when, planned, stamp, &deleted, &skipped, &status);
        QJsonObject o = exported(job, planned ? QStringLiteral("planned") : failure.isEmpty() ? QStringLiteral("ok") : QStringLiteral("failed"),
                                 failure);
        if (policy.any()) {
            o.insert(QStringLiteral("deleted"), deleted);
            o.insert(QStringLiteral("skipped"), skipped);
        }
        Say::object(o);
    });
    return status;
}

// The descriptor of a backup set given as its folder or as the descriptor itself.
QString descriptorIn(const QString& path)
{
    if (CiFile::isDir(path))
        return CiFile::resolve(Paths::join(path, BackupSet::kDescriptorName));
    return CiFile::resolve(path);
}

// Empty when the file is a sound database, else why not in a sentence (the engine's own report of
// the damage quoted after it); read without writing anything beside it.
QString integrityOf(const QString& path)
{
    try {
        Database db;
        db.openImmutable(path);
        const QStringList problems = db.integrityProblems();
        return problems.isEmpty() ? QString() : QCoreApplication::translate("revozi-backup", "数据文件已损坏（详情：“%1”）").arg(problems.join(QCoreApplication::translate("revozi-backup", "；")));
    } catch (const DbError& e) {
        return e.userText();
    }
}

// Why `path` holds no backup set to check or import, in the person's words; empty when there is
// a descriptor to read. A folder without one would otherwise fail with the file system's bare text.
QString whyNoBackupSet(const QString& path)
{
    if (!CiFile::exists(path))
        return QCoreApplication::translate("revozi-backup", "找不到 %1").arg(path);
    if (CiFile::isDir(path) && !CiFile::isFile(descriptorIn(path)))
        return QCoreApplication::translate("revozi-backup", "%1 不是备份目录：其中没有描述文件 %2（备份由描述文件、数据文件 %3 和校验清单 %4 组成）")
            .arg(path, BackupSet::kDescriptorName, BackupSet::kDataFileName, BackupSet::kManifestName);
    return QString();
}

// What verify found in one folder: the set, the data file's size and checksum, each check passed
// in a sentence, and why it cannot be imported (empty when it can).
struct Checked {
    QString folder;
    QString accId;
    int year = 0;
    qint64 bytes = -1;
    QString checksum;
    QStringList passed;
    QString failure;
    qint64 ms = 0;
};

// The data file as written against its manifest: its size and checksum (a sealed one's too,
// without its passphrase). The failure, or empty.
QString checkSum(Checked& c, const ImportPlan& p, const QString& set)
{
    QString why;
    const QString data = p.dataFile();
    const QString manifestPath = CiFile::resolve(Paths::join(p.sourceDir, BackupSet::kManifestName));
    const std::optional<BackupSet::Manifest> m = BackupSet::readManifest(manifestPath, &why);
    if (!m && !why.isEmpty())
        return QCoreApplication::translate("revozi-backup", "%1：校验清单无法读取：%2").arg(set, why);
    if (!m) {
        c.bytes = CiFile::size(data);
        c.passed << set + QCoreApplication::translate("revozi-backup", "：没有校验清单（旧备份），只做完整性检查");
        return QString();
    }
    qint64 bytes = -1;
    const QString sum = Checksum::ofFile(data, &bytes);
    if (bytes != m->bytes)
        return QCoreApplication::translate("revozi-backup", "%1：数据文件大小 %2 字节与校验清单的 %3 字节不符").arg(set).arg(bytes).arg(m->bytes);
    if (sum != m->checksum)
        return QCoreApplication::translate("revozi-backup", "%1：数据文件的校验和 %2 与校验清单的 %3 不符，数据文件已损坏或被改动").arg(set, sum, m->checksum);
    c.bytes = bytes;
    c.checksum = sum;
    c.passed << set + QCoreApplication::translate("revozi-backup", "：校验和 XXH3-128 %1 与校验清单一致").arg(sum);
    return QString();
}

// The books inside: the data file's integrity, or a sealed one's once unsealed into `scratch` (an
// encrypted one only when its passphrase is given). The failure, or empty.
QString checkBooks(Checked& c, AccountImporter& importer, const QString& set, const QString& scratch)
{
    QString books = importer.plan().dataFile();
    if (!importer.plan().seal.isPlain()) {
        if (importer.plan().seal.encrypted && !sealing().passphrase) {
            c.passed << set + QCoreApplication::translate("revozi-backup", "：数据文件已加密，未给出口令（--passphrase-file），未检查其中的账套数据");
            return QString();
        }
        if (importer.plan().seal.encrypted)
            if (const Notice refusal = importer.unlock(sealing().passphrase); !refusal.isEmpty())
                return set + QCoreApplication::translate("revozi-backup", "：") + refusal.text;
        books = Paths::join(scratch, QStringLiteral("kddata.mdb"));
        if (const QString refusal = AccountImporter::unsealChecked(importer.plan(), books); !refusal.isEmpty())
            return set + QCoreApplication::translate("revozi-backup", "：") + refusal;
        c.passed << set + QCoreApplication::translate("revozi-backup", "：数据文件已解开，含账套库的表，账套号、年度与描述文件一致");
    }
    const QString damage = integrityOf(books);
    if (!damage.isEmpty())
        return QCoreApplication::translate("revozi-backup", "%1：数据文件完整性检查未通过：%2").arg(set, damage);
    c.passed << set + QCoreApplication::translate("revozi-backup", "：完整性检查通过");
    return QString();
}

Checked check(const QString& dir)
{
    QElapsedTimer clock;
    clock.start();
    Checked c;
    c.folder = dir;
    auto done = [&](const QString& failure = QString()) {
        c.failure = failure;
        c.ms = clock.elapsed();
        return c;
    };
    const QString missing = whyNoBackupSet(dir);
    if (!missing.isEmpty())
        return done(missing);
    const QString lst = descriptorIn(dir);
    // The import's load asks the system database whether the set exists; verify has no
    // installation, so it asks an empty one.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return done(QCoreApplication::translate("revozi-backup", "无法建立临时目录"));
    try {
        Database empty(Paths::join(scratch.path(), QStringLiteral("sys.mdb")), true);
        empty.execute(QStringLiteral("create table SM_Account (cAcc_Id text, iYear integer)"));
        AccountImporter importer(empty);
        const Notice refusal = importer.load(lst);
        if (!refusal.isEmpty())
            return done(QCoreApplication::translate("revozi-backup", "备份 %1 未通过检查：%2").arg(dir, refusal.text));
        const ImportPlan& p = importer.plan();
        c.accId = p.accId;
        c.year = p.year.toInt();
        const QString set = QCoreApplication::translate("revozi-backup", "账套[%1] %2年度").arg(p.accId, p.year);
        if (p.seal.isPlain()) {
            c.passed << set + QCoreApplication::translate("revozi-backup", "：描述文件可读，账套号、年度与数据文件中的账套信息一致");
            c.passed << set + QCoreApplication::translate("revozi-backup", "：数据文件含账套库的表");
            if (p.bytes >= 0)
                c.passed << set + QCoreApplication::translate("revozi-backup", "：数据文件大小 %1 字节与描述文件的 Bytes= 一致").arg(p.bytes);
        } else {
            c.passed << set + QCoreApplication::translate("revozi-backup", "：描述文件可读，数据文件按校验清单所记已%1")
                                  .arg(p.seal.encrypted ? (p.seal.compressed ? QCoreApplication::translate("revozi-backup", "压缩并加密")
                                                                              : QCoreApplication::translate("revozi-backup", "加密"))
                                                        : QCoreApplication::translate("revozi-backup", "压缩"));
        }
        if (const QString failure = checkSum(c, p, set); !failure.isEmpty())
            return done(failure);
        if (const QString failure = checkBooks(c, importer, set, scratch.path()); !failure.isEmpty())
            return done(failure);
    } catch (const DbError& e) {
        return done(QCoreApplication::translate("revozi-backup", "备份 %1 无法检查：%2").arg(dir, e.userText()));
    }
    return done();
}

QJsonObject checkedObject(const Checked& c)
{
    QJsonObject o{{QStringLiteral("set"), orNull(c.accId)},
                  {QStringLiteral("year"), c.year > 0 ? QJsonValue(c.year) : QJsonValue()},
                  {QStringLiteral("folder"), c.folder},
                  {QStringLiteral("bytes"), orNull(c.bytes)},
                  {QStringLiteral("checksum"), orNull(c.checksum)},
                  {QStringLiteral("seconds"), seconds(c.ms)},
                  {QStringLiteral("outcome"), c.failure.isEmpty() ? QStringLiteral("ok") : QStringLiteral("failed")}};
    if (!c.failure.isEmpty())
        o.insert(QStringLiteral("error"), c.failure);
    return o;
}

int verify(const QString& dir)
{
    const Checked c = check(dir);
    Say::object(checkedObject(c));
    if (!c.failure.isEmpty())
        return fail(c.failure);
    for (const QString& line : c.passed)
        Say::line(line);
    Say::line(QCoreApplication::translate("revozi-backup", "备份 %1 可以引入").arg(dir));
    return Ok;
}

// The backup folders under BACKUPS as export --all lays them out (<set>-<year>/<time>/), and any
// backup set lying directly in BACKUPS; every folder at the second level counts, so one that is
// no backup set is named rather than passed over.
QStringList backupFolders(const QString& backups)
{
    QStringList found;
    const QDir::Filters dirs = QDir::Dirs | QDir::NoDotAndDotDot;
    for (const QString& name : QDir(backups).entryList(dirs, QDir::Name)) {
        const QString path = Paths::join(backups, name);
        const QStringList inside = QDir(path).entryList(dirs, QDir::Name);
        // A folder with neither a descriptor nor folders inside is checked, so it is named as none.
        if (CiFile::isFile(descriptorIn(path)) || inside.isEmpty()) {
            found << path;
            continue;
        }
        for (const QString& inner : inside)
            found << Paths::join(path, inner);
    }
    return found;
}

int verifyAll(const QString& backups)
{
    if (!CiFile::isDir(backups))
        return fail(QCoreApplication::translate("revozi-backup", "找不到备份目录 %1").arg(backups));
    const QStringList folders = backupFolders(backups);
    if (folders.isEmpty())
        return fail(QCoreApplication::translate("revozi-backup", "%1 中没有备份").arg(backups));
    int status = Ok;
    for (const QString& dir : folders) {
        const Checked c = check(dir);
        Say::object(checkedObject(c));
        if (!c.failure.isEmpty()) {
            status = fail(c.failure);
            continue;
        }
        Say::line(QCoreApplication::translate("revozi-backup", "账套[%1] %2年度：备份 %3 可以引入（%4 字节，%5）")
                      .arg(c.accId)
                      .arg(c.year)
                      .arg(dir)
                      .arg(c.bytes)
                      .arg(c.checksum.isEmpty() ? QCoreApplication::translate("revozi-backup", "没有校验清单") : QStringLiteral("XXH3-128 ") + c.checksum));
    }
    return status;
}

int importSet(Database& sysDb, const QString& dir, const QString& folder, bool overwrite)
{
    const QString missing = whyNoBackupSet(dir);
    if (!missing.isEmpty())
        return fail(QCoreApplication::translate("revozi-backup", "备份无法引入：%1").arg(missing));
    AccountImporter importer(sysDb);
    Notice refusal = importer.load(descriptorIn(dir));
    if (!refusal.isEmpty())
        return fail(QCoreApplication::translate("revozi-backup", "备份 %1 无法引入：%2").arg(dir, refusal.text));
    const QString set = QCoreApplication::translate("revozi-backup", "账套[%1] %2年度").arg(importer.plan().accId, importer.plan().year);
    // Every year of the set, as the console's import claims it, before anything is asked or
    // replaced, and held until the restore has ended.
    const HeldClaim claim(runTask().registry, importer.plan().accId, 0, Tasks::Function::Import);
    if (!claim.granted())
        return fail(QCoreApplication::translate("revozi-backup", "%1无法引入：%2").arg(set, claim.refusal().shown));
    // An encrypted set opens with the passphrase file's passphrase, or not at all.
    if (importer.plan().seal.encrypted) {
        if (!sealing().passphrase)
            return fail(QCoreApplication::translate("revozi-backup", "%1：备份已加密，需要口令（--passphrase-file），未引入").arg(set));
        refusal = importer.unlock(sealing().passphrase);
        if (!refusal.isEmpty())
            return fail(QCoreApplication::translate("revozi-backup", "%1无法引入：%2").arg(set, refusal.text));
    }
    // The console asks before it replaces books; without anyone to ask, only --yes says so.
    if (importer.plan().setExists && !overwrite)
        return fail(QCoreApplication::translate("revozi-backup", "%1已存在，未引入（给出 --yes 才覆盖）").arg(set));
    // The place the descriptor names, made when missing, unless --folder names another. Either is
    // refused when it holds books that are not this installation's of this set and year: with
    // nobody to ask, the command stops and says whose books are there.
    refusal = folder.isEmpty() ? importer.keepFolder(true) : importer.placeIn(folder);
    if (!refusal.isEmpty())
        return fail(QCoreApplication::translate("revozi-backup", "%1无法引入：%2").arg(set, refusal.text)
                    + (folder.isEmpty() ? QCoreApplication::translate("revozi-backup", "（可用 --folder 指定帐套路径）") : QString()));
    // The restore runs on this thread: its steps are where the task beats.
    WorkControl control = progressFor(set);
    control.progress = [shown = control.progress](int p) {
        if (shown)
            shown(p);
        beat();
    };
    const AccountImporter::Result r = AccountImporter::restore(sysDb, importer.plan(), control);
    endProgress();
    if (!r.done())
        return fail(QCoreApplication::translate("revozi-backup", "%1引入失败：%2").arg(set, r.notice.text));
    Say::line(QCoreApplication::translate("revozi-backup", "%1已引入到 %2")
                  .arg(set, sysDb.engine() == Engine::PostgreSQL
                                ? AccountDb::booksSchema(importer.plan().accId, importer.plan().year.toInt())
                                : importer.plan().targetDir));
    return Ok;
}
} // namespace

// The command's own options read into `o` (and export --all's retention into `policy`); the usage
// error, or empty when they fit the command.
QString readCommand(const QString& command, const QStringList& rest, bool json, Options* o, BackupRetention::Policy* policy)
{
    QString why;
    if (command == QLatin1String("list")) {
        if (!parse(rest, {QStringLiteral("--to")}, {}, o, &why) || !o->positional.isEmpty())
            return why.isEmpty() ? QCoreApplication::translate("revozi-backup", "list 不接受参数 %1").arg(o->positional.join(QLatin1Char(' '))) : why;
    } else if (command == QLatin1String("export")) {
        if (!parse(rest,
                   {QStringLiteral("--set"), QStringLiteral("--year"), QStringLiteral("--to"), QStringLiteral("--keep-daily"),
                    QStringLiteral("--keep-weekly"), QStringLiteral("--keep-monthly")},
                   {QStringLiteral("--all"), QStringLiteral("--dry-run")}, o, &why))
            return why;
        if (!o->positional.isEmpty())
            return QCoreApplication::translate("revozi-backup", "export 不接受参数 %1").arg(o->positional.join(QLatin1Char(' ')));
        if (!o->values.contains(QStringLiteral("--to")))
            return QCoreApplication::translate("revozi-backup", "export 需要 --to");
        const bool all = o->flags.contains(QStringLiteral("--all"));
        const bool one = o->values.contains(QStringLiteral("--set")) || o->values.contains(QStringLiteral("--year"));
        if (all == one)
            return QCoreApplication::translate("revozi-backup", "export 需要 --all，或者 --set 与 --year 两者");
        if (one && !(o->values.contains(QStringLiteral("--set")) && o->values.contains(QStringLiteral("--year"))))
            return QCoreApplication::translate("revozi-backup", "export --set 需要 --year，--year 需要 --set");
        if (!number(*o, QStringLiteral("--keep-daily"), &policy->days, &why) || !number(*o, QStringLiteral("--keep-weekly"), &policy->weeks, &why)
            || !number(*o, QStringLiteral("--keep-monthly"), &policy->months, &why))
            return why;
        if (one && o->flags.contains(QStringLiteral("--dry-run")))
            return QCoreApplication::translate("revozi-backup", "--dry-run 只用于 export --all");
        if (one && (policy->any() || o->values.contains(QStringLiteral("--keep-daily")) || o->values.contains(QStringLiteral("--keep-weekly"))
                    || o->values.contains(QStringLiteral("--keep-monthly"))))
            return QCoreApplication::translate("revozi-backup", "--keep-* 只用于 export --all");
        if (one) {
            int year = 0;
            if (!number(*o, QStringLiteral("--year"), &year, &why) || year < 1000 || year > 9999)
                return QCoreApplication::translate("revozi-backup", "--year 需要四位数的年度");
        }
    } else if (command == QLatin1String("import")) {
        if (json)
            return QCoreApplication::translate("revozi-backup", "--json 只用于 list、verify 与 export");
        if (!parse(rest, {QStringLiteral("--folder")}, {QStringLiteral("--yes")}, o, &why))
            return why;
        if (o->positional.size() != 1)
            return QCoreApplication::translate("revozi-backup", "import 需要一个备份目录");
    } else {
        return QCoreApplication::translate("revozi-backup", "未知的命令 %1").arg(command);
    }
    return QString();
}

// Why the seal's options do not fit the command; empty when they do. Export seals with --encrypt
// (which needs a passphrase file) and --compress; verify and import only read a passphrase file.
QString sealingMisused(const QStringList& args, bool encrypt, const QString& passphraseFile)
{
    const QString command = args.value(0) == QLatin1String("verify") ? args.value(0) : args.value(1);
    const bool exporting = command == QLatin1String("export");
    if ((encrypt || sealing().compress) && !exporting)
        return QCoreApplication::translate("revozi-backup", "--encrypt 与 --compress 只用于 export");
    if (encrypt && passphraseFile.isEmpty())
        return QCoreApplication::translate("revozi-backup", "--encrypt 需要 --passphrase-file（口令不能写在命令行上）");
    if (!passphraseFile.isEmpty() && exporting && !encrypt)
        return QCoreApplication::translate("revozi-backup", "export 只在给出 --encrypt 时读取 --passphrase-file");
    if (!passphraseFile.isEmpty() && !exporting && command != QLatin1String("verify") && command != QLatin1String("import"))
        return QCoreApplication::translate("revozi-backup", "--passphrase-file 只用于 export、verify 与 import");
    return QString();
}

// The command on the open installation; a run that writes is a task of it while it works.
int runCommand(Database& sysDb, const QString& command, const Options& o, const BackupRetention::Policy& policy)
{
    if (command == QLatin1String("list"))
        return list(sysDb, o.values.value(QStringLiteral("--to")));
    const bool dryRun = o.flags.contains(QStringLiteral("--dry-run"));
    std::optional<RegisteredRun> task;
    if (!dryRun)
        task.emplace(sysDb);
    if (command == QLatin1String("import"))
        return importSet(sysDb, o.positional[0], o.values.value(QStringLiteral("--folder")), o.flags.contains(QStringLiteral("--yes")));
    if (o.flags.contains(QStringLiteral("--all")))
        return exportAll(sysDb, o.values.value(QStringLiteral("--to")), policy, dryRun);
    return exportSet(sysDb, o.values.value(QStringLiteral("--set")), o.values.value(QStringLiteral("--year")).toInt(),
                     o.values.value(QStringLiteral("--to")));
}

// The command on the installation at `place` (named `shown` in messages): the run's lock taken
// unless it only reads, the system database opened, an interrupted deletion or import settled.
int runOn(const InstallationPlace& place, const QString& shown, const QString& command, const Options& o,
          const BackupRetention::Policy& policy)
{
    const bool server = place.onServer();
    const QString sysPath = place.sysDbPath();
    if (!server && !CiFile::isFile(sysPath))
        return fail(QCoreApplication::translate("revozi-backup", "%1 不是安装目录：找不到系统库 DeZaduzi/DeZaduzi.mdb").arg(shown));
    // Two runs on one installation would export into the same folders and import over each other:
    // the second is refused at once rather than left waiting behind a long export. A server's
    // installation is shared by workstations: there the lock is the server's, held by a session
    // of this run until it ends.
    QLockFile lock(server ? QString() : Paths::join(Paths::parentDir(sysPath), QStringLiteral("revozi-backup.lock")));
    lock.setStaleLockTime(0);
    Database serverLock;
    try {
        // Reading alone (list, a dry run) needs no lock: it changes nothing a running export writes.
        if (command != QLatin1String("list") && !o.flags.contains(QStringLiteral("--dry-run"))) {
            bool held = false;
            if (server) {
                serverLock.openServer(place.conn().connectString(), QString::fromLatin1(Installation::kSystemSchema), false);
                held = serverLock.scalar(QStringLiteral("SELECT pg_try_advisory_lock(7408, 0)")).toBool();
            } else {
                held = lock.tryLock(0);
            }
            if (!held)
                return fail(QCoreApplication::translate("revozi-backup", "另一个 revozi-backup 正在处理安装 %1，本次未运行").arg(shown));
        }
        Database sysDb;
        if (command == QLatin1String("list"))
            Installation::openToRead(sysDb, place);
        else
            Installation::openSystemDatabase(sysDb, place);
        // What a crash interrupted (a deletion, an import) is settled before any set is read.
        Installation::recoverInterrupted(sysDb);
        return runCommand(sysDb, command, o, policy);
    } catch (const DbError& e) {
        return fail(QCoreApplication::translate("revozi-backup", "%1：%2").arg(shown, e.userText()));
    }
}

// Takes --encrypt, --compress and --passphrase-file FILE out of `args`; the usage error, or empty.
QString takeSealOptions(QStringList* args, bool* encrypt, QString* passphraseFile)
{
    *encrypt = args->removeAll(QStringLiteral("--encrypt")) > 0;
    sealing().compress = args->removeAll(QStringLiteral("--compress")) > 0;
    if (const qsizetype at = args->indexOf(QStringLiteral("--passphrase-file")); at >= 0) {
        if (at + 1 >= args->size() || args->count(QStringLiteral("--passphrase-file")) > 1)
            return QCoreApplication::translate("revozi-backup", "选项 %1 需要一个值").arg(QStringLiteral("--passphrase-file"));
        *passphraseFile = args->takeAt(at + 1);
        args->removeAt(at);
    }
    return QString();
}

// The seal's options checked against the command and the passphrase read from its file: Ok, or
// the exit status after the usage error or failure has been said.
int openSealing(const QStringList& args, bool encrypt, const QString& passphraseFile)
{
    if (const QString why = sealingMisused(args, encrypt, passphraseFile); !why.isEmpty())
        return usage(why);
    if (!passphraseFile.isEmpty()) {
        QString why;
        sealing().passphrase = PassphraseFile::read(passphraseFile, &why);
        if (!sealing().passphrase)
            return fail(why);
    }
    return Ok;
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Language::install();
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out() << QCoreApplication::translate("revozi-backup", kHelp) << Qt::flush;
        return Ok;
    }
    if (args.contains(QStringLiteral("--version"))) {
        out() << "revozi-backup " << REVOZI_VERSION << Qt::endl;
        return Ok;
    }
    // How it speaks, wherever on the line: the commands' own options are read below.
    Say::Mode& say = Say::mode();
    say.json = args.removeAll(QStringLiteral("--json")) > 0;
    say.quiet = args.removeAll(QStringLiteral("--quiet")) > 0;
    say.progress = args.removeAll(QStringLiteral("--progress")) > 0;
    // The seal's options, wherever on the line; which command takes them is checked below.
    bool encrypt = false;
    QString passphraseFile;
    if (const QString why = takeSealOptions(&args, &encrypt, &passphraseFile); !why.isEmpty())
        return usage(why);
    if (args.isEmpty())
        return usage(QCoreApplication::translate("revozi-backup", "缺少命令"));
    // A server installation is named by its connection string where a root would be.
    ConnInfo conninfo;
    const bool server = args[0] == QLatin1String("--server");
    if (server) {
        if (args.size() < 2 || args[1].trimmed().isEmpty())
            return usage(QCoreApplication::translate("revozi-backup", "--server 需要一个连接串"));
        conninfo = ConnInfo(args[1]);
        if (conninfo.hasPassword())
            return usage(QCoreApplication::translate("revozi-backup", "连接串中不能有密码（命令行可被他人看到），请把密码放在 ~/.pgpass 中"));
        args.removeFirst();
        // verify looks at a backup set only; the installation is not needed for it.
        if (args.size() > 1 && args[1] == QLatin1String("verify"))
            args.removeFirst();
    }

    if (const int status = openSealing(args, encrypt, passphraseFile); status != Ok)
        return status;
    if (args[0] == QLatin1String("verify")) {
        if (args.size() == 3 && args[1] == QLatin1String("--all") && !args[2].startsWith(QLatin1String("--")))
            return verifyAll(args[2]);
        if (args.size() != 2 || args[1].startsWith(QLatin1String("--")))
            return usage(QCoreApplication::translate("revozi-backup", "verify 需要一个备份目录，或 --all 与存放备份的目录"));
        return verify(args[1]);
    }
    if (args.size() < 2)
        return usage(QCoreApplication::translate("revozi-backup", "缺少命令"));
    const QString root = args[0];
    const QString command = args[1];
    const QStringList rest = args.mid(2);
    Options o;
    BackupRetention::Policy policy;
    if (const QString why = readCommand(command, rest, say.json, &o, &policy); !why.isEmpty())
        return usage(why);

    return runOn(server ? InstallationPlace::server(conninfo) : InstallationPlace::files(root), server ? conninfo.label() : root, command, o, policy);
}
