#include "AccountPages.h"

#include <AccountSetCreator.h>
#include <Module1.h>
#include <MsgBox.h>
#include <Paths.h>
#include <Recordset.h>

#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace WizardUi;

namespace {
// The captions under which the books keep the four options, in the page's order.
const QString kCaptions[4] = {
    QStringLiteral("存货是否分类"),     // not translated: a key of the books
    QStringLiteral("客户是否分类"),     // not translated: a key of the books
    QStringLiteral("供应商是否分类"),   // not translated: a key of the books
    QStringLiteral("有无外币核算"),     // not translated: a key of the books
};

// The two branches of the standard sales flow: from the left middle to the right top and bottom.
class FlowBranch : public QWidget {
public:
    explicit FlowBranch(QWidget* parent)
        : QWidget(parent)
    {
        setFixedWidth(24);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(palette().color(QPalette::WindowText), 1));
        const int mid = height() / 2;
        p.drawLine(0, mid, width() - 2, height() / 4);
        p.drawLine(0, mid, width() - 2, height() * 3 / 4);
    }
};
} // namespace

SetPage::SetPage(QWidget* parent)
    : WizardPage(parent, "Picture2", 1, QCoreApplication::translate("AccountPages", "账套信息"), QCoreApplication::translate("AccountPages", "此页面可输入当前有关账套信息。"))
{
    QGridLayout* g = fieldGrid();
    cboAccount = captioned(g, 0, 0, 3, "lblAccount", QCoreApplication::translate("AccountPages", "已存账套:"), named<QComboBox>("cboAccount", this));
    txtAccID = captioned(g, 1, 0, 1, "lblAccID", QCoreApplication::translate("AccountPages", "账套号(&A):"), textBox(this, "txtAccID", 3), Qt::AlignLeft);
    txtAccName = captioned(g, 2, 0, 3, "lblAccName", QCoreApplication::translate("AccountPages", "账套名称(&N):"), textBox(this, "txtAccName", 40));
    txtAccPath = captioned(g, 3, 0, 2, "lblAccPath", QCoreApplication::translate("AccountPages", "账套路径(&P):"), textBox(this, "txtAccPath", 0));
    CmdPath = button(this, "CmdPath", QStringLiteral("..."));
    CmdPath->setAccessibleName(QCoreApplication::translate("AccountPages", "选择账套路径"));
    CmdPath->setFixedWidth(CmdPath->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    g->addWidget(CmdPath, 3, 3);

    // Year and month share one row after a single caption; the month box is named by its 月 label.
    txtYear = textBox(this, "txtYear", 4);
    txtMonth = textBox(this, "txtMonth", 2);
    Label4 = named<QLabel>("Label4", QCoreApplication::translate("AccountPages", "月"), this);
    Label4->setBuddy(txtMonth);
    txtMonth->setAccessibleName(QCoreApplication::translate("AccountPages", "月"));
    cmdYM = button(this, "cmdYM", QCoreApplication::translate("AccountPages", "会计期间设置"));
    txtAccID->setFixedWidth(txtAccID->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    txtYear->setFixedWidth(txtYear->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 16);
    txtMonth->setFixedWidth(txtMonth->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    g->addWidget(captionFor(this, "lblYear", QCoreApplication::translate("AccountPages", "启用会计期(&Y):"), txtYear), 4, 0);
    auto* ym = new QHBoxLayout;
    ym->addWidget(txtYear);
    ym->addWidget(txtMonth);
    ym->addWidget(Label4);
    ym->addStretch();
    ym->addWidget(cmdYM);
    g->addLayout(ym, 4, 1, 1, 3);
    g->setColumnStretch(2, 1);

    for (QLineEdit* e : {txtAccID, txtYear, txtMonth}) {
        e->installEventFilter(this);
        e->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    txtAccName->installEventFilter(this);
}

bool SetPage::complete() const
{
    return filled(txtAccID) && filled(txtAccName) && filled(txtAccPath) && filled(txtYear) && filled(txtMonth);
}

void SetPage::writeTo(AccountSetInput& in) const
{
    in.accId = txtAccID->text();
    in.accName = txtAccName->text();
    in.accPath = txtAccPath->text();
    in.year = txtYear->text();
    in.month = txtMonth->text();
}

QString SetPage::formattedId() const
{
    return QStringLiteral("%1").arg(txtAccID->text().trimmed().toInt(), 3, 10, QLatin1Char('0'));
}

int SetPage::year() const
{
    return txtYear->text().trimmed().toInt();
}

bool SetPage::accepts(bool creating)
{
    // A relative path would put the books wherever the console happened to be started.
    const QString path = txtAccPath->text().trimmed();
    if (creating && !QDir::isAbsolutePath(Paths::normalize(path))) {
        MsgBox(QCoreApplication::translate("AccountPages", "账套路径必须是完整的绝对路径（以“/”开头），不能是相对路径：%1").arg(path),
               vb::vbExclamation | vb::vbOKOnly, QCoreApplication::translate("AccountPages", "创建账套"));
        txtAccPath->setFocus();
        return false;
    }
    const QString id = txtAccID->text().trimmed();
    const QString name = txtAccName->text().trimmed();
    // The same number and name as a set that exists: as typed, and as it will be stored.
    for (int i = 0; i < cboAccount->count(); ++i) {
        const QString entry = cboAccount->itemText(i);
        if (entry == Module1::ListEntry(id, name) || entry == Module1::ListEntry(formattedId(), name))
            return false;
    }
    return true;
}

void SetPage::propose(const QStringList& existing, int nextId, const QString& root, bool onServer, const QDate& today)
{
    cboAccount->addItems(existing);
    if (cboAccount->count() > 0)
        cboAccount->setCurrentIndex(0);
    txtAccID->setText(QStringLiteral("%1").arg(nextId, 3, 10, QLatin1Char('0')));
    txtAccPath->setText(root);
    // On a server the books are a schema of its database: no folder of this workstation to choose.
    txtAccPath->setEnabled(!onServer);
    CmdPath->setEnabled(!onServer);
    txtYear->setText(QString::number(today.year()));
    txtMonth->setText(QString::number(today.month()));
}

void SetPage::showStored(const Recordset& rs)
{
    txtAccID->setText(rs.text(QStringLiteral("cacc_id")));
    txtAccName->setText(rs.text(QStringLiteral("cacc_name")));
    txtAccPath->setText(rs.text(QStringLiteral("cacc_path")));
    txtYear->setText(rs.text(QStringLiteral("iyear")));
    txtMonth->setText(rs.text(QStringLiteral("imonth")));
    for (QWidget* w : std::initializer_list<QWidget*>{cboAccount, txtAccID, txtAccPath, txtYear, txtMonth})
        w->setEnabled(false);
}

bool SetPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        const QString text = ke->text();
        if (watched == txtAccID || watched == txtYear || watched == txtMonth) {
            // Digits only; Backspace and every other typed character are dropped (Delete and
            // the editing shortcuts still work).
            if (ke->key() == Qt::Key_Backspace)
                return true;
            if (!(ke->modifiers() & Qt::ControlModifier) && !text.isEmpty() && text.at(0).isPrint()
                && !(text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9')))
                return true;
        } else if (watched == txtAccName) {
            if (text == QLatin1String(" "))
                return true;
        }
    }
    return WizardPage::eventFilter(watched, event);
}

UnitPage::UnitPage(QWidget* parent)
    : WizardPage(parent, "Picture3", 2, QCoreApplication::translate("AccountPages", "单位信息"), QCoreApplication::translate("AccountPages", "此页面输入贵单位的单位信息。"))
{
    QGridLayout* g = fieldGrid();
    txtUnitName = captioned(g, 0, 0, 3, "lblUnitName", QCoreApplication::translate("AccountPages", "单位名称(&M):"), textBox(this, "txtUnitName", 40));
    txtUnitAbbre = captioned(g, 1, 0, 3, "lblUnitAbbre", QCoreApplication::translate("AccountPages", "单位简称(&A):"), textBox(this, "txtUnitAbbre", 40));
    TxtUnitAddr = captioned(g, 2, 0, 3, "lblUnitAddr", QCoreApplication::translate("AccountPages", "单位地址(&R):"), textBox(this, "TxtUnitAddr", 80));
    txtUnitLP = captioned(g, 3, 0, 1, "lblUnitLP", QCoreApplication::translate("AccountPages", "法人代表(&L):"), textBox(this, "txtUnitLP", 16));
    txtUnitZap = captioned(g, 3, 2, 1, "lblUnitZap", QCoreApplication::translate("AccountPages", "邮政编码(&Z):"), textBox(this, "txtUnitZap", 6));
    txtUnitTel = captioned(g, 4, 0, 1, "lblUnitTel", QCoreApplication::translate("AccountPages", "联系电话(&P):"), textBox(this, "txtUnitTel", 30));
    txtUnitFax = captioned(g, 4, 2, 1, "lblUnitFax", QCoreApplication::translate("AccountPages", "传真(&F):"), textBox(this, "txtUnitFax", 30));
    txtUnitEMail = captioned(g, 5, 0, 1, "lblUnitEMail", QCoreApplication::translate("AccountPages", "电子邮件(&E):"), textBox(this, "txtUnitEMail", 40));
    txtUnitTaxNo = captioned(g, 5, 2, 1, "lblUnitTaxNo", QCoreApplication::translate("AccountPages", "税号(&X):"), textBox(this, "txtUnitTaxNo", 20));
    txtFinType = captioned(g, 6, 0, 1, "lblFinType", QCoreApplication::translate("AccountPages", "备注一:"), textBox(this, "txtFinType", 16));
    txtFinKind = captioned(g, 6, 2, 1, "lblFinKind", QCoreApplication::translate("AccountPages", "备注二:"), textBox(this, "txtFinKind", 16));
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
}

bool UnitPage::complete() const
{
    return filled(txtUnitName);
}

void UnitPage::writeTo(AccountSetInput& in) const
{
    in.unitName = txtUnitName->text();
    in.unitAbbre = txtUnitAbbre->text();
    in.unitAddr = TxtUnitAddr->text();
    in.unitZap = txtUnitZap->text();
    in.unitTel = txtUnitTel->text();
    in.unitFax = txtUnitFax->text();
    in.unitEMail = txtUnitEMail->text();
    in.unitTaxNo = txtUnitTaxNo->text();
    in.unitLP = txtUnitLP->text();
    in.finKind = txtFinKind->text();
    in.finType = txtFinType->text();
}

void UnitPage::showStored(const Recordset& rs)
{
    txtUnitName->setText(rs.text(QStringLiteral("cUnitName")));
    txtUnitAbbre->setText(rs.text(QStringLiteral("cUnitAbbre")));
    TxtUnitAddr->setText(rs.text(QStringLiteral("cUnitAddr")));
    txtUnitZap->setText(rs.text(QStringLiteral("cUnitZap")));
    txtUnitLP->setText(rs.text(QStringLiteral("cUnitLP")));
    txtUnitFax->setText(rs.text(QStringLiteral("cUnitFax")));
    txtUnitTel->setText(rs.text(QStringLiteral("cUnitTel")));
    txtUnitEMail->setText(rs.text(QStringLiteral("cUnitEmail")));
    txtUnitTaxNo->setText(rs.text(QStringLiteral("cUnitTaxNo")));
    txtFinKind->setText(rs.text(QStringLiteral("cFinKind")));
    txtFinType->setText(rs.text(QStringLiteral("cFinType")));
}

TypePage::TypePage(QWidget* parent)
    : WizardPage(parent, "Picture4", 3, QCoreApplication::translate("AccountPages", "核算类型"), QCoreApplication::translate("AccountPages", "此页面输入您选择的核算类型。"))
{
    QGridLayout* g = fieldGrid();
    txtCurCode = captioned(g, 0, 0, 1, "lblCurCode", QCoreApplication::translate("AccountPages", "本币代码(&C):"), textBox(this, "txtCurCode", 4));
    txtCurName = captioned(g, 1, 0, 1, "lblCurName", QCoreApplication::translate("AccountPages", "本币名称(&M):"), textBox(this, "txtCurName", 8));
    txtCurCode->setText(QStringLiteral("RMB"));
    txtCurName->setText(QStringLiteral("人民币"));   // not translated: a proposed value, written to the books as it stands
    cboEntType = captioned(g, 2, 0, 1, "lblEntType", QCoreApplication::translate("AccountPages", "企业类型(&Y):"), named<QComboBox>("cboEntType", this));
    // The books keep the Chinese word; the box shows it in the console's language.
    cboEntType->addItem(QCoreApplication::translate("AccountPages", "商业"), QStringLiteral("商业"));   // not translated: the stored value
    cboEntType->addItem(QCoreApplication::translate("AccountPages", "工业"), QStringLiteral("工业"));   // not translated: the stored value
    cboEntType->setCurrentIndex(1);
    cboTradeKind = captioned(g, 3, 0, 2, "lblTradeKind", QCoreApplication::translate("AccountPages", "行业性质(&K):"), named<QComboBox>("cboTradeKind", this));
    cboAcc_Master =
        captioned(g, 4, 0, 2, "lblAcc_Master", QCoreApplication::translate("AccountPages", "账套主管(&H):"), named<QComboBox>("cboAcc_Master", this));
    Check1 = named<QCheckBox>("Check1", QCoreApplication::translate("AccountPages", "按行业性质预置科目(&S)"), this);
    Check1->setChecked(true);
    cmdkm = button(this, "cmdkm", QCoreApplication::translate("AccountPages", "科目预览"));
    auto* preset = new QHBoxLayout;
    preset->addWidget(Check1);
    preset->addStretch();
    preset->addWidget(cmdkm);
    g->addLayout(preset, 5, 1, 1, 2);
    g->setColumnStretch(2, 1);
    g->setColumnMinimumWidth(1, 200);
}

bool TypePage::complete() const
{
    return filled(txtCurCode) && filled(txtCurName);
}

void TypePage::writeTo(AccountSetInput& in) const
{
    in.curCode = txtCurCode->text();
    in.curName = txtCurName->text();
    in.entType = cboEntType->currentData().toString();
    in.tradeKind = cboTradeKind->currentText();
    in.tradeId = cboTradeKind->currentData().toInt();
    in.master = cboAcc_Master->currentText();
    in.presetChart = Check1->isChecked();
}

void TypePage::listTrades(Recordset& trades)
{
    for (; !trades.Eof(); trades.MoveNext())
        cboTradeKind->addItem(trades.text(QStringLiteral("ctrade_name")), trades.Fields(QStringLiteral("itrade_id")).toInt());
}

void TypePage::proposeTrade()
{
    if (cboTradeKind->count() > 1)
        cboTradeKind->setCurrentIndex(0);
    const int std2007 = cboTradeKind->findText(QStringLiteral("2007年新会计准则"));   // not translated: an industry's name in the system database
    if (std2007 >= 0)
        cboTradeKind->setCurrentIndex(std2007);
}

void TypePage::proposeMaster(const QStringList& masters, int demo)
{
    cboAcc_Master->addItems(masters);
    if (cboAcc_Master->count() > 0)
        cboAcc_Master->setCurrentIndex(demo >= 0 ? demo : 0);
}

void TypePage::showStored(const Recordset& rs)
{
    txtCurCode->setText(rs.text(QStringLiteral("cCurCode")));
    txtCurName->setText(rs.text(QStringLiteral("cCurname")));
    txtCurCode->setEnabled(false);
    txtCurName->setEnabled(false);
    cboEntType->clear();
    const QString entType = rs.text(QStringLiteral("cEntType"));
    cboEntType->addItem(QCoreApplication::translate("AccountPages", entType.toUtf8().constData()), entType);
    cboEntType->setCurrentIndex(0);
    cboEntType->setEnabled(false);
}

void TypePage::showStoredChoices(const Recordset& rs)
{
    const int trade = cboTradeKind->findText(rs.text(QStringLiteral("cTradeKind")), Qt::MatchExactly);
    if (trade >= 0)
        cboTradeKind->setCurrentIndex(trade);
    cboAcc_Master->clear();
    cboAcc_Master->addItem(rs.text(QStringLiteral("cAcc_Master")));
    cboAcc_Master->setCurrentIndex(0);
    cboAcc_Master->setEnabled(false);
    Check1->setEnabled(false);
}

OptionsPage::OptionsPage(QWidget* parent)
    : WizardPage(parent, "Picture5", 4, QCoreApplication::translate("AccountPages", "基础信息"), QCoreApplication::translate("AccountPages", "此页面设置您的701账套2005年度账基础信息。"))
{
    chkbGoodClass = named<QCheckBox>("chkbGoodClass", QCoreApplication::translate("AccountPages", "存货是否分类(&V)"), this);
    chkbCustClass = named<QCheckBox>("chkbCustClass", QCoreApplication::translate("AccountPages", "客户是否分类(&C)"), this);
    chkbProvClass = named<QCheckBox>("chkbProvClass", QCoreApplication::translate("AccountPages", "供应商是否分类(&P)"), this);
    chkbFrgnCurrencyAcc = named<QCheckBox>("chkbFrgnCurrencyAcc", QCoreApplication::translate("AccountPages", "有无外币核算(&A)"), this);
    auto* box = new QVBoxLayout;
    box->setContentsMargins(40, 0, 0, 0);
    box->setSpacing(14);
    for (QCheckBox* c : {chkbGoodClass, chkbCustClass, chkbProvClass, chkbFrgnCurrencyAcc})
        box->addWidget(c);
    body->addLayout(box);
    body->addStretch();
}

void OptionsPage::writeTo(AccountSetInput& in) const
{
    in.goodClass = chkbGoodClass->isChecked();
    in.custClass = chkbCustClass->isChecked();
    in.provClass = chkbProvClass->isChecked();
    in.frgnCurrencyAcc = chkbFrgnCurrencyAcc->isChecked();
}

void OptionsPage::describe(const QString& accId, const QString& year)
{
    lblNote->setText(QCoreApplication::translate("AccountPages", "此页面设置您的%1账套%2年度账基础信息。").arg(accId, year));
}

void OptionsPage::showStored(Recordset& info)
{
    if (info.RecordCount() == 0)
        return;
    QCheckBox* const boxes[] = {chkbGoodClass, chkbCustClass, chkbProvClass, chkbFrgnCurrencyAcc};
    for (int i = 0; i < 4; ++i) {
        info.FindFirst(QStringLiteral("cCaption"), kCaptions[i]);
        if (!info.NoMatch())
            boxes[i]->setChecked(info.text(QStringLiteral("cValue")) != QLatin1String("False"));
    }
}

FlowPage::FlowPage(QWidget* parent)
    : WizardPage(parent, "Picture6", 5, QCoreApplication::translate("AccountPages", "业务流程"), QCoreApplication::translate("AccountPages", "此页面设置你的业务流程信息"))
{
    buildSales();
    buildPurchase();
    body->addWidget(framxs);
    body->addSpacing(8);
    body->addWidget(framecg);
    body->addStretch();
}

void FlowPage::buildSales()
{
    framxs = named<QGroupBox>("framxs", QCoreApplication::translate("AccountPages", "销售流程"), this);
    optxyh = named<QRadioButton>("optxyh", QCoreApplication::translate("AccountPages", "优化流程"), framxs);
    optxbz = named<QRadioButton>("optxbz", QCoreApplication::translate("AccountPages", "标准流程"), framxs);
    optxbz->setChecked(true);
    auto* lblxyh = named<QLabel>("lblxyh", QCoreApplication::translate("AccountPages", "销售订单->发货单->收款"), framxs);
    auto* lblxbz = named<QLabel>("lblxbz", QCoreApplication::translate("AccountPages", "销售订单->发货单"), framxs);
    auto* lblxck = named<QLabel>("lblxck", QCoreApplication::translate("AccountPages", "->出库单"), framxs);
    auto* lblxfp = named<QLabel>("lblxfp", QCoreApplication::translate("AccountPages", "->发票->收款"), framxs);
    auto* gs = new QGridLayout(framxs);
    gs->addWidget(optxyh, 0, 0);
    gs->addWidget(lblxyh, 0, 1, 1, 3);
    gs->addWidget(optxbz, 1, 0, 2, 1);
    gs->addWidget(lblxbz, 1, 1, 2, 1);
    gs->addWidget(new FlowBranch(framxs), 1, 2, 2, 1);
    gs->addWidget(lblxck, 1, 3);
    gs->addWidget(lblxfp, 2, 3);
    gs->setColumnStretch(4, 1);
    gs->setHorizontalSpacing(6);
}

void FlowPage::buildPurchase()
{
    framecg = named<QGroupBox>("framecg", QCoreApplication::translate("AccountPages", "采购流程"), this);
    optyh = named<QRadioButton>("optyh", QCoreApplication::translate("AccountPages", "优化流程"), framecg);
    optbz = named<QRadioButton>("optbz", QCoreApplication::translate("AccountPages", "标准流程"), framecg);
    optbz->setChecked(true);
    lblyh = named<QLabel>("lblyh", QCoreApplication::translate("AccountPages", "采购订单->入库单->付款"), framecg);
    lblbz = named<QLabel>("lblbz", QCoreApplication::translate("AccountPages", "采购订单->入库单->发票->付款"), framecg);
    auto* gc = new QGridLayout(framecg);
    gc->addWidget(optyh, 0, 0);
    gc->addWidget(lblyh, 0, 1);
    gc->addWidget(optbz, 1, 0);
    gc->addWidget(lblbz, 1, 1);
    gc->setColumnStretch(2, 1);
}
