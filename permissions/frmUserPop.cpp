#include "frmUserPop.h"
#include "PermissionGrant.h"
#include "frmAddPop.h"
#include "frmAddPopTree.h"

#include <FlexGrid.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <ShowModal.h>
#include <Twips.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Module1;

namespace {
Database& sysDb(const Session& session)
{
    if (!session.sysDb)
        throw DbError(QCoreApplication::translate("frmUserPop", "系统库未打开"));
    return *session.sysDb;
}

QAction* toolButton(QToolBar* bar, QStyle::StandardPixmap icon, const char* key, const QString& text, const QString& tip)
{
    QAction* a = bar->addAction(bar->style()->standardIcon(icon), text);
    a->setObjectName(QString::fromLatin1(key));
    a->setToolTip(tip);
    a->setStatusTip(tip);
    return a;
}
} // namespace

frmUserPop::frmUserPop(const Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_accId(session.account.id)
{
    setObjectName(QStringLiteral("frmUserPop"));
    setWindowTitle(shown(kCaption));
    resize(Twips::toPxX(10200), Twips::toPxY(6900));

    buildToolbar();
    buildOperators();
    QLayout* choice = buildChoice();
    MSFlexGrid2 = new FlexGrid(this);
    MSFlexGrid2->setObjectName(QStringLiteral("MSFlexGrid2"));
    MSFlexGrid2->setAccessibleName(tr("权限"));
    MSFlexGrid2->setSelectionBehavior(QAbstractItemView::SelectRows);

    buildStatus();

    auto* right = new QVBoxLayout;
    right->addLayout(choice);
    right->addWidget(MSFlexGrid2, 1);
    auto* body = new QHBoxLayout;
    body->addWidget(Frame1);
    body->addLayout(right, 1);
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(6, 0, 6, 6);
    top->setMenuBar(Toolbar1);
    top->addLayout(body, 1);
    top->addWidget(Label2);
    top->addWidget(Picture1);

    setTabOrder(MSFlexGrid1, cboYear);
    setTabOrder(cboYear, cboAcc);
    setTabOrder(cboAcc, Check1);
    setTabOrder(Check1, MSFlexGrid2);

    connect(cboYear, QOverload<int>::of(&QComboBox::activated), this, [this](int) { cboYear_Click(); });
    connect(cboAcc, QOverload<int>::of(&QComboBox::activated), this, [this](int) { cboAcc_Click(); });
    connect(Check1, &QCheckBox::toggled, this, [this](bool) { Check1_Click(); });
    connect(MSFlexGrid1, &FlexGrid::EnterCell, this, &frmUserPop::MSFlexGrid1_EnterCell);
    // "增加" opens a modal dialog: queued, so the toolbar returns first.
    connect(Toolbar1, &QToolBar::actionTriggered, this, &frmUserPop::Toolbar1_ButtonClick, Qt::QueuedConnection);
}

// The toolbar's five buttons, each a QAction named by its key.
void frmUserPop::buildToolbar()
{
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setIconSize(QSize(24, 24));
    btnAdd = toolButton(Toolbar1, QStyle::SP_FileDialogNewFolder, "Add", tr("增加"), tr("增加操作权限"));
    btnDelete = toolButton(Toolbar1, QStyle::SP_TrashIcon, "delete", tr("删除"), tr("删除操作权限"));
    btnRefresh = toolButton(Toolbar1, QStyle::SP_BrowserReload, "refresh", tr("刷新"), tr("刷新显示内容"));
    btnHelp = toolButton(Toolbar1, QStyle::SP_DialogHelpButton, "help", tr("帮助"), tr("显示当前帮助信息"));
    btnExit = toolButton(Toolbar1, QStyle::SP_DialogCloseButton, "exit", tr("退出"), tr("退出权限设置"));
}

// The operators' grid in its frame on the left.
void frmUserPop::buildOperators()
{
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    MSFlexGrid1 = new FlexGrid(Frame1);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setAccessibleName(tr("操作员"));
    MSFlexGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    MSFlexGrid1->setFormatString(tr("操作员ID|操作员全名|用户类型"));
    MSFlexGrid1->setColWidth(0, 1000);
    MSFlexGrid1->setColWidth(1, 1300);
    MSFlexGrid1->setColWidth(2, 900);
    MSFlexGrid1->setRows(2);
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->setContentsMargins(4, 4, 4, 4);
    frameLayout->addWidget(MSFlexGrid1);
    Frame1->setMinimumWidth(Twips::toPxX(3600));
}

// The year, the set and the supervisor box above the rights, in a row.
QLayout* frmUserPop::buildChoice()
{
    lblYear = new QLabel(tr("年度"), this);
    lblYear->setObjectName(QStringLiteral("lblYear"));
    cboYear = new QComboBox(this);
    cboYear->setObjectName(QStringLiteral("cboYear"));
    cboYear->setAccessibleName(tr("年度"));
    cboYear->setMinimumWidth(Twips::toPxX(1000));
    lblYear->setBuddy(cboYear);
    lblAcc = new QLabel(tr("账套"), this);
    lblAcc->setObjectName(QStringLiteral("lblAcc"));
    cboAcc = new QComboBox(this);
    cboAcc->setObjectName(QStringLiteral("cboAcc"));
    cboAcc->setAccessibleName(tr("账套"));
    cboAcc->setMinimumWidth(Twips::toPxX(2600));
    cboAcc->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    lblAcc->setBuddy(cboAcc);
    Check1 = new QCheckBox(tr("账套主管"), this);
    Check1->setObjectName(QStringLiteral("Check1"));

    auto* choice = new QHBoxLayout;
    choice->addWidget(lblYear);
    choice->addWidget(cboYear);
    choice->addSpacing(12);
    choice->addWidget(lblAcc);
    choice->addWidget(cboAcc, 1);
    choice->addSpacing(12);
    choice->addWidget(Check1);
    return choice;
}

// The note and the status line under the grids.
void frmUserPop::buildStatus()
{
    Label2 = new QLabel(tr("说明：增加权限时，注意选择相关的账套和年度。"), this);
    Label2->setObjectName(QStringLiteral("Label2"));

    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    static_cast<QFrame*>(Picture1)->setFrameShape(QFrame::StyledPanel);
    static_cast<QFrame*>(Picture1)->setFrameShadow(QFrame::Sunken);
    Label1 = new QLabel(tr("就绪..."), Picture1);
    Label1->setObjectName(QStringLiteral("Label1"));
    auto* statusLayout = new QHBoxLayout(Picture1);
    statusLayout->setContentsMargins(6, 2, 6, 2);
    statusLayout->addWidget(Label1);
}

frmUserPop::~frmUserPop() = default;

void frmUserPop::reportDbError(const QString& text, const QString& routine)
{
    WriteErrLog(3, text, routine);
    MsgBox(text, vb::vbExclamation | vb::vbOKOnly, shown(kTitle));
}

void frmUserPop::Form_Load()
{
    MSFlexGrid2->setFormatString(tr("权限|权限名称|隶属系统"));
    MSFlexGrid2->setColWidth(0, 1000);
    MSFlexGrid2->setColWidth(1, 1800);
    MSFlexGrid2->setColWidth(2, 1200);
    MSFlexGrid2->setRowHeight(0, 400);
    MSFlexGrid2->setHeaderFontPointSize(12);
    MSFlexGrid2->setRows(2);

    m_loading = true;
    try {
        if (!m_session.user.isAdmin) {
            fillOperators(QStringLiteral("select * from SM_User where iAdmin=0 and cUser_Id<>? order by cUser_Id"), {m_session.user.id});
            // A supervisor works on the set and year it logged in with.
            Check1->setEnabled(false);
            cboYear->setEnabled(false);
            cboAcc->setEnabled(false);
        } else {
            fillOperators(QStringLiteral("select * from sm_user where iAdmin=0 order by cUser_Id"), {});
            MSFlexGrid1->setColWidth(2, 0);
        }
    } catch (const DbError& e) {
        reportDbError(e.userText(), QStringLiteral("Form_Load"));
    }
    m_shownRow = MSFlexGrid1->Row();
    m_loading = false;

    cboAcc->clear();
    cboYear->clear();
    LoadAccountYear();
    MemberId = MSFlexGrid1->TextMatrix(MSFlexGrid1->Row(), 0);
}

void frmUserPop::fillOperators(const QString& sql, const QVariantList& params)
{
    Recordset rs = sysDb(m_session).query(sql, params);
    if (rs.Eof())
        return;
    MSFlexGrid1->setRows(rs.RecordCount() + 1);
    int r = 1;
    for (; !rs.Eof(); rs.MoveNext(), ++r) {
        MSFlexGrid1->setTextMatrix(r, 0, rs.text(QStringLiteral("cUser_Id")));
        MSFlexGrid1->setTextMatrix(r, 1, rs.text(QStringLiteral("cUser_Name")));
        MSFlexGrid1->setTextMatrix(r, 2, tr("用户"));
    }
    MSFlexGrid1->setRow(1);
}

void frmUserPop::LoadAccountYear()
{
    try {
        cboYear->clear();
        // Years ascending, oldest first.
        Recordset rs = sysDb(m_session).query(QStringLiteral("Select Distinct(iYear) From SM_Account order by iYear"));
        int chosen = -1;
        for (; !rs.Eof(); rs.MoveNext()) {
            cboYear->addItem(rs.Fields(0).toString());
            if (rs.Fields(0).toString() == m_session.account.year)
                chosen = cboYear->count() - 1;
        }
        if (chosen < 0 && m_session.account.year.isEmpty() && cboYear->count() > 0)
            chosen = 0;
        cboYear->setCurrentIndex(chosen);
        if (chosen >= 0)
            cboYear_Click();
    } catch (const DbError& e) {
        reportDbError(e.userText(), QStringLiteral("LoadAccountYear"));
    }
}

void frmUserPop::cboYear_Click()
{
    bool numeric = false;
    const int year = cboYear->currentText().trimmed().toInt(&numeric);
    if (!numeric)
        return;
    try {
        cboAcc->clear();
        Recordset rs = sysDb(m_session).query(QStringLiteral("select * from SM_Account Where iYear=? order by cAcc_Id"), {year});
        for (; !rs.Eof(); rs.MoveNext())
            cboAcc->addItem(ListEntry(rs.text(QStringLiteral("cAcc_Id")), rs.text(QStringLiteral("cAcc_Name"))));
        if (cboAcc->count() == 0)
            return;
        int chosen = 0;
        if (!m_accId.isEmpty() && !m_session.account.name.isEmpty()) {
            chosen = cboAcc->findText(ListEntry(m_accId, m_session.account.name));
            // The name kept in the shared state may be older than the set's; the number decides.
            for (int i = 0; chosen < 0 && i < cboAcc->count(); ++i)
                if (ListEntryId(cboAcc->itemText(i)).compare(m_accId, Qt::CaseInsensitive) == 0)
                    chosen = i;
            if (chosen < 0)
                chosen = 0;
        }
        cboAcc->setCurrentIndex(chosen);
    } catch (const DbError& e) {
        reportDbError(e.userText(), QStringLiteral("cboYear_Click"));
        return;
    }
    cboAcc_Click();
}

void frmUserPop::cboAcc_Click()
{
    const QString text = cboAcc->currentText();
    if (text.isEmpty())
        return;
    m_accId = ListEntryId(text);
    ShowPoP();
}

void frmUserPop::MSFlexGrid1_EnterCell()
{
    if (m_loading || MSFlexGrid1->Row() == m_shownRow)
        return;
    ShowPoP();
}

void frmUserPop::setCheck(bool checked)
{
    // The box's handling runs exactly once: through the change, or directly when there is none.
    if (Check1->isChecked() == checked)
        Check1_Click();
    else
        Check1->setChecked(checked);
}

void frmUserPop::ShowPoP()
{
    m_guard = false;
    m_shownRow = MSFlexGrid1->Row();
    MemberId = MSFlexGrid1->TextMatrix(m_shownRow, 0);
    try {
        Database& db = sysDb(m_session);
        // Only the first role counts.
        Recordset role = db.query(QStringLiteral("select * from SM_Role where cUser_Id=?"), {MemberId});
        const QString roleId = role.Eof() ? QString() : role.text(QStringLiteral("cGroup_Id"));
        if (MemberId.isEmpty())
            return;
        // Holdings of every year of the set count.
        Recordset held = db.query(QStringLiteral("select * from SM_HoldAuth where cAcc_Id=? and cUser_Id in (?,?) order by cAuth_Id"),
                                  {m_accId, MemberId, roleId});
        if (held.Eof()) {
            setCheck(false);
            return;
        }
        held.MoveLast();
        if (held.text(QStringLiteral("cAuth_Id")).toLower() == QLatin1String("admin")) {
            setCheck(true);
            return;
        }
        setCheck(false);
        // A left join keeps a supervisor row that sorts before other holdings in the list.
        Recordset rs = db.query(QStringLiteral("select a.*,b.cAuth_Name,c.cSub_Name from SM_HoldAuth a inner join SM_Auth b on b.cAuth_Id=a.cAuth_Id "
                                               "left join SM_SubSys c on c.cSub_Id=substr(a.cAuth_Id,1,2) COLLATE NOCASE "
                                               "where a.cAcc_Id=? and a.cUser_Id in (?,?) order by a.cAuth_Id"),
                                {m_accId, MemberId, roleId});
        if (rs.Eof())
            return;
        MSFlexGrid2->setRows(rs.RecordCount() + 1);
        int r = 1;
        for (; !rs.Eof(); rs.MoveNext(), ++r) {
            MSFlexGrid2->setTextMatrix(r, 0, rs.text(QStringLiteral("cAuth_Id")));
            MSFlexGrid2->setTextMatrix(r, 1, rs.text(QStringLiteral("cAuth_Name")));
            MSFlexGrid2->setTextMatrix(r, 2, rs.text(QStringLiteral("cSub_Name")));
        }
    } catch (const DbError& e) {
        reportDbError(e.userText(), QStringLiteral("ShowPoP"));
    }
}

void frmUserPop::showSupervisorRows()
{
    Recordset rs = sysDb(m_session).query(QStringLiteral("select * from SM_SubSys order by nType"));
    if (!rs.Eof()) {
        MSFlexGrid2->setRows(rs.RecordCount() + 1);
        int r = 1;
        for (; !rs.Eof(); rs.MoveNext(), ++r) {
            MSFlexGrid2->setTextMatrix(r, 0, QStringLiteral("Admin"));
            MSFlexGrid2->setTextMatrix(r, 1, tr("系统管理"));
            MSFlexGrid2->setTextMatrix(r, 2, rs.text(QStringLiteral("cSub_Name")));
        }
    }
    btnAdd->setEnabled(false);
    btnDelete->setEnabled(false);
}

void frmUserPop::blankRightGrid()
{
    MSFlexGrid2->setRows(2);
    for (int c = 0; c < MSFlexGrid2->Cols(); ++c)
        MSFlexGrid2->setTextMatrix(1, c, QString());
}

void frmUserPop::Check1_Click()
{
    try {
        if (!m_guard) {
            if (Check1->isChecked()) {
                showSupervisorRows();
            } else {
                blankRightGrid();
                btnAdd->setEnabled(true);
                btnDelete->setEnabled(true);
            }
            m_guard = true;
            return;
        }
        if (MemberId.isEmpty()) {
            m_guard = false;
            Check1->setChecked(!Check1->isChecked());
            m_guard = true;
            MsgBox(tr("请选择操作员！"), vb::vbExclamation | vb::vbOKOnly, shown(kTitle));
            return;
        }
        if (!Check1->isChecked()) {
            if (MsgBox(tr("取消操作员:[%1]账套主管权限吗?").arg(MemberId), vb::vbYesNo | vb::vbQuestion, shown(kTitle)) == vb::vbNo) {
                m_guard = false;
                Check1->setChecked(true);
                m_guard = true;
                return;
            }
            blankRightGrid();
            btnAdd->setEnabled(true);
            btnDelete->setEnabled(true);
            // Removing the supervisor removes everything the member holds in the set, every year.
            PermissionGrant::removeAll(sysDb(m_session), m_accId, cboYear->currentText().trimmed().toInt(), MemberId, true, m_session.auditContext());
            m_guard = true;
            return;
        }
        if (MsgBox(tr("设置操作员:[%1]账套主管权限吗?").arg(MemberId), vb::vbYesNo | vb::vbQuestion, shown(kSetTitle)) == vb::vbNo) {
            m_guard = false;
            Check1->setChecked(false);
            m_guard = true;
            return;
        }
        showSupervisorRows();
        bool numeric = false;
        const int year = cboYear->currentText().trimmed().toInt(&numeric);
        if (!m_accId.isEmpty() && numeric) {
            // Already a supervisor for this year: the one row stays.
            PermissionGrant::setSupervisor(sysDb(m_session), m_accId, year, MemberId, m_session.auditContext());
            m_guard = true;
        } else {
            MsgBox(tr("请选择账套！"), vb::vbOKOnly, shown(kSetTitle));
            m_guard = false;
            Check1->setChecked(false);
            m_guard = true;
        }
    } catch (const DbError& e) {
        m_guard = false;
        reportDbError(e.userText(), QStringLiteral("Check1_Click"));
        // Show what the database holds now.
        ShowPoP();
    }
}

void frmUserPop::Toolbar1_ButtonClick(QAction* button)
{
    if (!button || !button->isEnabled())
        return;
    const QString key = button->objectName().toLower();
    if (key == QLatin1String("add")) {
        addClick();
    } else if (key == QLatin1String("delete")) {
        deleteClick();
    } else if (key == QLatin1String("refresh")) {
        ShowPoP();
    } else if (key == QLatin1String("help")) {
        // No help is shipped.
    } else if (key == QLatin1String("exit")) {
        reject();
    }
}

void frmUserPop::addClick()
{
    if (MemberId.isEmpty()) {
        MsgBox(tr("请选择操作员！"), vb::vbExclamation | vb::vbOKOnly, shown(kTitle));
        return;
    }
    bool numeric = false;
    cboYear->currentText().trimmed().toInt(&numeric);
    if (m_accId.isEmpty() || cboAcc->currentText().isEmpty() || !numeric) {
    // A grant needs the set and the year it is for.
        MsgBox(tr("请选择账套！"), vb::vbExclamation | vb::vbOKOnly, shown(kTitle));
        return;
    }
    const QString caption = tr("增加权限--[%1]").arg(MemberId);
    if (m_session.edition == 1) {
        frmAddPopTree dlg(this);
        dlg.setWindowTitle(caption);
        dlg.Form_Load();
        ShowModal(dlg);
    } else {
        frmAddPop dlg(this);
        dlg.setWindowTitle(caption);
        dlg.Form_Load();
        ShowModal(dlg);
    }
    ShowPoP();
}

void frmUserPop::deleteClick()
{
    if (MemberId.isEmpty()) {
        MsgBox(tr("请选择操作员！"), vb::vbExclamation | vb::vbOKOnly, shown(kTitle));
        return;
    }
    if (MsgBox(tr("删除操作员:[%1]所有权限吗?").arg(MemberId), vb::vbYesNo | vb::vbQuestion, shown(kTitle)) != vb::vbYes)
        return;
    blankRightGrid();
    try {
        PermissionGrant::removeAll(sysDb(m_session), m_accId, cboYear->currentText().trimmed().toInt(), MemberId, false, m_session.auditContext());
    } catch (const DbError& e) {
        reportDbError(e.userText(), QStringLiteral("Toolbar1_ButtonClick"));
        ShowPoP();
    }
}

bool frmUserPop::SaveGrants(const QStringList& authIds)
{
    bool numeric = false;
    const int year = cboYear->currentText().trimmed().toInt(&numeric);
    if (authIds.isEmpty()) {
        ShowPoP();
        return true;
    }
    if (m_accId.isEmpty() || !numeric || MemberId.isEmpty()) {
        MsgBox(tr("请选择账套！"), vb::vbExclamation | vb::vbOKOnly, shown(kTitle));
        return false;
    }
    bool saved = true;
    try {
        PermissionGrant::save(sysDb(m_session), GrantRequest{m_accId, year, MemberId, authIds}, m_session.auditContext());
    } catch (const DbError& e) {
        saved = false;
        WriteErrLog(3, e.text(), QStringLiteral("cmdOK_Click"));
        MsgBox(tr("权限没有保存，原有权限保持不变：\n%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, shown(kTitle));
    }
    ShowPoP();
    return saved;
}
