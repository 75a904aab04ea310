// The log viewer as a person reads it: the console's rows in its own words, another module's rows
// by their module and code, a set's imported history marked, what the check did not cover said
// beside its verdict, and a supervisor's CSV export logged with the set's year.
#include "Scripts.h"
#include "TestEnv.h"

#include <AuditEvents.h>
#include <AuditTableModel.h>
#include <Database.h>
#include <Module1.h>
#include <frmLog.h>

#include <QBrush>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace Module1;

namespace {
QString cell(const frmLog& f, int row, int column, int role = Qt::DisplayRole)
{
    return f.model->data(f.model->index(row, column), role).toString();
}

// A row as the view shows it: action, result and check columns.
QString shown(const frmLog& f, int row)
{
    return QStringList{cell(f, row, AuditTableModel::ColAction), cell(f, row, AuditTableModel::ColResult),
                       cell(f, row, AuditTableModel::ColCheck)}
        .join(QLatin1Char('|'));
}
} // namespace

class tst_audit : public QObject {
    Q_OBJECT
private slots:
    void viewer_showsOnlyTheConsolesRowsInItsWords()
    {
        TestEnv env;
        env.loginAdmin();
        Database& db = env.db();
        const QString yesterday = QDate::currentDate().addDays(-1).toString(Qt::ISODate);
        QVERIFY(AuditLog::record(db, {}, Audit::granted(QStringLiteral("001"), 2024, QStringLiteral("lijg"), {})));
        // Another module's row that calls itself a deletion of a set by the console.
        db.execute(QStringLiteral("INSERT INTO SM_Log (cAcc_Id,iYear,cSub_Id,cUser_Id,dDate,cTime,cAction,cResult,cContent) "
                                  "VALUES ('001',2024,'GL','demo',?,'09:00:00','ACC_DELETE','成功','删除账套[001]')"),
                   {yesterday});
        // The set's history from another installation, as an import leaves it.
        const AuditLog::RowContent c{QStringLiteral("001"), QStringLiteral("2024"), QStringLiteral("AA"), QStringLiteral("wangxy"),
                                     QStringLiteral("总部"), QStringLiteral("wang"), yesterday, QStringLiteral("08:00:00"), Audit::kSetCreate,
                                     QStringLiteral("成功"), QString(), QStringLiteral("建立账套[001]"), QString()};
        db.execute(QStringLiteral("INSERT INTO SM_Log (%1, cHash, cOrigin) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)").arg(AuditLog::kContentColumns),
                   {c.accId, 2024, c.subId, c.operatorId, c.station, c.osUser, c.date, c.time, c.action, c.result, c.reason, c.detail,
                    c.prevHash, AuditLog::hashOf(c), AuditLog::kImported});

        frmLog f(env.session);
        f.Form_Load(false);
        f.checkChain();
        QCOMPARE(f.model->rowCount(), 3);
        QCOMPARE(shown(f, 0), QStringLiteral("授予权限|成功|"));
        QCOMPARE(shown(f, 2), QStringLiteral("建立账套|成功|引入的历史"));
        // Neither is this installation's chain: both greyed, the console's own row not.
        QVERIFY(f.model->data(f.model->index(0, 0), Qt::ForegroundRole).isNull());
        for (int row : {1, 2})
            QCOMPARE(f.model->data(f.model->index(row, 0), Qt::ForegroundRole).value<QBrush>().color(), QColor(0x70, 0x70, 0x70));
        QCOMPARE(f.lblCheck->text(), QStringLiteral("日志校验通过：1 条记录未被改动。另有引入的历史记录 1 条，不属于本机日志，已单独校验。"
                                                    "其他模块的记录 1 条不在校验之列。"));
        f.tblLog->selectRow(1);
        QVERIFY2(f.txtDetail->toPlainText().contains(QStringLiteral("模块：GL（不是系统管理的记录，不在校验之列）    动作代码：ACC_DELETE    结果：成功")),
                 qPrintable(f.txtDetail->toPlainText()));
        f.tblLog->selectRow(2);
        QVERIFY(f.txtDetail->toPlainText().contains(QStringLiteral("来源：随备份引入的账套历史记录，不属于本机日志")));
        // Asked for the console's deletions or successes, the viewer finds none of the module's rows.
        f.cboAction->setCurrentIndex(f.cboAction->findText(QStringLiteral("删除账套")));
        QCOMPARE(f.model->rowCount(), 0);
        f.cboAction->setCurrentIndex(0);
        f.cboResult->setCurrentIndex(f.cboResult->findText(QStringLiteral("成功")));
        QCOMPARE(f.model->rowCount(), 2);
    }

    void supervisorsExport_isLoggedWithTheSetsYear()
    {
        TestEnv env;
        env.loginSupervisor(QStringLiteral("demo"), QStringLiteral("001"), QStringLiteral("演示账套"), QStringLiteral("2024"));
        QVERIFY(AuditLog::record(env.db(), {}, Audit::granted(QStringLiteral("001"), 2024, QStringLiteral("lijg"), {})));
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("日志.csv"));
        MsgBoxScript msgs;
        ModalScript modals;
        modals.on(QStringLiteral("dlgExportLog"), [&](QDialog& d) {
            auto& chooser = static_cast<QFileDialog&>(d);
            chooser.selectFile(csv);
            chooser.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Save)->click();
            return d.result();
        });
        frmLog f(env.session);
        f.OnlyAccId = QStringLiteral("001");
        f.Form_Load(false);
        f.cmdExport_Click();
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("已导出 1 条记录到 %1").arg(csv)});
        QCOMPARE(env.db().scalar(QStringLiteral("select cAcc_Id||'|'||iYear from SM_Log where cAction=?"), {Audit::kLogExport}).toString(),
                 QStringLiteral("001|2024"));
    }
};

QTEST_MAIN(tst_audit)
#include "tst_audit.moc"
