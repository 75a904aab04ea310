// The work on operators, roles and passwords: each change commits with its log row or not at all,
// and what the forms cannot see happening meanwhile (a row removed by another workstation).
#include "BackupFixture.h"
#include "TestEngine.h"
#include "TestRoot.h"

#include <Database.h>
#include <OperatorWork.h>
#include <PasswordChange.h>
#include <PasswordHash.h>
#include <RoleWork.h>

#include <QtTest>

namespace {
const AuditContext kWho{QStringLiteral("admin"), QStringLiteral("财务-01"), QStringLiteral("kuaiji")};

// Everything an operator's or role's change may touch, besides the log.
QStringList users(Database& db)
{
    return rows(db, QStringLiteral("select cUser_Id||'|'||coalesce(cUser_Name,'')||'|'||coalesce(cDept,'')||'|'||coalesce(nState,0)||'|'||"
                                   "coalesce(cPassword,'') as r from SM_User order by cUser_Id"))
         + rows(db, QStringLiteral("select cGroup_Id||'|'||coalesce(cGroup_Name,'')||'|'||coalesce(cMemo,'') as r from SM_Group order by cGroup_Id"))
         + rows(db, QStringLiteral("select cGroup_Id||'|'||cUser_Id as r from SM_Role order by cGroup_Id, cUser_Id"))
         + rows(db, QStringLiteral("select cAcc_Id||'|'||cUser_Id||'|'||cAuth_Id as r from SM_HoldAuth order by cAcc_Id, cUser_Id, cAuth_Id"));
}

QStringList logged(Database& db)
{
    return rows(db, QStringLiteral("select cAction||'|'||cResult as r from SM_Log order by rowid"));
}

// One change as a form starts it: whether it was written, and what it tells.
using Change = std::function<UsersOutcome(Database&)>;

UsersOutcome asChange(const AddOutcome& out)
{
    return {out.next == AddOutcome::Next::Clear, out.notice};
}
} // namespace

class tst_core_userwork : public QObject {
    Q_OBJECT
private slots:
    void changes_commitWithTheirLogRowOrNotAtAll_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QString>("failure");      // the notice when the log refuses the row
        QTest::addColumn<QStringList>("rowsDone");   // the log rows the change writes
        QTest::addColumn<bool>("failedRow");       // a failed change leaves a failed row

