// revozi-setup ROOT [--demo]: makes a new installation root (ROOT/DeZaduzi/DeZaduzi.mdb);
// revozi-setup --server CONNINFO [--demo]: makes one in a PostgreSQL database instead;
// --demo also makes the sample operators and an account set to explore (supervisor demo, the 2007
// chart, this year); without it the administrator is the only operator.
// revozi-setup --template FILE: writes the account-database template.
// revozi-setup --migrate ROOT --server CONNINFO: moves the installation at ROOT onto the server.
#include <AccountSetCreator.h>
#include <AccountTemplate.h>
#include <BuildInfo.h>
#include <CiFile.h>
#include <Database.h>
#include <DbError.h>
#include <Installation.h>
#include <InstallationRecovery.h>
#include <Language.h>
#include <Migration.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QTextStream>

#include <optional>
#include <unistd.h>

namespace {
const char* const kHelp = QT_TRANSLATE_NOOP("revozi-setup",
    "用法:\n"
    "  revozi-setup ROOT [--demo]\n"
    "      在 ROOT 建立新的安装（系统库 ROOT/DeZaduzi/DeZaduzi.mdb）；已有系统库时拒绝，不会覆盖。\n"
    "      只有系统管理员 admin（初始密码为空）。给出 --demo 时另建示例操作员（密码为空）和一个演示账套\n"
    "      [001]演示账套（账套主管 demo，2007年新会计准则，本年度），只用于演示。\n"
    "  revozi-setup --server CONNINFO [--demo]\n"
    "      在 PostgreSQL 数据库中建立服务器安装（CONNINFO 为 libpq 连接串，如 \"host=srv dbname=revozi\"，\n"
    "      或 \"service=名称\"（pg_service.conf）；密码取自 ~/.pgpass，不可写在命令行上）。\n"
    "      该数据库中已有安装时拒绝，不会覆盖。\n"
    "  revozi-setup --migrate ROOT --server CONNINFO\n"
    "      把 ROOT 的安装（系统库和所有账套各年度的账套库）迁移到 CONNINFO 所指的空数据库，在一个事务中完成，\n"
    "      提交前逐表核对两边的内容；有任何不同、失败或中断都全部撤销。原安装不删除，只记下已迁移到的服务器。\n"
    "  revozi-setup --template FILE\n"
    "      写出账套库模板（构建时使用）。\n"
    "  -h, --help     显示本帮助\n"
    "  --version      显示版本\n"
    "退出状态：0 成功，1 失败（原因写到标准错误），2 用法错误。\n");

// The demo account set, made by the same work as the wizard's 完成, without its dialogs.
bool createDemoSet(const InstallationPlace& where)
{
    const bool server = where.onServer();
    Database sysDb;
    Installation::openSystemDatabase(sysDb, where);
    Installation::recoverInterrupted(sysDb);
    AccountSetInput in;
    in.accId = QStringLiteral("001");
    in.accName = QStringLiteral("演示账套");   // not translated: stored; the same set in every language
    // A server set's books are a schema; its path is only where an import into files puts them
    // by default, so it names this user's home rather than the root of the file system.
    in.accPath = server ? Paths::withTrailingSep(QDir::homePath()) : where.root();
    in.year = QString::number(QDate::currentDate().year());
    in.month = QStringLiteral("1");
    in.unitName = QStringLiteral("示范商贸有限公司");   // not translated: stored
    in.unitAbbre = QStringLiteral("示范商贸");   // not translated: stored
    in.master = QStringLiteral("demo");
    in.tradeKind = QStringLiteral("2007年新会计准则");   // not translated: an industry's stored name
    in.presetChart = true;
    const AccountSetOutcome out = AccountSetCreator(sysDb).create(in);
    if (!out.done()) {
        // There is no window to show the message in: it goes to the terminal.
        QTextStream(stderr) << "revozi-setup: " << out.notice.text << Qt::endl;
        return false;
    }
    if (server)
        QTextStream(stdout) << QCoreApplication::translate("revozi-setup", "已在服务器上建立演示账套 [001]演示账套") << Qt::endl;
    else
        QTextStream(stdout) << QCoreApplication::translate("revozi-setup", "已在 %1 建立演示账套 [001]演示账套").arg(Paths::parentDir(Paths::parentDir(out.accountDbPath)))
                            << Qt::endl;
    return true;
}

// --template FILE: the account-database template; the exit status.
int writeTemplate(const QString& file)
{
    try {
        AccountTemplate::create(file);
        // Books made from the template keep their free pages until an export releases them in
        // its copy (PRAGMA incremental_vacuum), at the speed of a file copy. The mode is chosen
        // by rebuilding the small template once.
        Database tmpl(file);
        tmpl.execute(QStringLiteral("PRAGMA auto_vacuum=INCREMENTAL"));
        tmpl.execute(QStringLiteral("VACUUM"));
        if (tmpl.scalar(QStringLiteral("PRAGMA auto_vacuum")).toInt() != 2)
            throw DbError(QCoreApplication::translate("revozi-setup", "无法设置模板的自动清理方式：%1").arg(file));
    } catch (const DbError& e) {
        QTextStream(stderr) << "revozi-setup: " << e.userText() << Qt::endl;
        return 1;
    }
    return 0;
}

// --migrate ROOT --server CONNINFO: the exit status (0 moved, 1 refused or failed).
int migrate(const QString& root, const ConnInfo& server)
{
    QTextStream err(stderr);
    const QString where = QDir::cleanPath(QDir(root).absolutePath());
    Database sysDb;
    try {
        Installation::openSystemDatabase(sysDb, InstallationPlace::files(where));
    } catch (const DbError& e) {
        err << "revozi-setup: " << e.userText() << Qt::endl;
        return 1;
    }
    const bool terminal = isatty(STDERR_FILENO);
    QString last;
    const MigrationOutcome out = Migration::moveToServer(sysDb, where, server, {}, {}, [&](const QString& table, qint64 bytes, qint64 total) {
        if (!terminal || table == last)
            return;
        last = table;
        err << QCoreApplication::translate("revozi-setup", "复制 %1（%2 / %3 MB）").arg(table).arg(bytes >> 20).arg(total >> 20) << Qt::endl;
    });
    if (out.done())
        QTextStream(stdout) << out.notice.text << Qt::endl;
    else
        err << "revozi-setup: " << out.notice.text << Qt::endl;
    return out.done() ? 0 : 1;
}

// Where the installation goes, from ROOT or --server CONNINFO (the arguments without --demo);
// nothing when they are wrong, which has been said (exit status 2).
std::optional<InstallationPlace> placeFrom(const QStringList& args)
{
    QTextStream err(stderr);
    if (args.size() == 2 && args[0] == QLatin1String("--server") && !args[1].startsWith(QLatin1Char('-'))) {
        const ConnInfo server(args[1]);
        // A password on the command line is visible to every user of the machine (ps).
        if (server.hasPassword()) {
            err << "revozi-setup: " << QCoreApplication::translate("revozi-setup", "连接串中不能写密码，请放在 ~/.pgpass 中。") << Qt::endl;
            return std::nullopt;
        }
        return InstallationPlace::server(server);
    }
    if (args.size() == 1 && !args[0].startsWith(QLatin1Char('-'))) {
        // Every path the installation stores (the demo set's, say) is absolute: a relative one
        // would be read from wherever a program is started later.
        return InstallationPlace::files(QDir::cleanPath(QDir(args[0]).absolutePath()));
    }
    err << QCoreApplication::translate("revozi-setup", "用法: revozi-setup ROOT [--demo]\n      revozi-setup --server CONNINFO [--demo]\n      revozi-setup --migrate ROOT --server CONNINFO\n      revozi-setup --template FILE\n（revozi-setup --help 列出用法）") << Qt::endl;
    return std::nullopt;
}

// Makes the installation, and the demo set with --demo, saying where; the exit status.
int makeInstallation(const InstallationPlace& where, bool demo)
{
    try {
        if (where.onServer())
            Installation::createServer(where.conn(), demo);
        else
            Installation::createRoot(where.root(), demo);
        if (where.onServer())
            QTextStream(stdout) << QCoreApplication::translate("revozi-setup", "已在服务器 %1 上建立安装").arg(where.conn().label()) << Qt::endl;
        else
            QTextStream(stdout) << QCoreApplication::translate("revozi-setup", "已在 %1 建立安装").arg(QDir::cleanPath(where.root())) << Qt::endl;
        if (demo && !createDemoSet(where))
            return 1;
    } catch (const DbError& e) {
        QTextStream(stderr) << "revozi-setup: " << e.userText() << Qt::endl;
        return 1;
    }
    return 0;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Language::install();
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        QTextStream(stdout) << QCoreApplication::translate("revozi-setup", kHelp);
        return 0;
    }
    if (args.contains(QStringLiteral("--version"))) {
        QTextStream(stdout) << "revozi-setup " << REVOZI_VERSION << Qt::endl;
        return 0;
    }
    if (args.size() == 2 && args[0] == QLatin1String("--template"))
        return writeTemplate(args[1]);
    if (args.size() == 4 && args[0] == QLatin1String("--migrate") && args[2] == QLatin1String("--server") && !args[1].startsWith(QLatin1Char('-'))
        && !args[3].startsWith(QLatin1Char('-'))) {
        const ConnInfo server(args[3]);
        // A password on the command line is visible to every user of the machine (ps).
        if (server.hasPassword() || !server.isValid()) {
            QTextStream(stderr) << "revozi-setup: "
                                << (server.hasPassword() ? QCoreApplication::translate("revozi-setup", "连接串中不能写密码，请放在 ~/.pgpass 中。") : server.error())
                                << Qt::endl;
            return 2;
        }
        return migrate(args[1], server);
    }
    const bool demo = args.removeAll(QStringLiteral("--demo")) > 0;
    const std::optional<InstallationPlace> where = placeFrom(args);
    if (!where)
        return 2;
    return makeInstallation(*where, demo);
}
