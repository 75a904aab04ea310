#include "frmAccount.h"
#include "AccountDb.h"
#include "ConfigDialogs.h"
#include "frmAccPath.h"

#include <CiFile.h>
#include <Database.h>
#include <Module1.h>
#include <MsgBox.h>
#include <Paths.h>
#include <ShowModal.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDate>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <utility>

using namespace Module1;

namespace {
ConfigDialogs::Classes classesOf(const AccountSetInput& in)
{
    ConfigDialogs::Classes c;
    c.goodClass = in.goodClass;
    c.custClass = in.custClass;
    c.provClass = in.provClass;
    return c;
}

const QString kCaptions[4] = {
    QStringLiteral("存货是否分类"),
    QStringLiteral("客户是否分类"),
    QStringLiteral("供应商是否分类"),
    QStringLiteral("有无外币核算"),
};
const QString kFlowTitle = QStringLiteral("青木通【系统管理】");

// A caption without its access key and colon, as assistive technology should read it.
QString plain(const QString& caption)
{
    QString s = caption;
    s.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    s.remove(QLatin1Char('&'));
    while (s.endsWith(QLatin1Char(':')) || s.endsWith(QChar(0xFF1A)))
        s.chop(1);
    return s.trimmed();
}

QLabel* captionFor(QWidget* parent, const char* name, const QString& caption, QWidget* buddy)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (buddy) {
        l->setBuddy(buddy);
        if (buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(plain(caption));
    }
    return l;
}

// A widget of type W built from args, under the object name the tests and styles look for.
template <class W, class... Args>
W* named(const char* name, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)...);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLineEdit* textBox(QWidget* parent, const char* name, int maxLength)
{
    auto* e = named<QLineEdit>(name, parent);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = named<QPushButton>(name, caption, parent);
    b->setAutoDefault(false);
    return b;
}

// Puts field into the grid with its caption on the left: the caption at (row, col), the field
// after it across span columns.
template <class W>
W* captioned(QGridLayout* g, int row, int col, int span, const char* label, const QString& caption, W* field,
             Qt::Alignment align = {})
{
    g->addWidget(captionFor(field->parentWidget(), label, caption, field), row, col);
    g->addWidget(field, row, col + 1, 1, span, align);
    return field;
}

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
    p.drawText(text, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("账\n套"));
    return pm;
}

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

// A wizard page under its heading and explanation; returns the layout the page's fields go in.
QVBoxLayout* newPage(QStackedWidget* stack, QFrame*& frame, const char* name, const QString& title,
                     const QString& note, QList<QLabel*>& titles, QList<QLabel*>& notes)
{
    frame = named<QFrame>(name, stack);
    frame->setFrameShape(QFrame::NoFrame);
    auto* body = new QVBoxLayout(frame);
    body->setContentsMargins(16, 12, 16, 12);
    const int n = int(titles.size()) + 1;
    auto* t = new QLabel(title, frame);
    t->setObjectName(QStringLiteral("lblTitle_%1").arg(n));
    QFont f = t->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    t->setFont(f);
    auto* e = new QLabel(note, frame);
    e->setObjectName(QStringLiteral("lblNote_%1").arg(n));
    e->setWordWrap(true);
    auto* line = new QFrame(frame);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    body->addWidget(t);
    body->addWidget(e);
    body->addWidget(line);
    body->addSpacing(8);
    titles << t;
    notes << e;
    stack->addWidget(frame);
    return body;
}

// The grid of captioned fields on a page, kept at the top of it.
QGridLayout* fieldGrid(QVBoxLayout* body)
{
    auto* g = new QGridLayout;
    g->setVerticalSpacing(10);
    body->addLayout(g);
    body->addStretch();
    return g;
}
} // namespace

