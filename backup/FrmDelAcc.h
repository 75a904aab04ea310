#pragma once
// "账套备份": chooses an account set of CreateAcc and exports it, or deletes it when
// "删除当前输出账套" is ticked; either holds its function on the set (the console's task) while it runs.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

struct Session;

class FrmDelAcc : public QDialog {
    Q_OBJECT
public:
    explicit FrmDelAcc(const Session& session, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QComboBox* ComboAcc = nullptr;
    QCheckBox* chkAcc = nullptr;
    QPushButton* CmdDel = nullptr;
    QPushButton* CmdCancel = nullptr;
    QPushButton* Command1 = nullptr;

    // Fills ComboAcc with "[number]name" for every row of CreateAcc.
    void LoadCreateAcc();
    // The set last chosen with brackets (exported or deleted); the session's until then. The
    // console makes it the session's set.
    QString chosenAccId() const { return m_accId; }

public slots:
    void Form_Load();
    void CmdDel_Click();
    void CmdCancel_Click();
    void Command1_Click();

private:
    void deleteSet(const QString& accId);
    void exportSet(const QString& accId);
private:
    const Session& m_session;
    QString m_accId;
};
