// The work's messages in English, the log's words in Chinese: with the English translations the
// core carries, what a refusal or failure tells the person has no Chinese left, while the audit
// log's row keeps its reason in Chinese, the same as in a Chinese console (a translated text
// stored, or a message outside the translations, would show here).
#include "BackupFixture.h"
#include "TestFiles.h"
#include "TestRoot.h"
#include "TestText.h"

#include <AuditQuery.h>
#include <Database.h>
#include <Language.h>
#include <LoginCheck.h>
#include <SealedStream.h>
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

    // The backup set's refusals and failures, told from wherever the sentence is made: the
    // import's own checks, the manifest's reader, the sealed stream, the export and the log's CSV.
    void backupFailures_areShownInEnglishAndLoggedInChinese()
    {
        BackupRoot env;
        Database& db = env.db();
        auto shownInEnglish = [](const QString& text) { QVERIFY2(!text.isEmpty() && !hasChinese(text), qPrintable(text)); };

        // Refused when the set is read: its manifest is damaged.
        const QString manifest = env.backup + QStringLiteral("/KdErpAct.sum");
        writeFile(manifest, "[BackupSum]\r\nVersion=1\r\nBytes=12\r\n");
        shownInEnglish(AccountImporter(db).load(env.lst).text);
        QCOMPARE(lastReason(db), QStringLiteral("校验文件KdErpAct.sum无法使用，无法引入！\r\n校验文件 %1 格式不正确").arg(manifest));

        // Failed in the restore: the data file grew after the questions.
        QVERIFY(QFile::remove(manifest));
        AccountImporter importer(db);
        QVERIFY(importer.load(env.lst).isEmpty() && importer.keepFolder().isEmpty());
        const QString data = importer.plan().dataFile();
        writeFile(data, readAll(data) + QByteArray(4096, '\0'));
        const AccountImporter::Result r = AccountImporter::restore(db, importer.plan());
        QCOMPARE(r.status, AccountImporter::Result::Status::Failed);
        shownInEnglish(r.notice.text);
        QCOMPARE(lastReason(db), QStringLiteral("引入的数据文件大小为%1字节，与引入文件记录的%2字节不符，文件不完整或已被改动，无法引入！\r\n%3")
                                     .arg(importer.plan().bytes + 4096).arg(importer.plan().bytes).arg(data));

        // Refused by the sealed stream: a wrong passphrase.
        const QString sealed = env.root() + QStringLiteral("/sealed");
        QVERIFY(exportSealed(db, QStringLiteral("003"), sealed, false, QStringLiteral("right")));
        shownInEnglish(importSealed(db, sealed + QStringLiteral("/KdErpAct.Lst"), QStringLiteral("wrong")).notice.text);
        QCOMPARE(lastReason(db), QStringLiteral("口令不正确"));

        // The export's and the CSV's failures carry their reason in both forms for the log row
        // the console and revozi-backup write.
        const QString nowhere = env.root() + QStringLiteral("/nowhere");
        AccountExporter exporter(db, QStringLiteral("003"));
        QVERIFY(exporter.prepare());
        QString error;
        QVERIFY(!exporter.writeBackupSet(nowhere, true, &error));
        shownInEnglish(error);
        QCOMPARE(exporter.failure().shown, error);
        QCOMPARE(exporter.failure().stored, QStringLiteral("备份目录 %1 不存在。").arg(nowhere));
        Words why;
        const QString lst = nowhere + QStringLiteral("/KdErpAct.Lst");
        QVERIFY(!BackupSet::saveAtomically(lst, "x", &why));   // as the export writes its manifest and descriptor
        shownInEnglish(why.shown);
        QCOMPARE(why.stored, QStringLiteral("文件夹不存在，无法写入 %1").arg(lst));
        QVERIFY(!AuditQuery(db).exportCsv({}, nowhere + QStringLiteral("/log.csv"), {}, &why));
        shownInEnglish(why.shown);
        QVERIFY2(why.stored.startsWith(QStringLiteral("无法写入文件 %1（详情：“").arg(nowhere + QStringLiteral("/log.csv"))), qPrintable(why.stored));
    }
};

QTEST_GUILESS_MAIN(tst_core_english)
#include "tst_core_english.moc"
