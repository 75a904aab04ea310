// The work's messages in English, the log's words in Chinese: with the English translations the
// core carries, what a refusal or failure tells the person has no Chinese left, while the audit
// log's row keeps its reason in Chinese, the same as in a Chinese console (a translated text
// stored, or a message outside the translations, would show here).
#include "TestRoot.h"
#include "TestText.h"

#include <Database.h>
#include <Language.h>
#include <LoginCheck.h>
#include <SubsystemEnabler.h>

#include <QtTest>

namespace {
QString lastReason(Database& db)
{
    return db.scalar(QStringLiteral("select cReason from SM_Log order by rowid desc limit 1")).toString();
}
} // namespace

class tst_core_english : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("LANGUAGE", "en");
        Language::install();
    }

    void refusals_areShownInEnglishAndLoggedInChinese()
    {
        TestRoot env;
        Database& db = env.db();
        const AuditContext who{QStringLiteral("demo"), QStringLiteral("ws"), QStringLiteral("u")};

        // Refused before anything is written: the books are not where the set says.
        SubsystemEnabler enabler(db, who);
        const QString missing = env.root() + QStringLiteral("/nowhere.db");
        try {
            enabler.enable({QStringLiteral("001"), QStringLiteral("GL"), QDate(2024, 4, 1), missing});
            QFAIL("enabling the ledger without its books was not refused");
        } catch (const DbError& e) {
            QVERIFY2(!hasChinese(e.userText()) && e.userText().contains(missing), qPrintable(e.userText()));
            QCOMPARE(e.reasonText(), QStringLiteral("找不到账套[001]的账套库：%1").arg(missing));
        }
        QCOMPARE(lastReason(db), QStringLiteral("找不到账套[001]的账套库：%1").arg(missing));
        QVERIFY(!hasChinese(SubsystemEnabler::checkPeriod(QString(), QString(), 2024, 1)));

        // A wrong password: told in English, its log-in row's reason in Chinese.
        LoginCheck::ensureTable(db);
        LoginCheck check(db, [](const QString&, const QString&) { return false; });
        const LoginOutcome tried = check.attempt(QStringLiteral("demo"), QStringLiteral("x"), QStringLiteral("stored"), QVariant());
        QVERIFY(!tried.ok);
        QVERIFY2(!hasChinese(tried.notice.text) && !hasChinese(tried.notice.title), qPrintable(tried.notice.text + tried.notice.title));
        QCOMPARE(tried.reason, QStringLiteral("口令无效，请重新输入。"));
    }
};

QTEST_GUILESS_MAIN(tst_core_english)
#include "tst_core_english.moc"
