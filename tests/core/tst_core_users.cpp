// Passwords kept as hashes, the login's check with its wait after wrong passwords, and the
// identifiers the lists cannot carry.
#include "TestFiles.h"
#include "TestRoot.h"

#include <Database.h>
#include <Installation.h>
#include <LoginCheck.h>
#include <OperatorWork.h>
#include <PasswordHash.h>
#include <RoleWork.h>
#include <UserIds.h>

#include <QtTest>

namespace {
QString stored(Database& db, const QString& user)
{
    return db.scalar(QStringLiteral("select cPassword from SM_User where cUser_Id=?"), {user}).toString();
}
} // namespace

class tst_core_users : public QObject {
    Q_OBJECT
private slots:
    void hash_storedNotTheTextAndVerified()
    {
        const QString password = QStringLiteral("Pa' 密码");
        const QString h = PasswordHash::hash(password);
        QVERIFY(PasswordHash::isHash(h));
        QVERIFY(!h.contains(password));
        QVERIFY(h != PasswordHash::hash(password));   // salted: equal passwords do not show
        QVERIFY(PasswordHash::verify(password, h));
        for (const char* wrong : {"pa' 密码", "Pa' 密码 ", ""})
            QVERIFY2(!PasswordHash::verify(QString::fromUtf8(wrong), h), wrong);
        // An empty password stays empty (Null alike) and takes only an empty entry.
        QCOMPARE(PasswordHash::hash(QString()), QStringLiteral(""));
        QVERIFY(PasswordHash::verify(QString(), QString()));
        QVERIFY(!PasswordHash::verify(QStringLiteral("x"), QString()));
        // A row not yet converted still compares exactly.
        QVERIFY(PasswordHash::verify(QStringLiteral("Old"), QStringLiteral("Old")));
        QVERIFY(!PasswordHash::verify(QStringLiteral("old"), QStringLiteral("Old")));
    }

    void open_convertsPlainRowsHereAndInTheMirror()
    {
        TestRoot env;
        // A server installation has no mirror on the workstation.
        const bool server = TestRoot::onServer();
        const QString mirrorPath = server ? QString() : env.makeMirror();
        env.db().execute(QStringLiteral("update SM_User set cPassword='Klartext1' where cUser_Id='demo'"));
        env.db().execute(QStringLiteral("update SM_User set cPassword='Zweites2' where cUser_Id='admin'"));
        if (!server)
            Database(mirrorPath).execute(QStringLiteral("update SM_User set cPassword='Spiegel3' where cUser_Id='demo'"));

        // The console converts only when a plain row is left (off its window's thread).
        QVERIFY(PasswordHash::hasPlain(env.db(), QStringLiteral("SM_User")));
        Database sys;
        Installation::openSystemDatabase(sys, env.place());
        QVERIFY(!PasswordHash::hasPlain(sys, QStringLiteral("SM_User")));
        QVERIFY(PasswordHash::verify(QStringLiteral("Klartext1"), stored(sys, QStringLiteral("demo"))));
        QVERIFY(PasswordHash::verify(QStringLiteral("Zweites2"), stored(sys, QStringLiteral("admin"))));
        // Empty and Null stay as they were.
        const QString quoted = QStringLiteral("select case when cPassword is null then 'NULL' else '<'||cPassword||'>' end from SM_User where cUser_Id=?");
        QCOMPARE(sys.scalar(quoted, {QStringLiteral("chenl")}).toString(), QStringLiteral("NULL"));
        QCOMPARE(sys.scalar(quoted, {QStringLiteral("wangxy")}).toString(), QStringLiteral("<>"));
        // Opening again changes nothing.
        const QString h = stored(sys, QStringLiteral("demo"));
        Database again;
        Installation::openSystemDatabase(again, env.place());
        QCOMPARE(stored(again, QStringLiteral("demo")), h);

        SKIP_ON_SERVER("the mirror and the files are the workstation's");
        Database mirror(mirrorPath);
        QVERIFY(PasswordHash::verify(QStringLiteral("Spiegel3"), stored(mirror, QStringLiteral("demo"))));
        // The old text is gone from the files, not only from the rows.
        for (const QString& path : {env.sysDbPath(), mirrorPath})
            for (const char* text : {"Klartext1", "Zweites2", "Spiegel3"})
                QVERIFY2(!readAll(path).contains(text), text);
    }

