// revozi-start [ROOT]: what the launcher script `revozi` hands over when it cannot simply start the
// console: its options, and the first start. Without ROOT it uses the person's own installation
// ($XDG_DATA_HOME/revozi), made with revozi-setup on the first start after saying so; then it
// becomes revozi-admin on that root. REVOZI_BINDIR names the programs' folder (the script's own).
#include "FirstStart.h"
#include "Launcher.h"

#include <BuildInfo.h>
#include <MsgBox.h>

#include <QFile>
#include <QTextStream>

#include <cerrno>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace {
const char* const kHelp = QT_TRANSLATE_NOOP("revozi-start",
    "用法: revozi [ROOT]\n"
    "  启动 revozi 系统管理控制台（revozi-admin）。\n"
    "  不给 ROOT 时使用您自己的安装 $XDG_DATA_HOME/revozi（默认 ~/.local/share/revozi）；\n"
    "  第一次启动时，从终端启动则先说明再用 revozi-setup 建立它；从菜单启动则问怎样开始：\n"
    "  建立我自己的安装、连接单位的服务器（网络计算机浏览，然后登录），或取消。\n"
    "  给出 ROOT 时直接在安装目录 ROOT 上启动控制台。\n"
    "选项:\n"
    "  -h, --help     显示本帮助\n"
    "  --version      显示版本\n"
    "退出状态：控制台的退出状态；1 安装未建立或控制台无法启动，2 用法错误。\n");

// Says why the console could not take over (errno from its exec); the exit status.
int consoleDidNotStart(const QByteArray& console, bool terminal, int& argc, char** argv)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    std::optional<Launcher::BoxApplication> gui;
    std::optional<Launcher::TextApplication> plain;
    if (!terminal)
        gui.emplace(argc, argv);
    else
        plain.emplace(argc, argv);
    const QString why = QCoreApplication::translate("revozi-start", "无法启动控制台 %1：%2").arg(QFile::decodeName(console), reason);
    Launcher::say(why, vb::vbCritical, terminal);
    return 1;
}
} // namespace

int main(int argc, char* argv[])
{
    const QString arg = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
        Launcher::TextApplication text(argc, argv);
        QTextStream(stdout) << QCoreApplication::translate("revozi-start", kHelp);
        return 0;
    }
    if (arg == QLatin1String("--version")) {
        QTextStream(stdout) << "revozi " << REVOZI_VERSION << Qt::endl;
        return 0;
    }
    if (argc > 2 || arg.startsWith(QLatin1Char('-'))) {
        Launcher::TextApplication text(argc, argv);
        QTextStream(stderr) << "revozi: " << QCoreApplication::translate("revozi-start", "用法错误（revozi --help 列出用法）") << Qt::endl;
        return 2;
    }

    const bool personal = arg.isEmpty();
    const QString root = personal ? Launcher::personalRoot() : arg;
    // Started from a menu, nobody reads stderr: the person is told in a box instead.
    const bool terminal = isatty(STDERR_FILENO);
    const bool firstStart = personal && !Launcher::isInstallation(root);
    QByteArray console;
    QString server;   // the office's server chosen on the first start, if that was the way
    {
        // A window system only when a box may be needed.
        std::optional<Launcher::BoxApplication> gui;
        std::optional<Launcher::TextApplication> plain;
        if (firstStart && !terminal)
            gui.emplace(argc, argv);
        else
            plain.emplace(argc, argv);
        const QString programDir = qEnvironmentVariable("REVOZI_BINDIR", QCoreApplication::applicationDirPath());
        console = QFile::encodeName(programDir + QStringLiteral("/revozi-admin"));
        if (firstStart && !terminal) {
            // From the menu the person chooses how to begin; nothing is made without a choice.
            const Launcher::FirstStartPlan plan = Launcher::askFirstStart(root, Launcher::chooseServerInBrowser);
            if (plan.choice == Launcher::frmFirstStart::Choice::Cancel)
                return 1;
            server = plan.server;
        }
        if (firstStart && server.isEmpty() && !Launcher::makeInstallation(root, programDir + QStringLiteral("/revozi-setup"), terminal))
            return 1;
    }
    if (!server.isEmpty()) {
        const QByteArray conninfo = server.toUtf8();
        execl(console.constData(), console.constData(), "--server", conninfo.constData(), static_cast<char*>(nullptr));
    } else {
        const QByteArray rootArg = QFile::encodeName(root);
        execl(console.constData(), console.constData(), rootArg.constData(), static_cast<char*>(nullptr));
    }

    return consoleDidNotStart(console, terminal, argc, argv);
}
