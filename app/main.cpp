// revozi-admin ROOT[,...]: the administration console on the installation at ROOT.
#include "Startup.h"
#include "frmMain.h"
#include "UsedServers.h"

#include <BuildInfo.h>
#include <ConnInfo.h>
#include <Language.h>
#include <Session.h>
#include <WindowIcon.h>

#include <QApplication>
#include <QTextStream>

#include <cstring>

namespace {
const char* const kHelp = QT_TRANSLATE_NOOP("revozi-admin",
    "用法: revozi-admin ROOT[,...]\n"
    "  在安装目录 ROOT（含系统库 DeZaduzi/DeZaduzi.mdb）上启动 revozi 系统管理控制台。\n"
    "  命令行中第一个逗号之前的部分是安装目录；没有命令行时程序立即结束。\n"
    "  从菜单启动请用 revozi，它在第一次启动时建立您自己的安装。\n"
    "用法: revozi-admin --server CONNINFO\n"
    "  在服务器上的安装（libpq 连接串，口令放在 ~/.pgpass）上启动控制台并打开登录窗口，\n"
    "  登录窗口预先选好该服务器；不需要安装目录。\n"
    "环境变量:\n"
    "  REVOZI_SYSDIR=DIR   系统目录，其中可有镜像系统库 DeZaduzi/DeZaduzi.mdb\n"
    "  REVOZI_EDITION=1    以版本 1 运行（树形授权对话框，登录时无服务器一行）\n"
    "选项（单独给出时）:\n"
    "  -h, --help          显示本帮助\n"
    "  --version           显示版本\n");
}

int main(int argc, char* argv[])
{
    // Alone on the command line, these answer without a window; any other text is the root.
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        QCoreApplication text(argc, argv);
        Language::install();
        QTextStream(stdout) << QCoreApplication::translate("revozi-admin", kHelp);
        return 0;
    }
    if (argc == 2 && !std::strcmp(argv[1], "--version")) {
        QTextStream(stdout) << "revozi-admin " << REVOZI_VERSION << Qt::endl;
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("revozi-admin"));
    Language::install();
    QApplication::setApplicationDisplayName(frmMain::shownCaption());
    WindowIcon::install();

    Startup::closeEarlierInstances();
    // The run's session: what the login sets up and every form the console opens reads.
    Session session;
    session.edition = Startup::edition();

    QStringList args = QApplication::arguments();
    args.removeFirst();
    // --server CONNINFO: a server installation has no root folder; the login opens on that server,
    // remembered as this workstation's last choice as if chosen in 网络计算机浏览.
    const bool onServer = args.size() == 2 && args.first() == QLatin1String("--server");
    if (onServer) {
        const ConnInfo server(args.at(1));
        if (!server.isValid()) {
            QTextStream(stderr) << "revozi-admin: " << QCoreApplication::translate("revozi-admin", "连接串无法读取：") << (server.isEmpty() ? args.at(1) : server.error()) << Qt::endl;
            return 2;
        }
        UsedServers::remember(server);
        session.installation = InstallationPlace::server(server);
    } else {
        const QString root = Startup::rootFromCommandLine(args.join(QLatin1Char(' ')));
        if (root.isEmpty())
            return 0;
        session.setRoot(root);
    }

    frmMain console(session);
    if (!console.Form_Load()) {
        session.task.reset();
        session.sysDb.reset();
        return 0;
    }
    console.show();
    if (onServer)
        QMetaObject::invokeMethod(&console, &frmMain::mnuSysReg_Click, Qt::QueuedConnection);
    const int code = app.exec();
    // The console's task ends and the kept handle closes while the SQL driver is still loaded.
    session.task.reset();
    session.sysDb.reset();
    return code;
}