        const QString stored = PasswordHash::hash(QStringLiteral("Old"));
        OperatorInput op{QStringLiteral("zz"), QStringLiteral("新人"), QStringLiteral("pw"), QStringLiteral("pw"), QStringLiteral("财务"),
                         QStringLiteral("9"), {QStringLiteral("MANAGER-GL")}};
        QTest::newRow("operator added") << Change([=](Database& db) { return asChange(OperatorWork::add(db, kWho, op, stored)); })
                                        << QStringLiteral("操作员:[zz]未能增加：注入的故障") << QStringList{"USER_ADD|成功"} << true;
        OperatorInput demo{QStringLiteral("demo"), QStringLiteral("改名"), QStringLiteral("New"), QStringLiteral("New"), QString()};
        demo.cancelled = true;
        QTest::newRow("operator changed") << Change([=](Database& db) { return OperatorWork::change(db, kWho, demo, true); })
                                          << QStringLiteral("操作员:[demo]未能修改：注入的故障") << QStringList{"USER_CANCEL|成功"} << true;
        QTest::newRow("operator deleted") << Change([](Database& db) { return OperatorWork::remove(db, kWho, QStringLiteral("lijg")); })
                                          << QStringLiteral("操作员[lijg]未能删除：注入的故障") << QStringList{"USER_DELETE|成功"} << true;
        const RoleInput role{QStringLiteral("R1"), QStringLiteral("出纳"), QStringLiteral("备注")};
        QTest::newRow("role added") << Change([=](Database& db) { return asChange(RoleWork::add(db, kWho, role, {QStringLiteral("demo")})); })
                                    << QStringLiteral("角色:[R1]未能增加：注入的故障") << QStringList{"ROLE_ADD|成功"} << true;
        const RoleInput gl{QStringLiteral("MANAGER-GL"), QStringLiteral("总账"), QString()};
        const QList<QPair<QString, bool>> offered{{QStringLiteral("wangxy"), true}, {QStringLiteral("demo"), false}};
        QTest::newRow("role changed") << Change([=](Database& db) { return RoleWork::change(db, kWho, gl, offered); })
                                      << QStringLiteral("角色:[MANAGER-GL]未能修改：注入的故障")
                                      << QStringList{"ROLE_MEMBER_ADD|成功", "ROLE_MEMBER_REMOVE|成功", "ROLE_EDIT|成功"} << true;
        QTest::newRow("role deleted") << Change([](Database& db) { return RoleWork::remove(db, kWho, QStringLiteral("EMPTY")); })
                                      << QStringLiteral("角色[EMPTY]未能删除：注入的故障") << QStringList{"ROLE_DELETE|成功"} << true;
        // A password not saved has never left a row.
        QTest::newRow("password changed") << Change([=](Database& db) {
            return PasswordChange(&db, kWho).change(QStringLiteral("wangxy"), stored, QStringLiteral("Old"), QStringLiteral("新"), QStringLiteral("新"));
        }) << QStringLiteral("口令未能保存：注入的故障") << QStringList{"PASSWORD|成功"} << false;
    }

    void changes_commitWithTheirLogRowOrNotAtAll()
    {
        QFETCH(Change, change);
        QFETCH(QString, failure);
        QFETCH(QStringList, rowsDone);
        QFETCH(bool, failedRow);
        TestRoot env;
        Database& db = env.db();
        db.execute(QStringLiteral("insert into SM_Group (cGroup_Id,cGroup_Name) values ('EMPTY','空')"));
        db.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('MANAGER-GL','demo')"));
        db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',2026,'lijg','GL01')"));
        const QStringList before = users(db);

        // The log refuses the change's row: nothing of the change stays, its failed row does.
        TestEngine::refuseInserts(db, QStringLiteral("SM_Log"), QStringLiteral("注入的故障"), QStringLiteral("new.cResult='成功'"));
        const UsersOutcome refused = change(db);
        TestEngine::allowInserts(db, QStringLiteral("SM_Log"));
        QVERIFY(!refused.done);
        // (the server puts its own words around the raised text)
        const QString injected = QStringLiteral("注入的故障");
        QVERIFY2(refused.notice.text.startsWith(failure.section(injected, 0, 0)) && refused.notice.text.contains(injected),
                 qPrintable(refused.notice.text));
        QCOMPARE(users(db), before);
        const QString action = rowsDone.last().section(QLatin1Char('|'), 0, 0);
        QCOMPARE(logged(db), failedRow ? QStringList{action + QStringLiteral("|失败")} : QStringList());

        // Allowed, the change and its rows are there together.
        const UsersOutcome done = change(db);
        QVERIFY(done.done);
        QVERIFY(users(db) != before);
        QCOMPARE(logged(db).mid(failedRow ? 1 : 0), rowsDone);
    }

    void changes_ofRowsRemovedMeanwhileAreToldAndNotLogged()
    {
        TestRoot env;
        Database& db = env.db();
        db.execute(QStringLiteral("insert into SM_Group (cGroup_Id,cGroup_Name) values ('GONE','去')"));
        db.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('GONE','demo')"));
        // Another workstation deletes the operator and the role after the grid was read.
        const OperatorInput op{QStringLiteral("nobody"), QStringLiteral("无"), QStringLiteral("x"), QStringLiteral("x"), QString()};
        const UsersOutcome user = OperatorWork::change(db, kWho, op, true);
        QCOMPARE(user.notice.text, QStringLiteral("操作员:[nobody]已不存在，未能修改。"));
        QCOMPARE(user.notice.icon, Notice::Icon::Exclamation);
        const RoleInput role{QStringLiteral("NONE"), QStringLiteral("无"), QString()};
        const UsersOutcome group = RoleWork::change(db, kWho, role, {{QStringLiteral("demo"), true}});
        QCOMPARE(group.notice.text, QStringLiteral("角色:[NONE]已不存在，未能修改。"));
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from SM_Role where cGroup_Id='NONE'")).toInt(), 0);
        const QString stored = PasswordHash::hash(QString());
        const UsersOutcome pw = PasswordChange(&db, kWho).change(QStringLiteral("nobody"), stored, QString(), QStringLiteral("n"), QStringLiteral("n"));
        QCOMPARE(pw.notice.text, QStringLiteral("输入的旧口令错误或此用户不存在！"));
        QVERIFY(logged(db).isEmpty());

        // A role with a member is refused, with its refused row; a wrong old password likewise.
        const UsersOutcome kept = RoleWork::mayDelete(db, kWho, QStringLiteral("GONE"));
        QVERIFY(!kept.done);
        QCOMPARE(kept.notice.text, QStringLiteral("角色：[GONE]已经启用（定义所属用户），不能删除！"));
        const UsersOutcome wrong = PasswordChange(&db, kWho).change(QStringLiteral("demo"), PasswordHash::hash(QStringLiteral("a")),
                                                                   QStringLiteral("A"), QString(), QString());
        QCOMPARE(wrong.notice.text, QStringLiteral("输入的旧口令错误或此用户不存在！"));
        QCOMPARE(logged(db), (QStringList{"ROLE_DELETE|拒绝", "PASSWORD|拒绝"}));
        // Without a system database the right old password is told so, and nothing else happens.
        QCOMPARE(PasswordChange(nullptr, kWho).change(QStringLiteral("demo"), QString(), QString(), QString(), QString()).notice.text,
                 QStringLiteral("系统库不存在"));
    }
};

QTEST_GUILESS_MAIN(tst_core_userwork)
#include "tst_core_userwork.moc"
