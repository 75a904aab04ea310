// The configuration dialogs that complete an account set, driven as a person would, on a fresh
// installation and a copy of the shipped template (the books' place and the calendar's dates are
// tested in tests/core/tst_core_setup).
#include "Scripts.h"
#include "TestEnv.h"

#include <CiFile.h>
#include <Database.h>
#include <FlexGrid.h>
#include <Module1.h>
#include <Paths.h>
#include <UpDown.h>
#include <frmDate.h>
#include <frmGradeDef.h>
#include <frmMenology.h>
#include <frmkmbrowser.h>

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

using namespace Module1;

namespace {
// A copy of the shipped template where creation would put it: ROOT/books/zt001/<year>/KdData.mdb.
QString copyTemplate(TestEnv& env, const QString& name = QStringLiteral("KdData.mdb"), int year = 2024)
{
    const QString folder = Paths::join(env.root(), QStringLiteral("books/zt001/%1").arg(year));
    if (!CiFile::mkpath(folder))
        return QString();
    const QString file = Paths::join(folder, name);
    return CiFile::copy(TestEnv::templatePath(), file) ? file : QString();
}

QString accValue(Database& db, const QString& caption)
{
    return db.scalar(QStringLiteral("select cValue from AccInformation where cCaption=?"), {caption}).toString();
}

QStringList precisions(Database& db)
{
    QStringList out;
    for (const QString& c : frmDate::captions())
        out << accValue(db, c);
    return out;
}

QString rule(Database& db, const QString& keyword)
{
    return db.scalar(QStringLiteral("select CODINGRULE from GradeDef where keyword=?"), {keyword}).toString();
}

QStringList tabs(const QTabBar* bar)
{
    QStringList out;
    for (int i = 0; i < bar->count(); ++i)
        out << bar->tabText(i);
    return out;
}

// Moves to a cell of the coding-scheme grid and types there, as a person would.
void typeAt(frmGradeDef& f, int row, int col, const QString& keys)
{
    f.MSFlexGrid1->setRow(row);
    f.MSFlexGrid1->setCol(col);
    QTest::keyClicks(f.MSFlexGrid1, keys);
}

QString levels(const frmGradeDef& f, int row)
{
    QString out;
    for (int c = 5; c <= 13; ++c)
        out += f.MSFlexGrid1->TextMatrix(row, c).isEmpty() ? QStringLiteral(".") : f.MSFlexGrid1->TextMatrix(row, c);
    return out.left(out.lastIndexOf(QRegularExpression(QStringLiteral("[0-9]"))) + 1);
}
} // namespace

class tst_setup : public QObject {
    Q_OBJECT
private slots:
    // ---- Accounting calendar -------------------------------------------------------------

    void menology_periodsOfLeapAndCommonYears()
    {
        MsgBoxScript msgs;
        frmMenology f;
        QCOMPARE(f.windowTitle(), QStringLiteral("会计月历-建账"));
        const QList<QPair<int, QString>> februaries{{2023, QStringLiteral("2023-02-28")}, {2024, QStringLiteral("2024-02-29")}};
        for (const auto& [year, end] : februaries) {
            f.setYearMonth(QString::number(year), QStringLiteral("1"));
            f.Form_Load();
            QCOMPARE(f.MSFlexGrid1->TextMatrix(2, 1), QStringLiteral("%1-02-01").arg(year));
            QCOMPARE(f.MSFlexGrid1->TextMatrix(2, 2), end);
        }
        f.setYearMonth(QStringLiteral("2005"), QStringLiteral("3"));
        QCOMPARE(f.MSFlexGrid1->TextMatrix(12, 0), QStringLiteral("12"));
        QCOMPARE(f.MSFlexGrid1->TextMatrix(12, 1), QStringLiteral("2005-12-01"));
        QCOMPARE(f.MSFlexGrid1->TextMatrix(12, 2), QStringLiteral("2005-12-31"));
        QVERIFY(msgs.calls.isEmpty());
    }

