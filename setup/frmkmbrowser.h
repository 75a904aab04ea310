#pragma once
// The chart-of-accounts preview: the preset chart of one industry (GL_DPrecode of the system
// database), "全部" and one tab per account class, lower levels indented. Read-only.
//
// Opening (the account-set wizard's 科目预览):
//   frmkmbrowser dlg;
//   dlg.setWindowTitle("会计科目浏览--" + industry name);
//   dlg.TradeId = itrade_id of the chosen industry;
//   dlg.Form_Load();            // reads the session's system database; a database error is reported here
//   ShowModal(dlg);             // nothing is returned
#include <QDialog>

class FlexGrid;
class QLabel;
class QPushButton;
class QTabBar;

struct Session;

class frmkmbrowser : public QDialog {
    Q_OBJECT
public:
    explicit frmkmbrowser(const Session& session, QWidget* parent = nullptr);

    // Input: the industry to show (itrade_id of GL_DPrecode).
    qint16 TradeId = 0;

    QTabBar* SSTabTitle = nullptr;   // tab 0 "全部", then the classes in order
    FlexGrid* msfShowKM = nullptr;   // 级次 | 科目编码 | 科目名称
    QLabel* lblTip = nullptr;        // shown when the industry has no preset accounts
    QPushButton* cmdClose = nullptr;

public slots:
    // False when the chart could not be read (the message has been shown).
    bool Form_Load();
    void SSTabTitle_Click();

private:
    bool m_loading = false;
private:
    const Session& m_session;
};
