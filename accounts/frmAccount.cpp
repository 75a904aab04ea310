#include "frmAccount.h"
#include "AccountDb.h"
#include "AccountPages.h"
#include "ConfigDialogs.h"
#include "frmAccPath.h"

#include <CiFile.h>
#include <Database.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <ShowModal.h>

#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <utility>

using namespace Module1;
using namespace WizardUi;

namespace {
ConfigDialogs::Classes classesOf(const AccountSetInput& in)
{
    ConfigDialogs::Classes c;
    c.goodClass = in.goodClass;
    c.custClass = in.custClass;
    c.provClass = in.provClass;
    return c;
}

QString flowTitle() { return QCoreApplication::translate("frmAccount", "青木通【系统管理】"); }

// The decorative strip beside the pages: a ledger on a blue ground.
QPixmap sidePicture(const QSize& size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(32, 72, 140));
    g.setColorAt(1, QColor(120, 165, 220));
    p.fillRect(pm.rect(), g);
    const int w = size.width() * 3 / 5;
    const int h = w * 4 / 3;
    const QRect book((size.width() - w) / 2, size.height() / 5, w, h);
    for (int i = 2; i >= 0; --i) {
        p.setPen(QPen(QColor(60, 90, 140), 1));
        p.setBrush(QColor(255, 255, 255, 255 - i * 50));
        p.drawRoundedRect(book.translated(i * 5, i * 5), 4, 4);
    }
    p.setPen(QPen(QColor(120, 150, 200), 1));
    for (int y = book.top() + h / 6; y < book.bottom() - 6; y += h / 8)
        p.drawLine(book.left() + 8, y, book.right() - 8, y);
    p.setPen(QPen(QColor(200, 60, 60), 2));
    p.drawLine(book.left() + w / 4, book.top() + 4, book.left() + w / 4, book.bottom() - 4);
    QFont f = p.font();
    f.setPointSize(16);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    const QRect text(0, book.bottom() + 20, size.width(), size.height() - book.bottom() - 20);
    p.drawText(text, Qt::AlignHCenter | Qt::AlignTop, QCoreApplication::translate("frmAccount", "账\n套"));
    return pm;
}

} // namespace

frmAccount::frmAccount(const Session& session, Mode mode, QWidget* parent)
    : QDialog(parent)
    , m_mode(mode)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmAccount"));
    setWindowTitle(tr("创建账套"));

    Picture1 = named<QLabel>("Picture1", this);
    Picture1->setFixedWidth(130);
    Picture1->setMinimumHeight(360);
    Picture1->setScaledContents(false);

    pages = named<QStackedWidget>("pages", this);
    m_set = new SetPage(pages);
    m_unit = new UnitPage(pages);
    m_type = new TypePage(pages);
    m_options = new OptionsPage(pages);
    m_flow = new FlowPage(pages);
    for (WizardPage* page : wizardPages()) {
        pages->addWidget(page);
        lblTitle << page->lblTitle;
        lblNote << page->lblNote;
    }
    adoptControls();

    cmdPre = button(this, "cmdPre", tr("上一步(&<)"));
    cmdNext = button(this, "cmdNext", tr("下一步(&>)"));
    cmdOK = button(this, "cmdOK", tr("完成(&F)"));
    cmdCancel = button(this, "cmdCancel", tr("放弃"));
    CmdHelp = button(this, "CmdHelp", tr("帮助(&H)"));
    cmdPre->setEnabled(false);
    cmdOK->setEnabled(false);

    layOut();
    connectControls();

    showPage(1);
    resize(sizeHint().expandedTo(QSize(640, 430)));
}

frmAccount::~frmAccount() = default;