    void menology_spinButtonsAreTheOnlyWayToChangeYearAndMonth()
    {
        MsgBoxScript msgs;
        frmMenology f;
        f.setYearMonth(QStringLiteral("2050"), QStringLiteral("12"));
        f.Form_Load();

        // At the top of the range the up button does nothing.
        f.udYear->upButton->click();
        QCOMPARE(f.txtYear->text(), QStringLiteral("2050"));
        f.udYear->downButton->click();
        QCOMPARE(f.txtYear->text(), QStringLiteral("2049"));
        QCOMPARE(f.MSFlexGrid1->TextMatrix(2, 2), QStringLiteral("2049-02-28"));
        f.udMonth->upButton->click();
        QCOMPARE(f.txtMonth->text(), QStringLiteral("12"));

        // Typing, Backspace and Delete change nothing; the arrow keys step the spin buttons.
        QTest::keyClicks(f.txtYear, QStringLiteral("1999"));
        QTest::keyClick(f.txtYear, Qt::Key_Backspace);
        QTest::keyClick(f.txtYear, Qt::Key_Delete);
        QTest::keyClicks(f.txtMonth, QStringLiteral("3"));
        QCOMPARE(f.txtYear->text(), QStringLiteral("2049"));
        QCOMPARE(f.txtMonth->text(), QStringLiteral("12"));
        QTest::keyClick(f.txtYear, Qt::Key_Up);
        QCOMPARE(f.txtYear->text(), QStringLiteral("2050"));
        QTest::keyClick(f.udMonth, Qt::Key_Down);
        QCOMPARE(f.txtMonth->text(), QStringLiteral("11"));
        QVERIFY(msgs.calls.isEmpty());

        // The periods from the start month on are marked; the grid's texts stay.
        FlexGrid* g = f.MSFlexGrid1;
        QCOMPARE(g->CellBackColor(10, 2), frmMenology::normalColor());
        QCOMPARE(g->CellBackColor(11, 1), frmMenology::startColor());
        f.udMonth->setValue(1);
        QCOMPARE(g->CellBackColor(10, 2), frmMenology::startColor());
        QCOMPARE(g->TextMatrix(1, 1), QStringLiteral("2050-01-01"));
    }

    void menology_yearOutsideTheRangeFallsBackToTheCurrentYear()
    {
        MsgBoxScript msgs;
        frmMenology f;
        const QString thisYear = QString::number(QDate::currentDate().year());
        for (const QString& bad : {QStringLiteral("2051"), QStringLiteral("1989"), QStringLiteral("20x4")}) {
            msgs.clear();
            f.setYearMonth(QStringLiteral("2010"), QStringLiteral("5"));
            f.setYearMonth(bad, QStringLiteral("5"));
            QCOMPARE(msgs.texts(), QStringList{QStringLiteral("会计年度设置错误！")});
            QCOMPARE(msgs.last().title, QStringLiteral("系统管理"));
            QCOMPARE(msgs.last().buttons, int(vb::vbOKOnly | vb::vbExclamation));
            QCOMPARE(f.txtYear->text(), thisYear);
            QCOMPARE(f.udYear->Value(), thisYear.toInt());
            QCOMPARE(f.MSFlexGrid1->TextMatrix(1, 1), thisYear + QStringLiteral("-01-01"));
        }
        msgs.clear();
        f.setYearMonth(QStringLiteral("1990"), QStringLiteral("1"));
        f.setYearMonth(QStringLiteral("2050"), QStringLiteral("1"));
        QVERIFY(msgs.calls.isEmpty());
        QCOMPARE(f.MSFlexGrid1->TextMatrix(1, 1), QStringLiteral("2050-01-01"));
    }

    // ---- Chart-of-accounts preview -------------------------------------------------------

