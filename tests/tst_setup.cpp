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

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

using namespace Module1;

namespace {
// An installation with a copy of the shipped template where creation would put it
// (ROOT/books/zt001/2024/KdData.mdb), and the message boxes scripted.
QString copyTemplate(TestEnv& env)
{
    const QString folder = Paths::join(env.root(), QStringLiteral("books/zt001/2024"));
    const QString file = Paths::join(folder, QStringLiteral("KdData.mdb"));
    return CiFile::mkpath(folder) && CiFile::copy(TestEnv::templatePath(), file) ? file : QString();
}

struct Fixture {
    TestEnv env;
    Database acc{copyTemplate(env)};
    MsgBoxScript msgs;
};

QString accValue(Database& db, const QString& caption)
{
    return db.scalar(QStringLiteral("select cValue from AccInformation where cCaption=?"), {caption}).toString();
}

QString rule(Database& db, const QString& keyword)
{
    return db.scalar(QStringLiteral("select CODINGRULE from GradeDef where keyword=?"), {keyword}).toString();
}

// The five precisions as stored.
QStringList precisions(Database& db)
{
    QStringList out;
    for (const QString& c : frmDate::captions())
        out << accValue(db, c);
    return out;
}

// The coding-scheme dialog on `acc`, loaded.
std::unique_ptr<frmGradeDef> gradeDialog(const Session& session, Database* acc, bool preset = false, bool goodClass = false)
{
    auto f = std::make_unique<frmGradeDef>(session);
    f->AccDb = acc;
    f->bPreset = preset;
    f->bGoodClass = goodClass;
    f->Form_Load();
    return f;
}

// Moves to a cell of the coding-scheme grid and types there, as a person would ("Del": the Delete key).
void typeAt(frmGradeDef& f, int row, int col, const QString& keys)
{
    f.MSFlexGrid1->setRow(row);
    f.MSFlexGrid1->setCol(col);
    if (keys == QLatin1String("Del"))
        QTest::keyClick(f.MSFlexGrid1, Qt::Key_Delete);
    else
        QTest::keyClicks(f.MSFlexGrid1, keys);
}

// The level lengths of a grid row as one string ("." for an empty level before a filled one).
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

