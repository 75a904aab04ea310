#pragma once
// "分类编码方案": the length of each level of the codes of every classification in the account
// database's GradeDef, typed digit by digit into a grid, saved into GradeDef.CODINGRULE and
// into the AccInformation row captioned with the classification's name.
//
// Opening (account-set creation and modification):
//   frmGradeDef dlg;
//   dlg.AccDb = the open account database (owned by the caller, open while the dialog is shown);
//   dlg.Year = the year of those books (the log row's);
//   dlg.AccId = the set they belong to;
//   dlg.bPreset = the wizard's "按行业性质预置科目(&S)" is ticked;
//   dlg.bGoodClass / bCustClass / bProvClass = the wizard's "存货是否分类(&V)", "客户是否分类(&C)",
//                                               "供应商是否分类(&P)" are ticked;
//   if (dlg.Form_Load()) ShowModal(dlg);   // false: the scheme could not be read (already reported)
// Accepted when 确定 saved every row; nothing is written otherwise.
#include <QDialog>
#include <QStringList>

class Database;
class FlexGrid;
class QKeyEvent;
class QPushButton;
class Recordset;

struct Session;

class frmGradeDef : public QDialog {
    Q_OBJECT
public:
    explicit frmGradeDef(const Session& session, QWidget* parent = nullptr);

    // Inputs.
    Database* AccDb = nullptr;   // not owned
    int Year = 0;
    QString AccId;   // the set whose books these are (the log row's)
    bool bPreset = false;
    bool bGoodClass = false;
    bool bCustClass = false;
    bool bProvClass = false;

    // Columns: 0 项目, 1 最大级数, 2 最大长度, 3 单级最大长度, 4 是否分类, 5..13 levels 1..9,
    // 14 the rule as loaded (hidden).
    FlexGrid* MSFlexGrid1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

    // Sum of the level lengths of grid row `row` from level 1 up to the first empty level,
    // leaving out column `col` (the cell being typed into).
    int CountTotal(int row, int col) const;

    static QColor cellColor();      // every editable cell
    static QColor currentColor();   // the current cell of column 4 and beyond

public slots:
    bool Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click() {}
    void MSFlexGrid1_KeyPress(QKeyEvent* event);
    void MSFlexGrid1_EnterCell();

private:
    void setupColumns(int rows);
    void fillRow(int r, Recordset& rs);
    QString classifiedText(const QString& name) const;
    void fitToRows();
    // Applies one typed digit (0..9) to the current cell under the typing rules.
    void typeDigit(int digit);

    QStringList m_keywords;   // GradeDef.keyword of each grid row
    bool m_loaded = false;
    int m_prevRow = -1;
    int m_prevCol = -1;
private:
    const Session& m_session;
};
