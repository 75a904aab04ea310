// Granting permissions to an operator or a role for one account set and year, without widgets.
#include "TestEngine.h"
#include "TestRoot.h"

#include <Database.h>
#include <PermissionGrant.h>

#include <QtTest>

namespace {
// Every holding as "holder:set/year/permission", sorted.
QStringList holdings(Database& db)
{
    QStringList out;
    Recordset rs = db.query(QStringLiteral("select * from SM_HoldAuth order by cUser_Id,cAcc_Id,iYear,cAuth_Id"));
    for (; !rs.Eof(); rs.MoveNext())
        out << QStringLiteral("%1:%2/%3/%4").arg(rs.text(QStringLiteral("cUser_Id")), rs.text(QStringLiteral("cAcc_Id")),
                                                 rs.text(QStringLiteral("iYear")), rs.text(QStringLiteral("cAuth_Id")));
    return out;
}

// chenl holds GL0101 in 001/2026 and GL0102 in 001/2025 and 002/2026; lijg holds GL0101 in 001/2026.
void arrange(Database& db)
{
    db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',2026,'chenl','GL0101'),"
                              "('001',2025,'chenl','GL0102'),('002',2026,'chenl','GL0102'),('001',2026,'lijg','GL0101')"));
}

GrantRequest chenl2026(const QStringList& ids)
{
    return GrantRequest{QStringLiteral("001"), 2026, QStringLiteral("chenl"), ids};
}
} // namespace

class tst_core_permissions : public QObject {
    Q_OBJECT
private slots:
    void grant_addsToTheSetAndYearOnlyAndKeepsOneRowPerPermission()
    {
        TestRoot env;
        Database& db = env.db();
        arrange(db);
        // Already held, held in another year or set, asked twice, held in another letter case.
        PermissionGrant::save(db, chenl2026({QStringLiteral("GL0101"), QStringLiteral("GL0102"), QStringLiteral("GL0102"),
                                             QStringLiteral("gl0101"), QStringLiteral("FA0101")}));
        QCOMPARE(holdings(db), (QStringList{"chenl:001/2025/GL0102", "chenl:001/2026/FA0101", "chenl:001/2026/gl0101",
                                            "chenl:001/2026/GL0102", "chenl:002/2026/GL0102", "lijg:001/2026/GL0101"}));
        // Nothing asked: nothing written, nothing revoked.
        PermissionGrant::save(db, chenl2026({}));
        QCOMPARE(holdings(db).size(), 6);
    }

    void grant_refusedStatementWritesNothing()
    {
        TestRoot env;
        Database& db = env.db();
        arrange(db);
        const QStringList before = holdings(db);
        // The refusal comes after a held permission was deleted and added again and a new one added.
        TestEngine::refuseInserts(db, QStringLiteral("SM_HoldAuth"), QStringLiteral("GL0105 refused"), QStringLiteral("new.cAuth_Id='GL0105'"));
        try {
            PermissionGrant::save(db, chenl2026({QStringLiteral("GL0101"), QStringLiteral("GL0103"), QStringLiteral("GL0105"), QStringLiteral("GL0106")}));
            QFAIL("the refused statement was not reported");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("GL0105 refused")), qPrintable(e.text()));
        }
        QCOMPARE(holdings(db), before);
    }

    // A refused removal takes nothing away, and its failed log row still lists what is held (read
    // again after the refusal: the removal reads it with its delete).
    void removeAll_refusedKeepsHoldingsAndSaysWhatIsHeld()
    {
        TestRoot env;
        Database& db = env.db();
        arrange(db);
        const QStringList before = holdings(db);
        TestEngine::refuseWrites(db, QStringLiteral("SM_HoldAuth"), QStringLiteral("removal refused"));
        QVERIFY_THROWS_EXCEPTION(DbError, PermissionGrant::removeAll(db, QStringLiteral("001"), 2026, QStringLiteral("chenl"), false));
        QCOMPARE(holdings(db), before);
        const Recordset row = db.query(QStringLiteral("select cResult, cContent from SM_Log order by rowid desc limit 1"));
        QCOMPARE(row.text(QStringLiteral("cResult")), QStringLiteral("失败"));
        QVERIFY2(row.text(QStringLiteral("cContent")).endsWith(QStringLiteral("GL0101、GL0102")), qPrintable(row.text(QStringLiteral("cContent"))));
    }
};

QTEST_GUILESS_MAIN(tst_core_permissions)
#include "tst_core_permissions.moc"