    void login_waitsAfterFiveWrongPasswordsDoublingUntilTheRightOne()
    {
        TestRoot env;
        Database sys;
        Installation::openSystemDatabase(sys, env.place());
        const QString h = PasswordHash::hash(QStringLiteral("right"));
        const QDateTime t0 = QDateTime(QDate(2026, 3, 18), QTime(9, 0), Qt::UTC);
        const QString wrongText = QStringLiteral("口令无效，请重新输入。");
        auto waitText = [](const QString& d) { return QStringLiteral("操作员[demo]口令错误次数过多，请%1后再试。").arg(d); };
        auto tryAt = [&](const char* typed, qint64 seconds, const QString& id = QStringLiteral("demo")) {
            // A new check each time: the count lives in the database, not in the object.
            return LoginCheck(sys).attempt(id, QString::fromLatin1(typed), h, 0, t0.addSecs(seconds));
        };
        for (int i = 0; i < 4; ++i)
            QCOMPARE(tryAt("wrong", i).notice.text, wrongText);
        QCOMPARE(tryAt("wrong", 4).notice.text, waitText(QStringLiteral("30秒")));
        // While it lasts even the right password is refused, and the refusal does not count.
        const LoginOutcome held = tryAt("right", 33);
        QVERIFY(!held.ok);
        QCOMPARE(held.notice.text, waitText(QStringLiteral("1秒")));
        QCOMPARE(held.notice.title, QStringLiteral("注册〖控制台〗"));
        QCOMPARE(LoginCheck(sys).waitSeconds(QStringLiteral("DEMO"), t0.addSecs(20)), 14);   // identifiers without case
        // Each further wrong password doubles the wait.
        QCOMPARE(tryAt("wrong", 34).notice.text, waitText(QStringLiteral("1分钟")));
        QCOMPARE(tryAt("wrong", 94).notice.text, waitText(QStringLiteral("2分钟")));
        QVERIFY(!tryAt("right", 213).ok);
        // Another operator is not held back.
        QVERIFY(tryAt("right", 100, QStringLiteral("lijg")).ok);
        // The right password after the wait lets in and starts the count anew.
        QVERIFY(tryAt("right", 214).ok);
        QCOMPARE(tryAt("wrong", 215).notice.text, wrongText);
        QCOMPARE(LoginCheck::durationText(3900), QStringLiteral("1小时5分钟"));
    }

    void login_cancelledOperatorRefusedUntilEnabled()
    {
        TestRoot env;
        Database sys;
        Installation::openSystemDatabase(sys, env.place());
        LoginCheck check(sys);
        const QString refused = QStringLiteral("操作员[lijg]已注销，不能登录。请系统管理员在操作员管理中启用后再登录。");
        QCOMPARE(check.attempt(QStringLiteral("lijg"), QString(), QString(), 1).notice.text, refused);
        QCOMPARE(check.attempt(QStringLiteral("lijg"), QString(), QString(), 2).notice.text, refused);
        // A wrong password says only that.
        QCOMPARE(check.attempt(QStringLiteral("lijg"), QStringLiteral("x"), QString(), 1).notice.text, QStringLiteral("口令无效，请重新输入。"));
        QVERIFY(check.attempt(QStringLiteral("lijg"), QString(), QString(), 0).ok);
        QVERIFY(check.attempt(QStringLiteral("lijg"), QString(), QString(), QVariant()).ok);
    }

    // Checked before a new operator or role is written; names may hold anything.
    void ids_thatBreakTheListsAreRefused()
    {
        for (const char* bad : {"demo]x", "a,b", "[x", "x["}) {
            const QString id = QString::fromLatin1(bad);
            QCOMPARE(OperatorWork::checkNew({id, QStringLiteral("甲,[乙]"), {}, {}, {}}, QString()).notice.text,
                     QStringLiteral("操作员编号“%1”含有“[”、“]”或“,”，不能增加!").arg(id));
            QCOMPARE(RoleWork::checkNew({id, QStringLiteral("甲,[乙]"), {}}, QString()).notice.text,
                     QStringLiteral("角色编号“%1”含有“[”、“]”或“,”，不能增加!").arg(id));
        }
        for (const char* fine : {"o'k", "张三", "a b;c", "a，b"})
            QVERIFY2(UserIds::refusal(QStringLiteral("角色"), QString::fromUtf8(fine)).isEmpty(), fine);
    }
};

QTEST_GUILESS_MAIN(tst_core_users)
#include "tst_core_users.moc"