// The strip on the left, the pages beside it, and the buttons below a line.
void frmAccount::layOut()
{
    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(Picture1);
    top->addWidget(pages, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(12, 8, 12, 12);
    buttons->addWidget(CmdHelp);
    buttons->addStretch();
    buttons->addWidget(cmdPre);
    buttons->addWidget(cmdNext);
    buttons->addWidget(cmdOK);
    buttons->addSpacing(12);
    buttons->addWidget(cmdCancel);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(top, 1);
    outer->addWidget(line);
    outer->addLayout(buttons);
}

void frmAccount::connectControls()
{
    connect(cmdNext, &QPushButton::clicked, this, &frmAccount::cmdNext_Click);
    connect(cmdPre, &QPushButton::clicked, this, &frmAccount::cmdPre_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmAccount::cmdOK_Click, Qt::QueuedConnection);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAccount::cmdCancel_Click);
    connect(CmdPath, &QPushButton::clicked, this, &frmAccount::CmdPath_Click, Qt::QueuedConnection);
    connect(cmdYM, &QPushButton::clicked, this, &frmAccount::cmdYM_Click, Qt::QueuedConnection);
    connect(cmdkm, &QPushButton::clicked, this, &frmAccount::cmdkm_Click, Qt::QueuedConnection);
    connect(optxyh, &QRadioButton::clicked, this, &frmAccount::optxyh_Click, Qt::QueuedConnection);
    connect(optyh, &QRadioButton::clicked, this, &frmAccount::optyh_Click, Qt::QueuedConnection);

    // Page by page, then the buttons.
    const QList<QWidget*> order{cboAccount, txtAccID, txtAccName, txtAccPath, CmdPath, txtYear, txtMonth, cmdYM,
                                txtUnitName, txtUnitAbbre, TxtUnitAddr, txtUnitLP, txtUnitZap, txtUnitTel, txtUnitFax,
                                txtUnitEMail, txtUnitTaxNo, txtFinType, txtFinKind,
                                txtCurCode, txtCurName, cboEntType, cboTradeKind, cboAcc_Master, Check1, cmdkm,
                                chkbGoodClass, chkbCustClass, chkbProvClass, chkbFrgnCurrencyAcc,
                                optxyh, optxbz, optyh, optbz,
                                CmdHelp, cmdPre, cmdNext, cmdOK, cmdCancel};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QList<WizardPage*> frmAccount::wizardPages() const
{
    return {m_set, m_unit, m_type, m_options, m_flow};
}

// The pages' controls under the names the console and the tests know the wizard's by.
void frmAccount::adoptControls()
{
    Picture2 = m_set;
    Picture3 = m_unit;
    Picture4 = m_type;
    Picture5 = m_options;
    Picture6 = m_flow;
    cboAccount = m_set->cboAccount, txtAccID = m_set->txtAccID, txtAccName = m_set->txtAccName;
    txtAccPath = m_set->txtAccPath, CmdPath = m_set->CmdPath, txtYear = m_set->txtYear, txtMonth = m_set->txtMonth;
    Label4 = m_set->Label4, cmdYM = m_set->cmdYM;
    txtUnitName = m_unit->txtUnitName, txtUnitAbbre = m_unit->txtUnitAbbre, TxtUnitAddr = m_unit->TxtUnitAddr;
    txtUnitLP = m_unit->txtUnitLP, txtUnitZap = m_unit->txtUnitZap, txtUnitTel = m_unit->txtUnitTel;
    txtUnitFax = m_unit->txtUnitFax, txtUnitEMail = m_unit->txtUnitEMail, txtUnitTaxNo = m_unit->txtUnitTaxNo;
    txtFinType = m_unit->txtFinType, txtFinKind = m_unit->txtFinKind;
    txtCurCode = m_type->txtCurCode, txtCurName = m_type->txtCurName, cboEntType = m_type->cboEntType;
    cboTradeKind = m_type->cboTradeKind, cboAcc_Master = m_type->cboAcc_Master, Check1 = m_type->Check1, cmdkm = m_type->cmdkm;
    chkbGoodClass = m_options->chkbGoodClass, chkbCustClass = m_options->chkbCustClass;
    chkbProvClass = m_options->chkbProvClass, chkbFrgnCurrencyAcc = m_options->chkbFrgnCurrencyAcc;
    framxs = m_flow->framxs, optxyh = m_flow->optxyh, optxbz = m_flow->optxbz;
    framecg = m_flow->framecg, optyh = m_flow->optyh, optbz = m_flow->optbz, lblyh = m_flow->lblyh, lblbz = m_flow->lblbz;
}

int frmAccount::lastPage() const
{
    return m_mode == Mode::Modify ? 4 : 5;
}

void frmAccount::showPage(int page)
{
    m_page = page;
    pages->setCurrentWidget(wizardPages().at(page - 1));
}

void frmAccount::Form_Load()
{
    Picture1->setPixmap(sidePicture(QSize(Picture1->width(), qMax(Picture1->height(), 420))));
    showPage(1);
    if (m_mode == Mode::Modify)
        loadModify();
    else
        loadCreate();
}

void frmAccount::fillTradeKinds()
{
    Recordset rs = m_session.sysDb->query(QStringLiteral("select * from GL_BTrade order by itrade_id"));
    m_type->listTrades(rs);
}

// The lowest number that no set uses: the first gap after 001, or 001 itself.
static int nextFreeId(Recordset ids)
{
    if (ids.Eof() || ids.Fields(QStringLiteral("cAcc_Id")).toString().toInt() != 1)
        return 1;
    int last = 0;
    for (; !ids.Eof(); ids.MoveNext()) {
        const int n = ids.Fields(QStringLiteral("cAcc_Id")).toString().toInt();
        if (n - last > 1)
            break;
        last = n;
    }
    return last + 1;
}

void frmAccount::loadCreate()
{
    setWindowTitle(tr("创建账套"));
    if (!m_session.sysDb)
        return;
    try {
        QStringList existing;
        for (Recordset sets = m_session.sysDb->query(QStringLiteral("select * from SM_Account")); !sets.Eof(); sets.MoveNext())
            existing << ListEntry(sets.text(QStringLiteral("cAcc_Id")), sets.text(QStringLiteral("cAcc_Name")));
        const int next = nextFreeId(m_session.sysDb->query(QStringLiteral("select cAcc_Id from SM_Account order by cAcc_Id")));
        m_set->propose(existing, next, m_session.root, m_session.sysDb->engine() == Engine::PostgreSQL, QDate::currentDate());

        fillTradeKinds();
        m_type->proposeTrade();
        QStringList masters;
        int demo = -1;
        for (Recordset users = m_session.sysDb->query(QStringLiteral("select * from SM_User where iAdmin=0 order by cUser_Id")); !users.Eof();
             users.MoveNext()) {
            masters << ListEntry(users.text(QStringLiteral("cUser_Id")), users.text(QStringLiteral("cUser_Name")));
            if (users.text(QStringLiteral("cUser_Name")).toLower() == QLatin1String("demo"))
                demo = int(masters.size()) - 1;
        }
        m_type->proposeMaster(masters, demo);
    } catch (const DbError& e) {
        // The wizard opens with what was filled so far.
        WriteErrLog(3, e.text(), QStringLiteral("Form_Load"));
    }
}

void frmAccount::loadModify()
{
    setWindowTitle(tr("修改帐套"));
    if (!m_session.sysDb)
        return;
    try {
        Recordset rs = m_session.sysDb->query(QStringLiteral("select * from sm_account where cacc_id=?"), {m_session.account.id});
        if (rs.Eof()) {
            MsgBox(tr("帐套不存在！"), vb::vbOKOnly);
            return;
        }
        m_set->showStored(rs);
        m_unit->showStored(rs);
        m_type->showStored(rs);
        fillTradeKinds();
        m_type->showStoredChoices(rs);
        const std::unique_ptr<Database> accDb = AccountDb::open(*m_session.sysDb, m_session.account.id, m_set->year());
        Recordset info = accDb->query(QStringLiteral("select * from AccInformation"));
        m_options->showStored(info);
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("Form_Load"));
    }
}

