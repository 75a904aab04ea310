#pragma once
// Subsystem enabling: from which accounting period each module of the current account set
// (the one it is opened for, through the session's system database) is in use.
//
// Opening it (the console's "启用(&S)" and account-set creation):
//     frmSysStart dlg(session, accId, parent);
//     dlg.accDbPath = AccountDb::databasePath(cAcc_Path, accId, start year);
//     dlg.Form_Load();
//     ShowModal(dlg);
// `accDbPath` is the set's account database (KdData.mdb of its start year), resolved by the
// opener because this folder does not know the folder rule. Only the general ledger's
// enabling writes there; the opener must not hold a write transaction open on that file.
// The dialog has no result: what it did is in the databases.
#include <QDialog>
#include <QList>

class FlexGrid;
class QCheckBox;
class QLabel;
class QLayout;
class QPushButton;

struct Session;

class frmSysStart : public QDialog {
    Q_OBJECT
public:
    explicit frmSysStart(const Session& session, const QString& accId, QWidget* parent = nullptr);

    // Input: the account database that receives the ledger start date.
    QString accDbPath;

    QLabel* Label1 = nullptr;
    FlexGrid* MSFlexGrid1 = nullptr;
    QList<QCheckBox*> chkID;      // indexes 1 to 12 (index 0 is unused); index = grid row
    QList<QPushButton*> cmdTool;  // 0 "刷新", 1 "帮助", 2 "退出"

    // The set's start period as loaded (empty when the set has no SM_Account row).
    QString startYear() const { return m_startYear; }
    QString startMonth() const { return m_startMonth; }

public slots:
    void Form_Load();
    void chkID_Click(int index);
    void MSFlexGrid1_DblClick();
    void cmdTool_Click(int index);

private:
    QLayout* buildTools();
    void buildGrid();
    void buildBoxes();
    void enableModule(int index);
    void disableModule(int index);
    // Changes a box without running its click reaction (the suppress flag).
    void setBoxQuietly(int index, bool checked);

    QString m_startYear;
    QString m_startMonth;
    bool m_suppress = false;
    bool m_repick = false;
private:
    const Session& m_session;
    const QString m_accId;
};