    void kmbrowser_shows2007ChartByClass()
    {
        TestEnv env;
        env.loginAdmin();
        MsgBoxScript msgs;
        frmkmbrowser f;
        f.setWindowTitle(QStringLiteral("会计科目浏览--2007年新会计准则"));
        f.TradeId = qint16(env.db().scalar(QStringLiteral("select itrade_id from GL_BTrade where ctrade_name='2007年新会计准则'")).toInt());
        QVERIFY(f.Form_Load());
        QVERIFY(msgs.calls.isEmpty());

        QCOMPARE(tabs(f.SSTabTitle), (QStringList{QStringLiteral("全部"), QStringLiteral("共同"), QStringLiteral("成本"), QStringLiteral("损益"),
                                                  QStringLiteral("权益"), QStringLiteral("负债"), QStringLiteral("资产")}));
        QCOMPARE(f.SSTabTitle->currentIndex(), 0);
        FlexGrid* g = f.msfShowKM;
        QCOMPARE(g->Rows(), 1 + 216);
        QCOMPARE(g->TextMatrix(1, 0), QStringLiteral("1"));
        QCOMPARE(g->TextMatrix(1, 1), QStringLiteral("1001"));
        QCOMPARE(g->TextMatrix(1, 2), QStringLiteral("库存现金"));
        QCOMPARE(g->TextMatrix(3, 1), QStringLiteral(" 100201"));
        QCOMPARE(g->TextMatrix(3, 2), QStringLiteral(" 工商银行"));
        int vat = -1;
        for (int r = 1; r < g->Rows(); ++r) {
            QVERIFY(g->TextMatrix(r - 1, 1).trimmed() < g->TextMatrix(r, 1).trimmed() || r == 1);
            if (g->TextMatrix(r, 1).trimmed() == QStringLiteral("22210101"))
                vat = r;
        }
        QVERIFY(vat > 0);
        QCOMPARE(g->TextMatrix(vat, 0), QStringLiteral("3"));
        QCOMPARE(g->TextMatrix(vat, 1), QStringLiteral("  22210101"));
        QCOMPARE(g->TextMatrix(vat, 2), QStringLiteral("  进项税额"));

        // A class tab lists that class only, still by code; "全部" brings everything back.
        f.SSTabTitle->setCurrentIndex(2);
        QCOMPARE(g->Rows(), 1 + 9);
        for (int r = 1; r < g->Rows(); ++r)
            QVERIFY(g->TextMatrix(r, 1).trimmed().startsWith(QLatin1Char('5')));
        f.SSTabTitle->setCurrentIndex(0);
        QCOMPARE(g->Rows(), 1 + 216);
    }

    void kmbrowser_industryWithoutChartAndMissingSystemDatabase()
    {
        TestEnv env;
        env.loginAdmin();
        MsgBoxScript msgs;
        {
            frmkmbrowser f;
            f.TradeId = 77;
            QVERIFY(f.Form_Load());
            QCOMPARE(tabs(f.SSTabTitle), QStringList{QStringLiteral("全部")});
            QCOMPARE(f.msfShowKM->Rows(), 1);
            QVERIFY(!f.lblTip->isHidden());
            QVERIFY(msgs.calls.isEmpty());
        }
        env.db().execute(QStringLiteral("drop table GL_DPrecode"));
        {
            frmkmbrowser f;
            f.TradeId = 1;
            QVERIFY(!f.Form_Load());
            QCOMPARE(msgs.calls.size(), 1);
            QVERIFY(msgs.last().text.startsWith(QStringLiteral("读取预置会计科目时出错")));
        }
        gSysDb.reset();
        {
            frmkmbrowser f;
            f.TradeId = 1;
            QVERIFY(!f.Form_Load());
            QCOMPARE(msgs.calls.size(), 2);
        }
    }

    // ---- Data precision ------------------------------------------------------------------