frmAccount::frmAccount(Mode mode, QWidget* parent)
    : QDialog(parent)
    , m_mode(mode)
{
    setObjectName(QStringLiteral("frmAccount"));
    setWindowTitle(QStringLiteral("创建账套"));

    Picture1 = named<QLabel>("Picture1", this);
    Picture1->setFixedWidth(130);
    Picture1->setMinimumHeight(360);
    Picture1->setScaledContents(false);

    pages = named<QStackedWidget>("pages", this);
    buildPage1();
    buildPage2();
    buildPage3();
    buildPage4();
    buildPage5();

    cmdPre = button(this, "cmdPre", QStringLiteral("上一步(&<)"));
    cmdNext = button(this, "cmdNext", QStringLiteral("下一步(&>)"));
    cmdOK = button(this, "cmdOK", QStringLiteral("完成(&F)"));
    cmdCancel = button(this, "cmdCancel", QStringLiteral("放弃"));
    CmdHelp = button(this, "CmdHelp", QStringLiteral("帮助(&H)"));
    cmdPre->setEnabled(false);
    cmdOK->setEnabled(false);

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

    connect(cmdNext, &QPushButton::clicked, this, &frmAccount::cmdNext_Click);
    connect(cmdPre, &QPushButton::clicked, this, &frmAccount::cmdPre_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmAccount::cmdOK_Click, Qt::QueuedConnection);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAccount::cmdCancel_Click);
    connect(CmdPath, &QPushButton::clicked, this, &frmAccount::CmdPath_Click, Qt::QueuedConnection);
    connect(cmdYM, &QPushButton::clicked, this, &frmAccount::cmdYM_Click, Qt::QueuedConnection);
    connect(cmdkm, &QPushButton::clicked, this, &frmAccount::cmdkm_Click, Qt::QueuedConnection);
    connect(optxyh, &QRadioButton::clicked, this, &frmAccount::optxyh_Click, Qt::QueuedConnection);
    connect(optyh, &QRadioButton::clicked, this, &frmAccount::optyh_Click, Qt::QueuedConnection);

    for (QLineEdit* e : {txtAccID, txtYear, txtMonth}) {
        e->installEventFilter(this);
        e->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    txtAccName->installEventFilter(this);

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

    showPage(1);
    resize(sizeHint().expandedTo(QSize(640, 430)));
}

frmAccount::~frmAccount() = default;

