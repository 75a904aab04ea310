#include "Launcher.h"

#include <CiFile.h>
#include <Installation.h>
#include <Language.h>
#include <MsgBox.h>
#include <WindowIcon.h>

#include <QDir>
#include <QProcess>
#include <QTextStream>

namespace {
QString title() { return QCoreApplication::translate("Launcher", "revozi 系统管理"); }
}

namespace Launcher {
BoxApplication::BoxApplication(int& argc, char** argv)
    : app(argc, argv)
{
    Language::install();
    WindowIcon::install();
}

TextApplication::TextApplication(int& argc, char** argv)
    : app(argc, argv)
{
    Language::install();
}

QString personalRoot()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    // Relative values are not to be used: the folder would move with the working directory.
    const QString base = !xdg.isEmpty() && QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/revozi"));
}

bool isInstallation(const QString& root)
{
    return CiFile::isFile(Installation::sysDbPath(root));
}

void say(const QString& text, int icon, bool terminal)
{
    if (terminal)
        QTextStream(stderr) << "revozi: " << text << Qt::endl;
    else
        MsgBox(text, icon | vb::vbOKOnly, title());
}

bool makeInstallation(const QString& root, const QString& setupProgram, bool terminal)
{
    const QString plan = QCoreApplication::translate("Launcher", "首次启动：将在 %1 建立您自己的安装（系统库 DeZaduzi/DeZaduzi.mdb），以后每次启动都使用它。").arg(root);
    if (terminal)
        say(plan, vb::vbInformation, true);
    else if (MsgBox(plan, vb::vbOKCancel | vb::vbInformation, title()) != vb::vbOK)
        return false;

    QProcess setup;
    setup.start(setupProgram, {root});
    const bool ran = setup.waitForFinished(120000) && setup.exitStatus() == QProcess::NormalExit;
    const QString reason = QString::fromUtf8(setup.readAllStandardError()).trimmed();
    if (!ran || setup.exitCode() != 0 || !isInstallation(root)) {
        // The system's words for a program that would not start come only quoted after ours.
        const QString why = !reason.isEmpty() ? reason
                            : setup.error() == QProcess::FailedToStart
                                ? QCoreApplication::translate("Launcher", "无法启动 %1（详情：“%2”）").arg(setupProgram, setup.errorString())
                            : !ran ? QCoreApplication::translate("Launcher", "%1 未能正常结束（详情：“%2”）").arg(setupProgram, setup.errorString())
                                   : QCoreApplication::translate("Launcher", "退出状态 %1").arg(setup.exitCode());
        say(QCoreApplication::translate("Launcher", "无法在 %1 建立安装：%2").arg(root, why), vb::vbCritical, terminal);
        return false;
    }
    if (terminal)
        say(QCoreApplication::translate("Launcher", "已建立安装 %1").arg(root), vb::vbInformation, true);
    return true;
}
}