    void date_createModeAsksOnlyWhenChanged()
    {
        TestEnv env;
        const QString file = copyTemplate(env);
        QVERIFY(!file.isEmpty());
        Database acc(file);
        // A stored value that creation mode must not show or touch unless saved.
        acc.execute(QStringLiteral("update AccInformation set cValue='5' where cCaption='存货数量小数位'"));
        gAccMode = 1;
        MsgBoxScript msgs;
        {
            frmDate f;
            f.AccDb = &acc;
            f.Form_Load();
            for (QLineEdit* t : f.Text1)
                QCOMPARE(t->text(), QStringLiteral("2"));
            f.cmdCancel->click();
            QVERIFY(msgs.calls.isEmpty());
            QCOMPARE(f.result(), int(QDialog::Rejected));
        }
        QCOMPARE(precisions(acc), (QStringList{"5", "2", "2", "2", "2"}));

        // "存货单价小数位" set to 4: No and Cancel close without saving ...
        for (int answer : {int(vb::vbNo), int(vb::vbCancel)}) {
            frmDate f;
            f.AccDb = &acc;
            f.Form_Load();
            QTest::keyClick(f.Text1[1], Qt::Key_4);
            msgs.answer(answer);
            f.cmdCancel->click();
            QCOMPARE(f.result(), int(QDialog::Rejected));
        }
        QCOMPARE(precisions(acc), (QStringList{"5", "2", "2", "2", "2"}));
        QCOMPARE(msgs.calls.size(), 2);
        QCOMPARE(msgs.last().text, QStringLiteral("数据精度的定义发生了改变，是否保存修改结果？"));
        QCOMPARE(msgs.last().title, QStringLiteral("提示！"));
        QCOMPARE(msgs.last().buttons, int(vb::vbYesNoCancel | vb::vbQuestion));

        // ... Yes writes all five rows. Escape closes the same way as 放弃.
        msgs.clear();
        frmDate f;
        f.AccDb = &acc;
        f.Form_Load();
        QTest::keyClick(f.Text1[1], Qt::Key_4);
        f.show();
        QTest::keyClick(&f, Qt::Key_Escape);
        QCOMPARE(msgs.calls.size(), 1);
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(precisions(acc), (QStringList{"2", "4", "2", "2", "2"}));
    }

    void date_modifyModeShowsStoredValuesAndSaves()
    {
        TestEnv env;
        const QString file = copyTemplate(env);
        Database acc(file);
        const QStringList stored{"0", "1", "3", "5", "6"};
        for (int i = 0; i < 5; ++i)
            acc.execute(QStringLiteral("update AccInformation set cValue=? where cCaption=?"), {stored[i], frmDate::captions()[i]});
        gAccMode = 2;
        MsgBoxScript msgs;
        {
            frmDate f;
            f.AccDb = &acc;
            f.Form_Load();
            QStringList shown;
            for (QLineEdit* t : f.Text1)
                shown << t->text();
            QCOMPARE(shown, stored);
            // The close box with nothing changed: no question.
            f.show();
            f.close();
            QVERIFY(msgs.calls.isEmpty());
        }
        frmDate f;
        f.AccDb = &acc;
        f.Form_Load();
        // Only 0 to 6 get in; 7, 9, a letter and Backspace change nothing.
        QTest::keyClick(f.Text1[0], Qt::Key_7);
        QTest::keyClick(f.Text1[0], Qt::Key_9);
        QTest::keyClick(f.Text1[0], Qt::Key_A);
        QTest::keyClick(f.Text1[0], Qt::Key_Backspace);
        QTest::keyClick(f.Text1[0], Qt::Key_Space);
        QCOMPARE(f.Text1[0]->text(), QStringLiteral("0"));
        QTest::keyClick(f.Text1[0], Qt::Key_6);
        QCOMPARE(f.Text1[0]->text(), QStringLiteral("6"));
        f.cmdOK->click();
        QVERIFY(msgs.calls.isEmpty());
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(precisions(acc), (QStringList{"6", "1", "3", "5", "6"}));
    }

