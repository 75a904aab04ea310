#pragma once
// "数据精度定义": the decimal places (0 to 6) of five kinds of numbers of an account set,
// kept in the account database's AccInformation rows keyed by the labels' captions.
//
// Opening (account-set creation and modification):
//   frmDate dlg;
//   dlg.AccDb = the open account database (owned by the caller, open while the dialog is shown);
//   dlg.Year = the year of those books (the log row's);
//   dlg.AccId = the set they belong to;
//   dlg.Modifying = whether the wizard modifies the set (true) or creates it;
//   dlg.Form_Load();            // modifying shows the stored values, creating the defaults "2"
//   ShowModal(dlg);             // Accepted when the values were saved (确定, or Yes to the closing question)
// A missing database or row is reported and nothing is written.
#include <QDialog>
#include <QList>
#include <QStringList>

class Database;
class QLabel;
class QLineEdit;
class QPushButton;

struct Session;

class frmDate : public QDialog {
    Q_OBJECT
public:
    explicit frmDate(const Session& session, QWidget* parent = nullptr);

    // Inputs: the account database, not owned, and the year of its books.
    Database* AccDb = nullptr;
    int Year = 0;
    QString AccId;   // the set whose books these are (the log row's)
    // Input: the wizard modifies the set (the stored values are shown) rather than creates it.
    bool Modifying = false;

    QLabel* Label1 = nullptr;
    QList<QLabel*> Label2;       // captions = the cCaption keys, index 0..4
    QList<QLineEdit*> Text1;     // one digit 0..6 each
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

    static const QStringList& captions();

public slots:
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click() {}
    // Closing without 确定 (放弃, Escape, the close box) asks when something changed.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Writes all five values in one transaction; false after a message when nothing was written.
    bool save();
    // Whether the boxes differ from what is stored (modify) or from the defaults (create).
    bool changed();
private:
    const Session& m_session;
};