AccountSetInput frmAccount::inputs() const
{
    AccountSetInput in;
    for (WizardPage* page : wizardPages())
        page->writeTo(in);
    return in;
}

void frmAccount::cmdNext_Click()
{
    // Each page says whether it holds what the next one needs; the set's page also refuses a
    // relative folder and a set that exists.
    if (m_page >= lastPage() || !wizardPages().at(m_page - 1)->complete())
        return;
    if (m_page == 1 && !m_set->accepts(m_mode != Mode::Modify))
        return;
    const int from = m_page;
    if (from == 1)
        cmdPre->setEnabled(true);
    if (from == 3)
        m_options->describe(txtAccID->text(), txtYear->text());
    showPage(from + 1);
    if (from == 1) {
        txtAccID->setText(m_set->formattedId());
        txtUnitName->setFocus();
    }
    if (m_page == lastPage()) {
        cmdNext->setEnabled(false);
        cmdOK->setEnabled(true);
        cmdOK->setFocus();
    }
}

void frmAccount::cmdPre_Click()
{
    if (m_page < 2)
        return;
    if (m_page == lastPage()) {
        cmdNext->setEnabled(true);
        cmdOK->setEnabled(false);
    }
    showPage(m_page - 1);
    if (m_page == 1) {
        cmdPre->setEnabled(false);
        cmdNext->setFocus();
    }
}

void frmAccount::cmdOK_Click()
{
    const bool modifying = m_mode == Mode::Modify;
    const int answer = modifying
        ? MsgBox(tr("可以修改帐套了么？"), vb::vbQuestion | vb::vbYesNo, tr("修改帐套"))
        : MsgBox(tr("可以创建账套了么？"), vb::vbQuestion | vb::vbYesNo, tr("创建账套"));
    if (answer != vb::vbYes)
        return;
    if (!m_session.sysDb) {
        MsgBox(tr("系统库未打开，请重新注册。"), vb::vbExclamation | vb::vbOKOnly,
               modifying ? tr("修改帐套") : tr("创建账套"));
        return;
    }
    AccountSetInput in = inputs();
    if (modifying) {
        in.accId = m_session.account.id;
        modifySet(in);
    } else {
        createSet(in);
    }
}