    void date_missingRowOrDatabaseWritesNothing()
    {
        TestEnv env;
        const QString file = copyTemplate(env);
        Database acc(file);
        acc.execute(QStringLiteral("delete from AccInformation where cCaption='换算率小数位数'"));
        gAccMode = 1;
        MsgBoxScript msgs;
        {
            frmDate f;
            f.AccDb = &acc;
            f.Form_Load();
            QTest::keyClick(f.Text1[0], Qt::Key_0);
            f.cmdOK->click();
            QCOMPARE(msgs.calls.size(), 1);
            QVERIFY(msgs.last().text.contains(QStringLiteral("换算率小数位数")));
            QCOMPARE(f.result(), int(QDialog::Rejected));
        }
        QCOMPARE(accValue(acc, QStringLiteral("存货数量小数位")), QStringLiteral("2"));

        // Modify mode reports the missing row when loading.
        gAccMode = 2;
        msgs.clear();
        {
            frmDate f;
            f.AccDb = &acc;
            f.Form_Load();
            QCOMPARE(msgs.calls.size(), 1);
            QVERIFY(msgs.last().text.contains(QStringLiteral("换算率小数位数")));
        }

        // No database handed over; an emptied box is refused rather than saved as nothing.
        gAccMode = 1;
        msgs.clear();
        frmDate f;
        f.cmdOK->click();
        QCOMPARE(msgs.calls.size(), 1);
        f.AccDb = &acc;
        acc.execute(QStringLiteral("insert into AccInformation (cSysID,cName,cCaption,cValue) values ('AA','iExchRateDecDgt','换算率小数位数','2')"));
        f.Text1[2]->clear();
        f.cmdOK->click();
        QCOMPARE(msgs.calls.size(), 2);
        QVERIFY(msgs.last().text.contains(QStringLiteral("开票单价小数位")));
        QCOMPARE(f.result(), int(QDialog::Rejected));
        QCOMPARE(precisions(acc), (QStringList{"2", "2", "2", "2", "2"}));
    }

    // ---- Coding scheme -------------------------------------------------------------------

    void gradeDef_loadsTheTemplatesRows()
    {
        TestEnv env;
        const QString file = copyTemplate(env);
        Database acc(file);
        MsgBoxScript msgs;
        frmGradeDef f;
        f.AccDb = &acc;
        f.bPreset = true;
        f.bGoodClass = true;
        QVERIFY(f.Form_Load());
        QVERIFY(msgs.calls.isEmpty());
        FlexGrid* g = f.MSFlexGrid1;
        QCOMPARE(g->Rows(), 11);
        QCOMPARE(g->TextMatrix(1, 0), QStringLiteral("科目编码"));
        QCOMPARE(g->TextMatrix(1, 1), QStringLiteral("6"));
        QCOMPARE(g->TextMatrix(1, 2), QStringLiteral("15"));
        QCOMPARE(levels(f, 1), QStringLiteral("4222"));
        QCOMPARE(levels(f, 5), QStringLiteral("1223"));
        QStringList longest, classified;
        for (int r = 1; r < g->Rows(); ++r) {
            longest << g->TextMatrix(r, 3);
            classified << g->TextMatrix(r, 4);
        }
        QCOMPARE(longest, (QStringList{"9", "9", "9", "9", "9", "9", "5", "3", "9", "9"}));
        // 存货 follows its ticked box, 客户 and 供应商 their clear ones; the others are always 是.
        QCOMPARE(classified, (QStringList{"是", "否", "是", "是", "是", "是", "是", "是", "是", "否"}));
        QCOMPARE(g->TextMatrix(2, 0), QStringLiteral("客户分类编码"));
        QCOMPARE(g->TextMatrix(10, 0), QStringLiteral("供应商分类编码"));
    }

