#pragma once
// The five pages of the account-set wizard, each with its own controls, its completeness check
// and what it hands to AccountSetCreator. The wizard (frmAccount) moves between them.
#include "WizardPage.h"

#include <QStringList>

class QCheckBox;
class QComboBox;
class QDate;
class QGroupBox;
class QRadioButton;
class Recordset;

// Page 1: the set's number, name, folder and first period.
class SetPage : public WizardPage {
public:
    explicit SetPage(QWidget* parent);

    QComboBox* cboAccount = nullptr;   // the sets that exist, "[id]name"
    QLineEdit* txtAccID = nullptr;
    QLineEdit* txtAccName = nullptr;
    QLineEdit* txtAccPath = nullptr;
    QPushButton* CmdPath = nullptr;
    QLineEdit* txtYear = nullptr;
    QLineEdit* txtMonth = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* cmdYM = nullptr;

    bool complete() const override;
    void writeTo(AccountSetInput& in) const override;
    // The number as it will be stored: three digits ("7" is "007").
    QString formattedId() const;
    // The year typed, as a number (0 when none).
    int year() const;
    // Whether the wizard may go on: a new set's folder must be absolute (told, the box focused),
    // and the number and name may not be those of a set that exists (as typed or as stored).
    bool accepts(bool creating);

    // A new set: the sets that exist, the number proposed, the folder under the root (none to
    // choose on a server) and the current period.
    void propose(const QStringList& existing, int nextId, const QString& root, bool onServer, const QDate& today);
    // The set being modified, as stored: nothing of this page can be changed then.
    void showStored(const Recordset& rs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Page 2: the unit that keeps the books.
class UnitPage : public WizardPage {
public:
    explicit UnitPage(QWidget* parent);

    QLineEdit* txtUnitName = nullptr;
    QLineEdit* txtUnitAbbre = nullptr;
    QLineEdit* TxtUnitAddr = nullptr;
    QLineEdit* txtUnitLP = nullptr;
    QLineEdit* txtUnitZap = nullptr;
    QLineEdit* txtUnitTel = nullptr;
    QLineEdit* txtUnitFax = nullptr;
    QLineEdit* txtUnitEMail = nullptr;
    QLineEdit* txtUnitTaxNo = nullptr;
    QLineEdit* txtFinType = nullptr;
    QLineEdit* txtFinKind = nullptr;

    bool complete() const override;
    void writeTo(AccountSetInput& in) const override;
    void showStored(const Recordset& rs);
};

// Page 3: currency, kind of enterprise and industry, supervisor, preset chart.
class TypePage : public WizardPage {
public:
    explicit TypePage(QWidget* parent);

    QLineEdit* txtCurCode = nullptr;
    QLineEdit* txtCurName = nullptr;
    QComboBox* cboEntType = nullptr;
    QComboBox* cboTradeKind = nullptr;   // industry names, each with its itrade_id
    QComboBox* cboAcc_Master = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* cmdkm = nullptr;

    bool complete() const override;
    void writeTo(AccountSetInput& in) const override;
    // The industries (GL_BTrade), each with its number.
    void listTrades(Recordset& trades);
    // A new set: the industry of the current standard when it is listed, else the first; the
    // operator named demo as supervisor when there is one (`masters` as "[id]name", `demo` its index or -1).
    void proposeTrade();
    void proposeMaster(const QStringList& masters, int demo);
    // The set being modified, as stored: its currency and kind of enterprise, then (once the
    // industries are listed) its industry, the only thing here that can be changed, and its supervisor.
    void showStored(const Recordset& rs);
    void showStoredChoices(const Recordset& rs);
};

// Page 4: which records are classified, and foreign currency.
class OptionsPage : public WizardPage {
public:
    explicit OptionsPage(QWidget* parent);

    QCheckBox* chkbGoodClass = nullptr;
    QCheckBox* chkbCustClass = nullptr;
    QCheckBox* chkbProvClass = nullptr;
    QCheckBox* chkbFrgnCurrencyAcc = nullptr;

    void writeTo(AccountSetInput& in) const override;
    // The explanation names the set and year the options are for.
    void describe(const QString& accId, const QString& year);
    // The options as the set's books keep them (AccInformation).
    void showStored(Recordset& info);
};

// Page 5 (new sets only): the sales and purchase flows. Shown, not stored.
class FlowPage : public WizardPage {
public:
    explicit FlowPage(QWidget* parent);

    QGroupBox* framxs = nullptr;
    QRadioButton* optxyh = nullptr;
    QRadioButton* optxbz = nullptr;
    QGroupBox* framecg = nullptr;
    QRadioButton* optyh = nullptr;
    QRadioButton* optbz = nullptr;
    QLabel* lblyh = nullptr;
    QLabel* lblbz = nullptr;

    void writeTo(AccountSetInput&) const override {}

private:
    void buildSales();
    void buildPurchase();
};
