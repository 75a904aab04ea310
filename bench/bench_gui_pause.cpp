// How long the console's window thread goes without running its event loop (so without painting)
// while a backup set of about 500 MB books is exported and imported through the console's windows,
// offscreen: a timer ticking every 5 ms on that thread notes the longest gap between two ticks.
// The windows are played as a person would (the questions answered, the folder chosen); the work
// runs off the window thread. Yardstick: the same timer while the loop is idle for a second.
// Target: the longest pause of each export and import < 100 ms.
//
//   bench_gui_pause [WORKDIR] [SIZE_MB] [RUNS]     (defaults: the system temp folder, 500, 5)
#include "BenchSupport.h"
#include "Scripts.h"

#include <AccountDb.h>
#include <AccountSetCreator.h>
#include <FrmDelAcc.h>
#include <Installation.h>
#include <Module1.h>
#include <Session.h>
#include <Paths.h>
#include <frmAccExport.h>
#include <frmInput.h>
#include <frmMain.h>
#include <frmWait.h>
#include <frmwaiting.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

using namespace Bench;

namespace {
// The session of the console this bench runs, as main() would own it.
Session session;
QTextStream out(stdout);
constexpr double kTargetMs = 100;

// The longest time between two ticks of a 5 ms timer on this thread.
class PauseMeter {
public:
    PauseMeter()
    {
        m_timer.setInterval(5);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    double stop()
    {
        tick();
        m_timer.stop();
        return double(m_longest);
    }

private:
    void tick()
    {
        const qint64 now = m_clock.elapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0, m_longest = 0;
};

// Runs the event loop until `done` holds, as a modal window's loop would.
template <typename Done>
void waitUntil(Done done)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    loop.exec();
}

// 账套备份 → 确认 → 拷贝进程 → 压缩进程 → 选择备份目录 → 确认, as a person runs it.
bool exportThroughWindows(const QString& target)
{
    MsgBoxScript msgs;
    ModalScript modals;
    modals.on(QStringLiteral("frmwaiting"), [](QDialog& d) {
        for (int tick = 0; tick < 4; ++tick)
            static_cast<frmwaiting&>(d).Timer1_Timer();
        return d.result();
    });
    modals.on(QStringLiteral("frmWait"), [](QDialog& d) {
        static_cast<frmWait&>(d).Timer1_Timer();
        return d.result();
    });
    modals.on(QStringLiteral("frmAccExport"), [&](QDialog& d) {
        auto& f = static_cast<frmAccExport&>(d);
        f.Dir1->setCurrentIndex(f.dirModel->index(target));
        f.cmdOK->click();
        return d.result();
    });
    FrmDelAcc f(session);
    f.Form_Load();
    f.ComboAcc->setCurrentIndex(f.ComboAcc->findText(QStringLiteral("[001]测试账套")));
    f.CmdDel->click();
    QCoreApplication::processEvents();
    if (msgs.texts() != QStringList{QStringLiteral("输出账套成功！")})
        out << "export: " << msgs.texts().join(QStringLiteral(" / ")) << " (" << modals.shown.join(QStringLiteral(",")) << ")" << Qt::endl;
    return msgs.texts() == QStringList{QStringLiteral("输出账套成功！")};
}

// 引入: the file chosen, the folder kept, the overwrite confirmed, frmInput until it has finished.
bool importThroughWindows(frmMain& main, const QString& lst)
{
    MsgBoxScript msgs;
    msgs.answer(vb::vbNo);
    msgs.answer(vb::vbYes);
    ModalScript modals;
    modals.on(QStringLiteral("dlgImportFile"), [&](QDialog& d) {
        auto& f = static_cast<QFileDialog&>(d);
        f.selectFile(lst);
        f.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Open)->click();
        return d.result();
    });
    modals.on(QStringLiteral("frmInput"), [](QDialog& d) {
        auto& f = static_cast<frmInput&>(d);
        f.Timer1_Timer();
        waitUntil([&f] { return !f.working(); });
        return d.result();
    });
    main.mnuAccInput_Click();
    return msgs.texts().value(2) == QStringLiteral("帐套[001]引入成功！");
}
} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Options options;
    if (!readOptions(argc, argv, out, options))
        return 1;
    const int runs = options.runs;
    sayRuns(out, runs);
    QTemporaryDir dir(Paths::join(options.workDir, QStringLiteral("bench_gui_pause-XXXXXX")));
    const QString root = dir.path();
    AccountSet set = createAccountSet(root, 2024);
    generateBooks(set.books, options.sizeMb * 1024 * 1024, out);
    // The list the backup window offers, as creation leaves it.
    set.sysDb->execute(QStringLiteral("CREATE TABLE IF NOT EXISTS CreateAcc (cAcc_Id TEXT COLLATE NOCASE, cAcc_Name TEXT COLLATE NOCASE)"));
    set.sysDb->execute(QStringLiteral("INSERT INTO CreateAcc (cAcc_Id, cAcc_Name) VALUES ('001', '测试账套')"));
    set.sysDb.reset();
    session.setRoot(root);
    session.sysDb = std::make_unique<Database>(Installation::sysDbPath(root));
    session.user.id = QStringLiteral("admin");
    session.user.isAdmin = true;
    const QString target = Paths::join(root, QStringLiteral("备份"));
    QDir().mkpath(target);
    frmMain main(session);

    PauseMeter meter;
    Series idle, exports, imports;
    for (int i = 0; i < runs; ++i) {
        meter.start();
        waitUntil([t = QElapsedTimer()]() mutable {
            if (!t.isValid())
                t.start();
            return t.elapsed() >= 1000;
        });
        idle.values << meter.stop();
        meter.start();
        if (!exportThroughWindows(target))
            qFatal("the export through its windows failed");
        exports.values << meter.stop();
        meter.start();
        if (!importThroughWindows(main, Paths::join(target, QStringLiteral("KdErpAct.Lst"))))
            qFatal("the import through its windows failed");
        imports.values << meter.stop();
    }
    auto ms = [](const Series& s) {
        return QStringLiteral("min %1 ms, median %2 ms, max %3 ms").arg(s.min()).arg(s.median()).arg(s.max());
    };
    out << "  idle loop (yardstick):  " << ms(idle) << "\n";
    for (const auto& [name, s] : {std::pair<const char*, const Series&>{"export", exports}, {"import", imports}}) {
        out << "  " << name << " through windows: " << ms(s) << ", ratio of medians to idle " << s.median() / idle.median()
            << " (target: every run < " << kTargetMs << " ms): " << (s.max() < kTargetMs ? "MET" : "NOT MET") << "\n";
    }
    return 0;
}