    void menology_periodsSpinButtonsAndTheYearsRange()
    {
        MsgBoxScript msgs;
        frmMenology f;
        f.setYearMonth(QStringLiteral("2024"), QStringLiteral("1"));
        f.Form_Load();
        QCOMPARE(cells(f.MSFlexGrid1, 2, 3), QStringLiteral("2|2024-02-01|2024-02-29"));
        f.setYearMonth(QStringLiteral("2050"), QStringLiteral("12"));
        QCOMPARE(cells(f.MSFlexGrid1, 12, 3), QStringLiteral("12|2050-12-01|2050-12-31"));

        // At the top of the range the up buttons do nothing; down moves the grid with the year.
        // Typing, Backspace and Delete change nothing; the arrow keys step the spin buttons.
        auto yearMonth = [&f] { return f.txtYear->text() + "/" + f.txtMonth->text(); };
        f.udYear->upButton->click();
        f.udMonth->upButton->click();
        QCOMPARE(yearMonth(), QStringLiteral("2050/12"));
        f.udYear->downButton->click();
        QCOMPARE(f.MSFlexGrid1->TextMatrix(2, 2), QStringLiteral("2049-02-28"));
        QTest::keyClicks(f.txtYear, QStringLiteral("1999"));
        QTest::keyClick(f.txtYear, Qt::Key_Backspace);
        QTest::keyClick(f.txtYear, Qt::Key_Delete);
        QTest::keyClicks(f.txtMonth, QStringLiteral("3"));
        QCOMPARE(yearMonth(), QStringLiteral("2049/12"));
        QTest::keyClick(f.txtYear, Qt::Key_Up);
        QTest::keyClick(f.udMonth, Qt::Key_Down);
        QCOMPARE(yearMonth(), QStringLiteral("2050/11"));
        QVERIFY(msgs.calls.isEmpty());

        // The periods from the start month on are marked; the grid's texts stay.
        FlexGrid* g = f.MSFlexGrid1;
        QCOMPARE(g->CellBackColor(10, 2), frmMenology::normalColor());
        QCOMPARE(g->CellBackColor(11, 1), frmMenology::startColor());
        f.udMonth->setValue(1);
        QCOMPARE(g->CellBackColor(10, 2), frmMenology::startColor());
        QCOMPARE(g->TextMatrix(1, 1), QStringLiteral("2050-01-01"));

        // A year outside the range falls back to the current year, said once.
        const QString thisYear = QString::number(QDate::currentDate().year());
        for (const QString& bad : {QStringLiteral("2051"), QStringLiteral("1989"), QStringLiteral("20x4")}) {
            msgs.clear();
            f.setYearMonth(QStringLiteral("2010"), QStringLiteral("5"));
            f.setYearMonth(bad, QStringLiteral("5"));
            QCOMPARE(msgs.calls.size(), 1);
            QCOMPARE(seen(msgs.last()),
                     seen(QStringLiteral("会计年度设置错误！"), QStringLiteral("系统管理"), vb::vbOKOnly | vb::vbExclamation));
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

    void kmbrowser_showsTheChartByClassOrSaysWhyNot()
    {
        TestEnv env;
        MsgBoxScript msgs;
        env.loginAdmin();
        frmkmbrowser f(env.session);
        f.TradeId = qint16(env.db().scalar(QStringLiteral("select itrade_id from GL_BTrade where ctrade_name='2007年新会计准则'")).toInt());
        QVERIFY(f.Form_Load());
        QStringList tabs;
        for (int i = 0; i < f.SSTabTitle->count(); ++i)
            tabs << f.SSTabTitle->tabText(i);
        QCOMPARE(tabs, (QStringList{"全部", "共同", "成本", "损益", "权益", "负债", "资产"}));

        // Every account by code, indented by its grade.
        FlexGrid* g = f.msfShowKM;
        QCOMPARE(g->Rows(), 1 + 216);
        QCOMPARE(cells(g, 1, 3) + " / " + cells(g, 3, 3), QStringLiteral("1|1001|库存现金 / 2| 100201| 工商银行"));
        int vat = -1;
        for (int r = 2; r < g->Rows(); ++r) {
            QVERIFY(g->TextMatrix(r - 1, 1).trimmed() < g->TextMatrix(r, 1).trimmed());
            vat = g->TextMatrix(r, 1).trimmed() == QStringLiteral("22210101") ? r : vat;
        }
        QCOMPARE(cells(g, qMax(vat, 0), 3), QStringLiteral("3|  22210101|  进项税额"));

        // A class tab lists that class only; "全部" brings everything back.
        f.SSTabTitle->setCurrentIndex(2);
        QCOMPARE(g->Rows(), 1 + 9);
        for (int r = 1; r < g->Rows(); ++r)
            QVERIFY(g->TextMatrix(r, 1).trimmed().startsWith(QLatin1Char('5')));
        f.SSTabTitle->setCurrentIndex(0);
        QCOMPARE(g->Rows(), 1 + 216);

        // An industry without a chart: one tab, no rows, a tip.
        frmkmbrowser none(env.session);
        none.TradeId = 77;
        QVERIFY(none.Form_Load());
        QVERIFY(none.SSTabTitle->count() == 1 && none.msfShowKM->Rows() == 1 && !none.lblTip->isHidden());
        QVERIFY(msgs.calls.isEmpty());

        // The preset table gone, then no system database: refused with a message each time.
        auto refused = [&env] {
            frmkmbrowser f(env.session);
            f.TradeId = 1;
            return !f.Form_Load();
        };
        env.db().execute(QStringLiteral("drop table GL_DPrecode"));
        QVERIFY(refused());
        QCOMPARE(msgs.calls.size(), 1);
        QVERIFY(msgs.last().text.startsWith(QStringLiteral("读取预置会计科目时出错")));
        env.session.sysDb.reset();
        QVERIFY(refused());
        QCOMPARE(msgs.calls.size(), 2);
    }

    // ---- Data precision ------------------------------------------------------------------

    void date_asksSavesAndRefuses()
    {
        const QString ask = QStringLiteral("数据精度的定义发生了改变，是否保存修改结果？");
        const QString missing = QStringLiteral("delete from AccInformation where cCaption='换算率小数位数'");
        const QString stored = QStringLiteral("update AccInformation set cValue=case cCaption when '存货数量小数位' then '0' when '存货单价小数位' "
                                              "then '1' when '开票单价小数位' then '3' when '件数小数位数' then '5' else '6' end where cSysID='AA'");
        enum Close { None, Cancel, Ok, Escape, CloseBox };
        // Keys typed into one box: digits, 'a', ' ', '\b' (Backspace); '~' empties the box.
        // `said`: the one message expected (contained in its text), or none.
        const struct {
            int mode;
            QString sql, shown;
            int box;
            const char* keys;
            QString typed;
            Close close;
            int answer;
            QString said;
            int result;
            QString stored;
            bool noDb = false;
        } cases[] = {
            // Creation mode shows 2 everywhere and asks only when something changed: No (and
            // Cancel, the same way out) closes without saving, Yes (here through Escape) saves all five.
            {1, "update AccInformation set cValue='5' where cCaption='存货数量小数位'", "2,2,2,2,2", 1, "", "2", Cancel, 0, QString(), 0, "5,2,2,2,2"},
            {1, "update AccInformation set cValue='5' where cCaption='存货数量小数位'", "2,2,2,2,2", 1, "4", "4", Cancel, vb::vbNo, ask, 0, "5,2,2,2,2"},
            {1, "update AccInformation set cValue='5' where cCaption='存货数量小数位'", "2,2,2,2,2", 1, "4", "4", Escape, vb::vbYes, ask, 1, "2,4,2,2,2"},
            // Modification mode shows the stored values and takes only 0 to 6, one character.
            {2, stored, "0,1,3,5,6", 0, "", "0", CloseBox, 0, QString(), 0, "0,1,3,5,6"},
            {2, stored, "0,1,3,5,6", 0, "79a\b ", "0", Ok, 0, QString(), 1, "0,1,3,5,6"},
            {2, stored, "0,1,3,5,6", 0, "6", "6", Ok, 0, QString(), 1, "6,1,3,5,6"},
            // A missing row: said when saving in creation mode (nothing written), when loading in modification mode.
            {1, missing, "2,2,2,2,2", 0, "0", "0", Ok, 0, QStringLiteral("换算率小数位数"), 0, "2,2,2,2,"},
            {2, missing, "2,2,2,2,2", 0, "", "2", None, 0, QStringLiteral("换算率小数位数"), 0, "2,2,2,2,"},
            // No database handed over; an emptied box is refused rather than saved as nothing.
            {1, QString(), "2,2,2,2,2", 0, "", "2", Ok, 0, QStringLiteral("账套库未打开，数据精度未能保存。"), 0, "2,2,2,2,2", true},
            {1, QString(), "2,2,2,2,2", 2, "~", "", Ok, 0, QStringLiteral("请为“开票单价小数位”输入0到6之间的小数位数。"), 0, "2,2,2,2,2"},
        };
        for (const auto& c : cases) {
            Fixture x;
            if (!c.sql.isEmpty())
                x.acc.execute(c.sql);
            frmDate f(x.env.session);
            f.AccDb = c.noDb ? nullptr : &x.acc;
            f.Modifying = c.mode == 2;
            f.Form_Load();
            QStringList shown;
            for (const QLineEdit* t : f.Text1)
                shown << t->text();
            QCOMPARE(shown.join(','), c.shown);
            for (const char* k = c.keys; *k; ++k)
                *k == '~' ? f.Text1[c.box]->clear() : QTest::keyClick(f.Text1[c.box], *k);
            QCOMPARE(f.Text1[c.box]->text(), c.typed);
            if (c.answer)
                x.msgs.answer(c.answer);
            if (c.close == Escape || c.close == CloseBox)
                f.show();
            if (c.close == Cancel || c.close == Ok)
                (c.close == Ok ? f.cmdOK : f.cmdCancel)->click();
            else if (c.close == Escape)
                QTest::keyClick(&f, Qt::Key_Escape);
            else if (c.close == CloseBox)
                f.close();
            const QString said = x.msgs.texts().join(QLatin1Char('\n'));
            QVERIFY2(x.msgs.calls.size() == (c.said.isEmpty() ? 0 : 1) && said.contains(c.said), qPrintable(said));
            if (c.said == ask)
                QCOMPARE(seen(x.msgs.last()), seen(ask, QStringLiteral("提示！"), vb::vbYesNoCancel | vb::vbQuestion));
            QCOMPARE(f.result(), c.result);
            QCOMPARE(precisions(x.acc).join(','), c.stored);
        }
    }

    // ---- Coding scheme -------------------------------------------------------------------

    void gradeDef_loadingAndTypingRules()
    {
        Fixture x;
        auto& [env, acc, msgs] = x;
        acc.execute(QStringLiteral("update GradeDef set LGRADE=4, LGRADELEN=10 where keyword='code'"));
        auto f = gradeDialog(env.session, &acc, true, true);
        FlexGrid* g = f->MSFlexGrid1;
        QCOMPARE(g->Rows(), 11);
        QCOMPARE(cells(g, 1, 3) + "|" + levels(*f, 1), QStringLiteral("科目编码|4|10|4222"));
        QCOMPARE(levels(*f, 5), QStringLiteral("1223"));
        // 存货 follows its ticked box, 客户 (row 2) and 供应商 (row 10) their clear ones; the others are always 是.
        QStringList classified;
        for (int r = 1; r < g->Rows(); ++r)
            classified << g->TextMatrix(r, 4);
        QCOMPARE(classified, (QStringList{"是", "否", "是", "是", "是", "是", "是", "是", "是", "否"}));
        QCOMPARE(g->TextMatrix(2, 0) + "|" + g->TextMatrix(10, 0), QStringLiteral("客户分类编码|供应商分类编码"));

        // Row 1 (科目编码, loaded 4222): four levels at most, 10 long in total.
        const struct {
            int row, col;
            QString keys, levels;
            const char* why;
        } steps[] = {
            {1, 9, "1", "4222", "no level 5"},
            {1, 7, "0", "4222", "0 removes the last level only"},
            {1, 8, "0", "422", "0 removes the last level"},
            {1, 9, "2", "422", "no gaps: level 5 closed while level 4 is empty"},
            {1, 8, "2", "4222", "level 4 again"},
            {1, 6, "3", "4222", "4+3+2+2 is over 10"},
            {1, 6, "1", "4122", "4+1+2+2 fits"},
            {1, 8, "Del", "412", "Delete acts as 0"},
            {1, 5, "0", "412", "level 1 is never removed"},
            {1, 5, "Del", "412", "nor by Delete"},
            {1, 7, "a", "412", "a letter takes nothing"},
            {1, 4, "3", "412", "the fixed columns take nothing"},
            {7, 8, "6", "222", "row 7 takes levels up to 5 long"},
            {7, 8, "5", "2225", "row 7: 5"},
            {8, 6, "4", "12", "row 8 takes levels up to 3 long"},
            {8, 6, "3", "13", "row 8: 3"},
            // A preset chart with 客户 not classified: its loaded levels stay, later ones open.
            {2, 7, "0", "223", "a loaded level of an unclassified row stays"},
            {2, 6, "1", "223", "nor is it changed"},
            {2, 8, "2", "2232", "a later level opens"},
            {2, 8, "0", "223", "and goes again"},
        };
        for (const auto& s : steps) {
            typeAt(*f, s.row, s.col, s.keys);
            QVERIFY2(levels(*f, s.row) == s.levels, qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(s.why), levels(*f, s.row))));
        }
        QCOMPARE(g->TextMatrix(1, 4) + g->TextMatrix(2, 4), QStringLiteral("是否"));
        QVERIFY(msgs.calls.isEmpty());

        // Saved into GradeDef and the options alike.
        f->cmdOK->click();
        QCOMPARE(f->result(), int(QDialog::Accepted));
        QCOMPARE(QStringList({rule(acc, "code"), accValue(acc, "科目编码"), rule(acc, "position"), accValue(acc, "货位编码"),
                              rule(acc, "rdstyle"), rule(acc, "custclass")}),
                 (QStringList{"412", "412", "2225", "2225", "13", "223"}));
    }