void frmAccount::buildPage1()
{
    QGridLayout* g = fieldGrid(newPage(pages, Picture2, "Picture2", QStringLiteral("账套信息"),
                                       QStringLiteral("此页面可输入当前有关账套信息。"), lblTitle, lblNote));
    QWidget* p = Picture2;
    cboAccount = captioned(g, 0, 0, 3, "lblAccount", QStringLiteral("已存账套:"), named<QComboBox>("cboAccount", p));
    txtAccID = captioned(g, 1, 0, 1, "lblAccID", QStringLiteral("账套号(&A):"), textBox(p, "txtAccID", 3), Qt::AlignLeft);
    txtAccName = captioned(g, 2, 0, 3, "lblAccName", QStringLiteral("账套名称(&N):"), textBox(p, "txtAccName", 40));
    txtAccPath = captioned(g, 3, 0, 2, "lblAccPath", QStringLiteral("账套路径(&P):"), textBox(p, "txtAccPath", 0));
    CmdPath = button(p, "CmdPath", QStringLiteral("..."));
    CmdPath->setAccessibleName(QStringLiteral("选择账套路径"));
    CmdPath->setFixedWidth(CmdPath->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    g->addWidget(CmdPath, 3, 3);

    // Year and month share one row after a single caption; the month box is named by its 月 label.
    txtYear = textBox(p, "txtYear", 4);
    txtMonth = textBox(p, "txtMonth", 2);
    Label4 = named<QLabel>("Label4", QStringLiteral("月"), p);
    Label4->setBuddy(txtMonth);
    txtMonth->setAccessibleName(QStringLiteral("月"));
    cmdYM = button(p, "cmdYM", QStringLiteral("会计期间设置"));
    txtAccID->setFixedWidth(txtAccID->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    txtYear->setFixedWidth(txtYear->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 16);
    txtMonth->setFixedWidth(txtMonth->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    g->addWidget(captionFor(p, "lblYear", QStringLiteral("启用会计期(&Y):"), txtYear), 4, 0);
    auto* ym = new QHBoxLayout;
    ym->addWidget(txtYear);
    ym->addWidget(txtMonth);
    ym->addWidget(Label4);
    ym->addStretch();
    ym->addWidget(cmdYM);
    g->addLayout(ym, 4, 1, 1, 3);
    g->setColumnStretch(2, 1);
}

void frmAccount::buildPage2()
{
    QGridLayout* g = fieldGrid(newPage(pages, Picture3, "Picture3", QStringLiteral("单位信息"),
                                       QStringLiteral("此页面输入贵单位的单位信息。"), lblTitle, lblNote));
    QWidget* p = Picture3;
    txtUnitName = captioned(g, 0, 0, 3, "lblUnitName", QStringLiteral("单位名称(&M):"), textBox(p, "txtUnitName", 40));
    txtUnitAbbre = captioned(g, 1, 0, 3, "lblUnitAbbre", QStringLiteral("单位简称(&A):"), textBox(p, "txtUnitAbbre", 40));
    TxtUnitAddr = captioned(g, 2, 0, 3, "lblUnitAddr", QStringLiteral("单位地址(&R):"), textBox(p, "TxtUnitAddr", 80));
    txtUnitLP = captioned(g, 3, 0, 1, "lblUnitLP", QStringLiteral("法人代表(&L):"), textBox(p, "txtUnitLP", 16));
    txtUnitZap = captioned(g, 3, 2, 1, "lblUnitZap", QStringLiteral("邮政编码(&Z):"), textBox(p, "txtUnitZap", 6));
    txtUnitTel = captioned(g, 4, 0, 1, "lblUnitTel", QStringLiteral("联系电话(&P):"), textBox(p, "txtUnitTel", 30));
    txtUnitFax = captioned(g, 4, 2, 1, "lblUnitFax", QStringLiteral("传真(&F):"), textBox(p, "txtUnitFax", 30));
    txtUnitEMail = captioned(g, 5, 0, 1, "lblUnitEMail", QStringLiteral("电子邮件(&E):"), textBox(p, "txtUnitEMail", 40));
    txtUnitTaxNo = captioned(g, 5, 2, 1, "lblUnitTaxNo", QStringLiteral("税号(&X):"), textBox(p, "txtUnitTaxNo", 20));
    txtFinType = captioned(g, 6, 0, 1, "lblFinType", QStringLiteral("备注一:"), textBox(p, "txtFinType", 16));
    txtFinKind = captioned(g, 6, 2, 1, "lblFinKind", QStringLiteral("备注二:"), textBox(p, "txtFinKind", 16));
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
}

void frmAccount::buildPage3()
{
    QGridLayout* g = fieldGrid(newPage(pages, Picture4, "Picture4", QStringLiteral("核算类型"),
                                       QStringLiteral("此页面输入您选择的核算类型。"), lblTitle, lblNote));
    QWidget* p = Picture4;
    txtCurCode = captioned(g, 0, 0, 1, "lblCurCode", QStringLiteral("本币代码(&C):"), textBox(p, "txtCurCode", 4));
    txtCurName = captioned(g, 1, 0, 1, "lblCurName", QStringLiteral("本币名称(&M):"), textBox(p, "txtCurName", 8));
    txtCurCode->setText(QStringLiteral("RMB"));
    txtCurName->setText(QStringLiteral("人民币"));
    cboEntType = captioned(g, 2, 0, 1, "lblEntType", QStringLiteral("企业类型(&Y):"), named<QComboBox>("cboEntType", p));
    cboEntType->addItems({QStringLiteral("商业"), QStringLiteral("工业")});
    cboEntType->setCurrentIndex(1);
    cboTradeKind = captioned(g, 3, 0, 2, "lblTradeKind", QStringLiteral("行业性质(&K):"), named<QComboBox>("cboTradeKind", p));
    cboAcc_Master =
        captioned(g, 4, 0, 2, "lblAcc_Master", QStringLiteral("账套主管(&H):"), named<QComboBox>("cboAcc_Master", p));
    Check1 = named<QCheckBox>("Check1", QStringLiteral("按行业性质预置科目(&S)"), p);
    Check1->setChecked(true);
    cmdkm = button(p, "cmdkm", QStringLiteral("科目预览"));
    auto* preset = new QHBoxLayout;
    preset->addWidget(Check1);
    preset->addStretch();
    preset->addWidget(cmdkm);
    g->addLayout(preset, 5, 1, 1, 2);
    g->setColumnStretch(2, 1);
    g->setColumnMinimumWidth(1, 200);
}

void frmAccount::buildPage4()
{
    QVBoxLayout* body = newPage(pages, Picture5, "Picture5", QStringLiteral("基础信息"),
                                QStringLiteral("此页面设置您的701账套2005年度账基础信息。"), lblTitle, lblNote);
    QWidget* p = Picture5;
    chkbGoodClass = named<QCheckBox>("chkbGoodClass", QStringLiteral("存货是否分类(&V)"), p);
    chkbCustClass = named<QCheckBox>("chkbCustClass", QStringLiteral("客户是否分类(&C)"), p);
    chkbProvClass = named<QCheckBox>("chkbProvClass", QStringLiteral("供应商是否分类(&P)"), p);
    chkbFrgnCurrencyAcc = named<QCheckBox>("chkbFrgnCurrencyAcc", QStringLiteral("有无外币核算(&A)"), p);
    auto* box = new QVBoxLayout;
    box->setContentsMargins(40, 0, 0, 0);
    box->setSpacing(14);
    for (QCheckBox* c : {chkbGoodClass, chkbCustClass, chkbProvClass, chkbFrgnCurrencyAcc})
        box->addWidget(c);
    body->addLayout(box);
    body->addStretch();
}

void frmAccount::buildPage5()
{
    QVBoxLayout* body = newPage(pages, Picture6, "Picture6", QStringLiteral("业务流程"),
                                QStringLiteral("此页面设置你的业务流程信息"), lblTitle, lblNote);
    QWidget* p = Picture6;

    framxs = named<QGroupBox>("framxs", QStringLiteral("销售流程"), p);
    optxyh = named<QRadioButton>("optxyh", QStringLiteral("优化流程"), framxs);
    optxbz = named<QRadioButton>("optxbz", QStringLiteral("标准流程"), framxs);
    optxbz->setChecked(true);
    auto* lblxyh = named<QLabel>("lblxyh", QStringLiteral("销售订单->发货单->收款"), framxs);
    auto* lblxbz = named<QLabel>("lblxbz", QStringLiteral("销售订单->发货单"), framxs);
    auto* lblxck = named<QLabel>("lblxck", QStringLiteral("->出库单"), framxs);
    auto* lblxfp = named<QLabel>("lblxfp", QStringLiteral("->发票->收款"), framxs);
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

    framecg = named<QGroupBox>("framecg", QStringLiteral("采购流程"), p);
    optyh = named<QRadioButton>("optyh", QStringLiteral("优化流程"), framecg);
    optbz = named<QRadioButton>("optbz", QStringLiteral("标准流程"), framecg);
    optbz->setChecked(true);
    lblyh = named<QLabel>("lblyh", QStringLiteral("采购订单->入库单->付款"), framecg);
    lblbz = named<QLabel>("lblbz", QStringLiteral("采购订单->入库单->发票->付款"), framecg);
    auto* gc = new QGridLayout(framecg);
    gc->addWidget(optyh, 0, 0);
    gc->addWidget(lblyh, 0, 1);
    gc->addWidget(optbz, 1, 0);
    gc->addWidget(lblbz, 1, 1);
    gc->setColumnStretch(2, 1);

    body->addWidget(framxs);
    body->addSpacing(8);
    body->addWidget(framecg);
    body->addStretch();
}

int frmAccount::lastPage() const
{
    return m_mode == Mode::Modify ? 4 : 5;
}

void frmAccount::showPage(int page)
{
    m_page = page;
    QFrame* const frames[] = {Picture2, Picture3, Picture4, Picture5, Picture6};
    pages->setCurrentWidget(frames[page - 1]);
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
    Recordset rs = gSysDb->query(QStringLiteral("select * from GL_BTrade order by itrade_id"));
    for (; !rs.Eof(); rs.MoveNext())
        cboTradeKind->addItem(rs.text(QStringLiteral("ctrade_name")), rs.Fields(QStringLiteral("itrade_id")).toInt());
}

void frmAccount::loadCreate()
{
    setWindowTitle(QStringLiteral("创建账套"));
    if (!gSysDb)
        return;
    try {
        Recordset sets = gSysDb->query(QStringLiteral("select * from SM_Account"));
        for (; !sets.Eof(); sets.MoveNext())
            cboAccount->addItem(ListEntry(sets.text(QStringLiteral("cAcc_Id")), sets.text(QStringLiteral("cAcc_Name"))));
        if (cboAccount->count() > 0)
            cboAccount->setCurrentIndex(0);

        // The lowest number that no set uses: the first gap after 001, or 001 itself.
        Recordset ids = gSysDb->query(QStringLiteral("select cAcc_Id from SM_Account order by cAcc_Id"));
        int next = 1;
        if (!ids.Eof() && ids.Fields(QStringLiteral("cAcc_Id")).toString().toInt() == 1) {
            int last = 0;
            for (; !ids.Eof(); ids.MoveNext()) {
                const int n = ids.Fields(QStringLiteral("cAcc_Id")).toString().toInt();
                if (n - last > 1)
                    break;
                last = n;
            }
            next = last + 1;
        }
        txtAccID->setText(QStringLiteral("%1").arg(next, 3, 10, QLatin1Char('0')));

        txtAccPath->setText(gRootPath);
        // On a server the books are a schema of its database: no folder of this workstation to choose.
        const bool onServer = gSysDb && gSysDb->engine() == Engine::PostgreSQL;
        txtAccPath->setEnabled(!onServer);
        CmdPath->setEnabled(!onServer);
        const QDate today = QDate::currentDate();
        txtYear->setText(QString::number(today.year()));
        txtMonth->setText(QString::number(today.month()));

        cboEntType->clear();
        cboEntType->addItems({QStringLiteral("商业"), QStringLiteral("工业")});
        cboEntType->setCurrentIndex(1);

        fillTradeKinds();
        if (cboTradeKind->count() > 1)
            cboTradeKind->setCurrentIndex(0);
        const int std2007 = cboTradeKind->findText(QStringLiteral("2007年新会计准则"));
        if (std2007 >= 0)
            cboTradeKind->setCurrentIndex(std2007);

        Recordset users = gSysDb->query(QStringLiteral("select * from SM_User where iAdmin=0 order by cUser_Id"));
        int demo = -1;
        for (; !users.Eof(); users.MoveNext()) {
            cboAcc_Master->addItem(ListEntry(users.text(QStringLiteral("cUser_Id")), users.text(QStringLiteral("cUser_Name"))));
            if (users.text(QStringLiteral("cUser_Name")).toLower() == QLatin1String("demo"))
                demo = cboAcc_Master->count() - 1;
        }
        if (cboAcc_Master->count() > 0)
            cboAcc_Master->setCurrentIndex(demo >= 0 ? demo : 0);
    } catch (const DbError& e) {
        // The wizard opens with what was filled so far.
        WriteErrLog(3, e.text(), QStringLiteral("Form_Load"));
    }
}

void frmAccount::loadModify()
{
    setWindowTitle(QStringLiteral("修改帐套"));
    if (!gSysDb)
        return;
    try {
        Recordset rs = gSysDb->query(QStringLiteral("select * from sm_account where cacc_id=?"), {gAccId});
        if (rs.Eof()) {
            MsgBox(QStringLiteral("帐套不存在！"), vb::vbOKOnly);
            return;
        }
        txtAccID->setText(rs.text(QStringLiteral("cacc_id")));
        txtAccName->setText(rs.text(QStringLiteral("cacc_name")));
        txtAccPath->setText(rs.text(QStringLiteral("cacc_path")));
        txtYear->setText(rs.text(QStringLiteral("iyear")));
        txtMonth->setText(rs.text(QStringLiteral("imonth")));
        for (QWidget* w : std::initializer_list<QWidget*>{cboAccount, txtAccID, txtAccPath, txtYear, txtMonth})
            w->setEnabled(false);

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

        txtCurCode->setText(rs.text(QStringLiteral("cCurCode")));
        txtCurName->setText(rs.text(QStringLiteral("cCurname")));
        txtCurCode->setEnabled(false);
        txtCurName->setEnabled(false);
        cboEntType->clear();
        cboEntType->addItem(rs.text(QStringLiteral("cEntType")));
        cboEntType->setCurrentIndex(0);
        cboEntType->setEnabled(false);
        fillTradeKinds();
        const int trade = cboTradeKind->findText(rs.text(QStringLiteral("cTradeKind")), Qt::MatchExactly);
        if (trade >= 0)
            cboTradeKind->setCurrentIndex(trade);
        cboAcc_Master->clear();
        cboAcc_Master->addItem(rs.text(QStringLiteral("cAcc_Master")));
        cboAcc_Master->setCurrentIndex(0);
        cboAcc_Master->setEnabled(false);
        Check1->setEnabled(false);

        const std::unique_ptr<Database> accDb = AccountDb::open(*gSysDb, gAccId, txtYear->text().trimmed().toInt());
        Recordset info = accDb->query(QStringLiteral("select * from AccInformation"));
        if (info.RecordCount() > 0) {
            QCheckBox* const boxes[] = {chkbGoodClass, chkbCustClass, chkbProvClass, chkbFrgnCurrencyAcc};
            for (int i = 0; i < 4; ++i) {
                info.FindFirst(QStringLiteral("cCaption"), kCaptions[i]);
                if (!info.NoMatch())
                    boxes[i]->setChecked(info.text(QStringLiteral("cValue")) != QLatin1String("False"));
            }
        }
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("Form_Load"));
    }
}

AccountSetInput frmAccount::inputs() const
{
    AccountSetInput in;
    in.accId = txtAccID->text();
    in.accName = txtAccName->text();
    in.accPath = txtAccPath->text();
    in.year = txtYear->text();
    in.month = txtMonth->text();
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
    in.curCode = txtCurCode->text();
    in.curName = txtCurName->text();
    in.entType = cboEntType->currentText();
    in.tradeKind = cboTradeKind->currentText();
    in.tradeId = cboTradeKind->currentData().toInt();
    in.master = cboAcc_Master->currentText();
    in.presetChart = Check1->isChecked();
    in.goodClass = chkbGoodClass->isChecked();
    in.custClass = chkbCustClass->isChecked();
    in.provClass = chkbProvClass->isChecked();
    in.frgnCurrencyAcc = chkbFrgnCurrencyAcc->isChecked();
    return in;
}

void frmAccount::cmdNext_Click()
{
    auto filled = [](QLineEdit* e) { return !e->text().trimmed().isEmpty(); };
    switch (m_page) {
    case 1: {
        if (!filled(txtAccID) || !filled(txtAccName) || !filled(txtAccPath) || !filled(txtYear) || !filled(txtMonth))
            return;
        // A relative path would put the books wherever the console happened to be started.
        const QString path = txtAccPath->text().trimmed();
        if (m_mode != Mode::Modify && !QDir::isAbsolutePath(Paths::normalize(path))) {
            MsgBox(QStringLiteral("账套路径必须是完整的绝对路径（以“/”开头），不能是相对路径：%1").arg(path),
                   vb::vbExclamation | vb::vbOKOnly, QStringLiteral("创建账套"));
            txtAccPath->setFocus();
            return;
        }
        const QString id = txtAccID->text().trimmed();
        const QString formatted = QStringLiteral("%1").arg(id.toInt(), 3, 10, QLatin1Char('0'));
        const QString name = txtAccName->text().trimmed();
        // The same number and name as a set that exists: as typed, and as it will be stored.
        for (int i = 0; i < cboAccount->count(); ++i) {
            const QString entry = cboAccount->itemText(i);
            if (entry == ListEntry(id, name) || entry == ListEntry(formatted, name))
                return;
        }
        cmdPre->setEnabled(true);
        showPage(2);
        txtAccID->setText(formatted);
        txtUnitName->setFocus();
        break;
    }
    case 2:
        if (!filled(txtUnitName))
            return;
        showPage(3);
        break;
    case 3:
        if (!filled(txtCurCode) || !filled(txtCurName))
            return;
        lblNote[3]->setText(QStringLiteral("此页面设置您的") + txtAccID->text() + QStringLiteral("账套") + txtYear->text()
                            + QStringLiteral("年度账基础信息。"));
        showPage(4);
        if (m_mode == Mode::Modify) {
            cmdNext->setEnabled(false);
            cmdOK->setEnabled(true);
        }
        break;
    case 4:
        if (m_mode == Mode::Modify)
            return;
        showPage(5);
        cmdNext->setEnabled(false);
        cmdOK->setEnabled(true);
        break;
    default:
        return;
    }
    if (!cmdNext->isEnabled())
        cmdOK->setFocus();
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
        ? MsgBox(QStringLiteral("可以修改帐套了么？"), vb::vbQuestion | vb::vbYesNo, QStringLiteral("修改帐套"))
        : MsgBox(QStringLiteral("可以创建账套了么？"), vb::vbQuestion | vb::vbYesNo, QStringLiteral("创建账套"));
    if (answer != vb::vbYes)
        return;
    if (!gSysDb) {
        MsgBox(QStringLiteral("系统库未打开，请重新注册。"), vb::vbExclamation | vb::vbOKOnly,
               modifying ? QStringLiteral("修改帐套") : QStringLiteral("创建账套"));
        return;
    }
    AccountSetInput in = inputs();
    if (modifying) {
        in.accId = gAccId;
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
    const AccountSetOutcome out = AccountSetCreator(*gSysDb, auditContext()).create(in);
    if (shownFailure(out))
        return;
    gAccId = out.accId;
    gAccName = out.accName;
    Created = CreatedSet{out.accId, out.accName, out.accPath};
    try {
        const std::unique_ptr<Database> accDb = AccountDb::openAt(*gSysDb, out.accountDbPath);
        if (accDb->query(QStringLiteral("select * from GradeDef")).RecordCount() > 0)
            ConfigDialogs::codingScheme(*accDb, in.year.trimmed().toInt(), in.presetChart, classesOf(in), this);
        ConfigDialogs::precision(*accDb, in.year.trimmed().toInt(), false, this);
    } catch (const DbError& e) {
        // The set exists; only the scheme or precision could not be saved.
        WriteErrLog(4, e.text(), QStringLiteral("cmdOK_Click"));
        MsgBox(QStringLiteral("账套已创建，但编码方案或数据精度未能保存：%1").arg(e.userText()),
               vb::vbExclamation | vb::vbOKOnly, QStringLiteral("创建账套"));
    }
    ShowNotice(out.success);
    hide();
    offerEnabling(out.accountDbPath, parentWidget());
    accept();
}

void frmAccount::modifySet(const AccountSetInput& in)
{
    const AccountSetOutcome out = AccountSetCreator(*gSysDb, auditContext()).modify(in);
    if (shownFailure(out))
        return;
    try {
        const std::unique_ptr<Database> accDb = AccountDb::openAt(*gSysDb, out.accountDbPath);
        // The preset box cannot be changed when modifying and stays ticked.
        ConfigDialogs::codingScheme(*accDb, in.year.trimmed().toInt(), true, classesOf(in), this);
        ConfigDialogs::precision(*accDb, in.year.trimmed().toInt(), true, this);
    } catch (const DbError& e) {
        // The wizard stays open, as for any other failure of modification.
        WriteErrLog(4, e.text(), QStringLiteral("cmdOK_Click"));
        MsgBox(QStringLiteral("修改账套失败：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, QStringLiteral("修改帐套"));
        return;
    }
    ShowNotice(out.success);
    hide();
    accept();
}

void frmAccount::offerEnabling(const QString& accDbPath, QWidget* parent)
{
    if (MsgBox(QStringLiteral("是否立即启用账套"), vb::vbQuestion | vb::vbYesNo, QStringLiteral("创建账套")) == vb::vbYes)
        ConfigDialogs::subsystemEnabling(accDbPath, parent);
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
    ConfigDialogs::chartPreview(cboTradeKind->currentData().toInt(), cboTradeKind->currentText(), this);
}

void frmAccount::optxyh_Click()
{
    MsgBox(QStringLiteral("提示：采用优化流程后，发货单保存系统自动生成销售发票及销售出库单。"),
           vb::vbExclamation | vb::vbOKOnly, kFlowTitle);
}

void frmAccount::optyh_Click()
{
    MsgBox(QStringLiteral("提示：采用优化流程后，采购入库单保存将自动生成发票并结算，") + QLatin1Char('\n')
               + QStringLiteral("发票只能查看，运费发票将不可用。"),
           vb::vbExclamation | vb::vbOKOnly, kFlowTitle);
}

bool frmAccount::eventFilter(QObject* watched, QEvent* event)
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
    return QDialog::eventFilter(watched, event);
}