bool frmAccount::shownFailure(const AccountSetOutcome& out)
{
    if (out.done())
        return false;
    ShowNotice(out.notice);
    // Abandoned: the set's books are gone, so the wizard has nothing left to save.
    if (out.status == AccountSetOutcome::Status::Abandoned)
        reject();
    return true;
}

void frmAccount::createSet(const AccountSetInput& in)
{
    const AccountSetOutcome out = AccountSetCreator(*m_session.sysDb, m_session.auditContext()).create(in);
    if (shownFailure(out))
        return;
    Created = CreatedSet{out.accId, out.accName, out.accPath};
    try {
        const std::unique_ptr<Database> accDb = AccountDb::openAt(*m_session.sysDb, out.accountDbPath);
        if (accDb->query(QStringLiteral("select * from GradeDef")).RecordCount() > 0)
            ConfigDialogs::codingScheme(m_session, out.accId, *accDb, in.year.trimmed().toInt(), in.presetChart, classesOf(in), this);
        ConfigDialogs::precision(m_session, out.accId, *accDb, in.year.trimmed().toInt(), false, this);
    } catch (const DbError& e) {
        // The set exists; only the scheme or precision could not be saved.
        WriteErrLog(4, e.text(), QStringLiteral("cmdOK_Click"));
        MsgBox(tr("账套已创建，但编码方案或数据精度未能保存：%1").arg(e.userText()),
               vb::vbExclamation | vb::vbOKOnly, tr("创建账套"));
    }
    ShowNotice(out.success);
    hide();
    offerEnabling(m_session, out.accId, out.accountDbPath, parentWidget());
    accept();
}

void frmAccount::modifySet(const AccountSetInput& in)
{
    const AccountSetOutcome out = AccountSetCreator(*m_session.sysDb, m_session.auditContext()).modify(in);
    if (shownFailure(out))
        return;
    try {
        const std::unique_ptr<Database> accDb = AccountDb::openAt(*m_session.sysDb, out.accountDbPath);
        // The preset box cannot be changed when modifying and stays ticked.
        ConfigDialogs::codingScheme(m_session, in.accId, *accDb, in.year.trimmed().toInt(), true, classesOf(in), this);
        ConfigDialogs::precision(m_session, in.accId, *accDb, in.year.trimmed().toInt(), true, this);
    } catch (const DbError& e) {
        // The wizard stays open, as for any other failure of modification.
        WriteErrLog(4, e.text(), QStringLiteral("cmdOK_Click"));
        MsgBox(tr("修改账套失败：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, tr("修改帐套"));
        return;
    }
    ShowNotice(out.success);
    hide();
    accept();
}

void frmAccount::offerEnabling(const Session& session, const QString& accId, const QString& accDbPath, QWidget* parent)
{
    if (MsgBox(tr("是否立即启用账套"), vb::vbQuestion | vb::vbYesNo, tr("创建账套")) == vb::vbYes)
        ConfigDialogs::subsystemEnabling(session, accId, accDbPath, parent);
}

void frmAccount::cmdCancel_Click()
{
    reject();
}

void frmAccount::CmdPath_Click()
{
    frmAccPath chooser(this);
    chooser.Caller = QStringLiteral("AddAcc");
    chooser.AccPathBox = txtAccPath;
    const QString path = txtAccPath->text().trimmed();
    if (!path.isEmpty() && CiFile::isDir(path))
        chooser.setPath(path);
    ShowModal(chooser);
}

void frmAccount::cmdYM_Click()
{
    const QDate today = QDate::currentDate();
    const int y = txtYear->text().trimmed().toInt();
    if (txtYear->text().trimmed().isEmpty() || y < 1990 || y > 2050)
        txtYear->setText(QString::number(today.year()));
    const int m = txtMonth->text().trimmed().toInt();
    if (txtMonth->text().trimmed().isEmpty() || m < 1 || m > 12)
        txtMonth->setText(QString::number(today.month()));
    QString year = txtYear->text();
    QString month = txtMonth->text();
    if (ConfigDialogs::calendar(year, month, this)) {
        txtYear->setText(year);
        txtMonth->setText(month);
    }
}

void frmAccount::cmdkm_Click()
{
    ConfigDialogs::chartPreview(m_session, cboTradeKind->currentData().toInt(), cboTradeKind->currentText(), this);
}

void frmAccount::optxyh_Click()
{
    MsgBox(tr("提示：采用优化流程后，发货单保存系统自动生成销售发票及销售出库单。"),
           vb::vbExclamation | vb::vbOKOnly, flowTitle());
}

void frmAccount::optyh_Click()
{
    MsgBox(tr("提示：采用优化流程后，采购入库单保存将自动生成发票并结算，") + QLatin1Char('\n')
               + tr("发票只能查看，运费发票将不可用。"),
           vb::vbExclamation | vb::vbOKOnly, flowTitle());
}