    void gradeDef_typingRules()
    {
        TestEnv env;
        const QString file = copyTemplate(env);
        Database acc(file);
        acc.execute(QStringLiteral("update GradeDef set LGRADE=4, LGRADELEN=10 where keyword='code'"));
        MsgBoxScript msgs;
        frmGradeDef f;
        f.AccDb = &acc;
        f.bPreset = true;
        QVERIFY(f.Form_Load());
        FlexGrid* g = f.MSFlexGrid1;

        // Four levels at most: level 5 takes nothing.
        typeAt(f, 1, 9, QStringLiteral("1"));
        QCOMPARE(levels(f, 1), QStringLiteral("4222"));
        // "0" removes the last level only; level 1 can never be removed.
        typeAt(f, 1, 7, QStringLiteral("0"));
        QCOMPARE(levels(f, 1), QStringLiteral("4222"));
        typeAt(f, 1, 8, QStringLiteral("0"));
        QCOMPARE(levels(f, 1), QStringLiteral("422"));
        // No gaps: level 5 stays closed while level 4 is empty.
        typeAt(f, 1, 9, QStringLiteral("2"));
        QCOMPARE(levels(f, 1), QStringLiteral("422"));
        typeAt(f, 1, 8, QStringLiteral("2"));
        QCOMPARE(levels(f, 1), QStringLiteral("4222"));
        // Total length 10: 4+2+2 and 3 over level 2 is 11, refused; 1 gives 9.
        QCOMPARE(f.CountTotal(1, 6), 8);
        typeAt(f, 1, 6, QStringLiteral("3"));
        QCOMPARE(levels(f, 1), QStringLiteral("4222"));
        typeAt(f, 1, 6, QStringLiteral("1"));
        QCOMPARE(levels(f, 1), QStringLiteral("4122"));
        // Delete acts as "0"; letters and the fixed columns take nothing.
        typeAt(f, 1, 8, QString());
        QTest::keyClick(g, Qt::Key_Delete);
        QCOMPARE(levels(f, 1), QStringLiteral("412"));
        typeAt(f, 1, 5, QStringLiteral("0"));
        QTest::keyClick(g, Qt::Key_Delete);
        QCOMPARE(levels(f, 1), QStringLiteral("412"));
        typeAt(f, 1, 7, QStringLiteral("a"));
        typeAt(f, 1, 4, QStringLiteral("3"));
        QCOMPARE(levels(f, 1), QStringLiteral("412"));
        QCOMPARE(g->TextMatrix(1, 4), QStringLiteral("是"));

        // Row 7 takes levels up to 5 long, row 8 up to 3.
        typeAt(f, 7, 8, QStringLiteral("6"));
        QCOMPARE(levels(f, 7), QStringLiteral("222"));
        typeAt(f, 7, 8, QStringLiteral("5"));
        QCOMPARE(levels(f, 7), QStringLiteral("2225"));
        typeAt(f, 8, 6, QStringLiteral("4"));
        QCOMPARE(levels(f, 8), QStringLiteral("12"));
        typeAt(f, 8, 6, QStringLiteral("3"));
        QCOMPARE(levels(f, 8), QStringLiteral("13"));

        // A preset chart with 客户 not classified: its loaded levels stay, later ones open.
        QCOMPARE(g->TextMatrix(2, 4), QStringLiteral("否"));
        typeAt(f, 2, 7, QStringLiteral("0"));
        typeAt(f, 2, 6, QStringLiteral("1"));
        QCOMPARE(levels(f, 2), QStringLiteral("223"));
        typeAt(f, 2, 8, QStringLiteral("2"));
        QCOMPARE(levels(f, 2), QStringLiteral("2232"));
        typeAt(f, 2, 8, QStringLiteral("0"));
        QCOMPARE(levels(f, 2), QStringLiteral("223"));

        // The current cell is marked, and unmarked again when left.
        g->setRow(3);
        g->setCol(6);
        QCOMPARE(g->CellBackColor(3, 6), frmGradeDef::currentColor());
        g->setCol(4);
        QCOMPARE(g->CellBackColor(3, 6), frmGradeDef::cellColor());
        QVERIFY(msgs.calls.isEmpty());

        f.cmdOK->click();
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(rule(acc, QStringLiteral("code")), QStringLiteral("412"));
        QCOMPARE(accValue(acc, QStringLiteral("科目编码")), QStringLiteral("412"));
        QCOMPARE(rule(acc, QStringLiteral("position")), QStringLiteral("2225"));
        QCOMPARE(accValue(acc, QStringLiteral("货位编码")), QStringLiteral("2225"));
        QCOMPARE(rule(acc, QStringLiteral("rdstyle")), QStringLiteral("13"));
        QCOMPARE(rule(acc, QStringLiteral("custclass")), QStringLiteral("223"));
    }

