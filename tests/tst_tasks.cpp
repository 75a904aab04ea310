// The console's grids of every workstation's tasks, 刷新, and the administrator's clearings, with a
// second registry in the test standing for another workstation.
#include "ScriptedConsole.h"

#include <FlexGrid.h>
#include <SysInfo.h>

using namespace Module1;

using Console = ScriptedConsole;

class tst_tasks : public QObject {
    Q_OBJECT
private slots:
    // Below the console's own row, the other workstation's task; below the headers of the lower
    // grid, what it works on; 刷新 reads a task that came later; the logout ends the console's task.
    void otherWorkstationsSeen()
    {
        SKIP_ON_SERVER("the form tests' installations are files");
        TestEnv env;
        Workstation other(env, QStringLiteral("会计室-2"));
        QVERIFY(other.task.claim(QStringLiteral("001"), 2026, Tasks::Function::Export).granted());
        Console c(env);
        c.login(QStringLiteral("admin"));
        FlexGrid* g1 = c.main.MSFlexGrid1;
        QCOMPARE(g1->Rows(), 3);
        QCOMPARE(g1->TextMatrix(1, 0), QStringLiteral("控制台"));
        QCOMPARE(cells(g1, 2, 3), QStringLiteral("控制台|会计室-2|正常"));
        FlexGrid* g2 = c.main.MSFlexGrid2;
        QCOMPARE(g2->Rows(), 2);
        QCOMPARE(cells(g2, 1, 3), QStringLiteral("001|2026|demo"));
        QVERIFY(g2->RowHeight(1) > 0);

        Workstation later(env, QStringLiteral("会计室-3"));
        c.main.mnuViewRef_Click();
        QCOMPARE(g1->Rows(), 4);
        QCOMPARE(other.task.tasks().size(), 3);
        c.main.mnuSysU_Click();
        QCOMPARE(other.task.tasks().size(), 2);
        QCOMPARE(g2->RowHeight(1), 0);
    }

    // 清除异常任务 names the dead task and removes it after Yes (No keeps it); a live task is never
    // offered. 清除单据锁定 then has nothing left to release.
    void clearingsTakeOnlyDeadTasks()
    {
        SKIP_ON_SERVER("the form tests' installations are files");
        TestEnv env;
        // A task of this workstation whose process is gone: abnormal at once.
        Workstation dead(env, SysInfo::computerName(), QStringLiteral("demo"), 999999999);
        QVERIFY(dead.task.claim(QStringLiteral("001"), 2026, Tasks::Function::Import).granted());
        Workstation live(env, QStringLiteral("会计室-2"));
        Console c(env);
        c.login(QStringLiteral("admin"));
        c.msgs.answer(vb::vbNo);
        c.main.mnuViewClear_Click();
        QCOMPARE(live.task.tasks().size(), 3);
        QVERIFY(!c.msgs.last().text.contains(QStringLiteral("会计室-2")));
        c.msgs.clear();
        c.msgs.answer(vb::vbYes);
        c.main.mnuViewClear_Click();
        QCOMPARE(live.task.tasks().size(), 2);
        QCOMPARE(live.task.functions().size(), 0);
        QCOMPARE(env.db().scalar(QStringLiteral("select count(*) from SM_Log where cAction='TASK_CLEAR'")).toInt(), 1);
        c.msgs.clear();
        c.main.mnuViewU_Click();
        QCOMPARE(c.msgs.texts(), QStringList{QStringLiteral("没有需要清除的单据锁定。")});
    }
};

QTEST_MAIN(tst_tasks)
#include "tst_tasks.moc"