    void gradeDef_withoutPresetAndWhatIsSaved()
    {
        Fixture x;
        auto& [env, acc, msgs] = x;
        acc.execute(QStringLiteral("update GradeDef set CODINGRULE='' where keyword='itemclass'"));
        // Without a preset chart every level is open; an empty rule only gets a level 1 and saves empty.
        auto f = gradeDialog(env.session, &acc);
        typeAt(*f, 2, 7, QStringLiteral("0"));
        typeAt(*f, 2, 6, QStringLiteral("1"));
        typeAt(*f, 6, 6, QStringLiteral("2"));
        QCOMPARE(levels(*f, 2) + "|" + levels(*f, 6), QStringLiteral("21|"));
        f->cmdOK->click();
        QCOMPARE(rule(acc, "custclass") + "|" + accValue(acc, "客户分类编码"), QStringLiteral("21|21"));
        QCOMPARE(rule(acc, "itemclass") + "|" + accValue(acc, "项目分类编码"), QStringLiteral("|"));
        QCOMPARE(acc.scalar(QStringLiteral("select typeof(CODINGRULE)||'|'||(select typeof(cValue) from AccInformation where cCaption='项目分类编码') "
                                           "from GradeDef where keyword='itemclass'")).toString(), QStringLiteral("text|text"));   // not Null

        // 放弃, then 确定 with an AccInformation row missing (a clear message): the rows stay as they were.
        for (QPushButton* frmGradeDef::*button : {&frmGradeDef::cmdCancel, &frmGradeDef::cmdOK}) {
            if (button == &frmGradeDef::cmdOK)
                acc.execute(QStringLiteral("delete from AccInformation where cCaption='货位编码'"));
            auto f = gradeDialog(env.session, &acc);
            typeAt(*f, 1, 9, QStringLiteral("2"));
            ((*f).*button)->click();
            QCOMPARE(f->result(), int(QDialog::Rejected));
            QCOMPARE(rule(acc, "code") + "|" + accValue(acc, "科目编码"), QStringLiteral("4222|4222"));
        }
        QCOMPARE(msgs.calls.size(), 1);
        QVERIFY(msgs.last().text.contains(QStringLiteral("货位编码")));

        // No database, or one without GradeDef: reported, and there is nothing to save.
        acc.execute(QStringLiteral("drop table GradeDef"));
        for (Database* db : {static_cast<Database*>(nullptr), &acc})
            QVERIFY(!gradeDialog(env.session, db)->cmdOK->isEnabled());
        QCOMPARE(msgs.calls.size(), 3);
    }
};

QTEST_MAIN(tst_setup)
#include "tst_setup.moc"