    void gradeDef_withoutPresetEveryLevelIsOpenAndEmptyRulesSave()
    {
        TestEnv env;
        const QString file = copyTemplate(env);
        Database acc(file);
        acc.execute(QStringLiteral("update GradeDef set CODINGRULE='' where keyword='itemclass'"));
        frmGradeDef f;
        f.AccDb = &acc;
        QVERIFY(f.Form_Load());
        typeAt(f, 2, 7, QStringLiteral("0"));
        typeAt(f, 2, 6, QStringLiteral("1"));
        QCOMPARE(levels(f, 2), QStringLiteral("21"));
        // An empty rule only gets a level 1.
        typeAt(f, 6, 6, QStringLiteral("2"));
        QCOMPARE(levels(f, 6), QString());
        f.cmdOK->click();
        QCOMPARE(rule(acc, QStringLiteral("custclass")), QStringLiteral("21"));
        QCOMPARE(accValue(acc, QStringLiteral("客户分类编码")), QStringLiteral("21"));
        QCOMPARE(acc.scalar(QStringLiteral("select CODINGRULE from GradeDef where keyword='itemclass'")), QVariant(QString()));
        QCOMPARE(acc.scalar(QStringLiteral("select cValue from AccInformation where cCaption='项目分类编码'")), QVariant(QString()));
    }

    void gradeDef_cancelAndDamagedDatabasesWriteNothing()
    {
        TestEnv env;
        const QString file = copyTemplate(env);
        Database acc(file);
        MsgBoxScript msgs;
        {
            frmGradeDef f;
            f.AccDb = &acc;
            QVERIFY(f.Form_Load());
            typeAt(f, 1, 9, QStringLiteral("2"));
            f.cmdCancel->click();
            QCOMPARE(f.result(), int(QDialog::Rejected));
        }
        QCOMPARE(rule(acc, QStringLiteral("code")), QStringLiteral("4222"));

        // An AccInformation row missing: a clear message, and the GradeDef rows stay as they were.
        acc.execute(QStringLiteral("delete from AccInformation where cCaption='货位编码'"));
        {
            frmGradeDef f;
            f.AccDb = &acc;
            QVERIFY(f.Form_Load());
            typeAt(f, 1, 9, QStringLiteral("2"));
            f.cmdOK->click();
            QCOMPARE(msgs.calls.size(), 1);
            QVERIFY(msgs.last().text.contains(QStringLiteral("货位编码")));
            QCOMPARE(f.result(), int(QDialog::Rejected));
        }
        QCOMPARE(rule(acc, QStringLiteral("code")), QStringLiteral("4222"));
        QCOMPARE(accValue(acc, QStringLiteral("科目编码")), QStringLiteral("4222"));

        // No database, or one without GradeDef: reported, and there is nothing to save.
        acc.execute(QStringLiteral("drop table GradeDef"));
        for (Database* db : {static_cast<Database*>(nullptr), &acc}) {
            frmGradeDef f;
            f.AccDb = db;
            QVERIFY(!f.Form_Load());
            QVERIFY(!f.cmdOK->isEnabled());
        }
        QCOMPARE(msgs.calls.size(), 3);
    }
};

QTEST_MAIN(tst_setup)
#include "tst_setup.moc"
