#include "frmAddPopTree.h"
#include "GrantUi.h"
#include "frmUserPop.h"

#include <FlexGrid.h>
#include <Module1.h>
#include <MsgBox.h>
#include <Twips.h>

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace Module1;

namespace {
constexpr int kKeyRole = Qt::UserRole;

QTreeWidgetItem* makeNode(const QString& key, const QString& text, bool checked)
{
    auto* n = new QTreeWidgetItem(QStringList{text});
    n->setData(0, kKeyRole, key);
    n->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    n->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    return n;
}
} // namespace

frmAddPopTree::frmAddPopTree(frmUserPop* browser, QWidget* parent)
    : QDialog(parent ? parent : browser)
    , m_browser(browser)
{
    setObjectName(QStringLiteral("frmAddPopTree"));
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setAccessibleName(QStringLiteral("权限树"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setMinimumWidth(Twips::toPxX(2800));

    const GrantUi::Controls c = GrantUi::build(this, TreeView1);
    Frame1 = c.Frame1;
    MSFlexGrid1 = c.MSFlexGrid1;
    Frame2 = c.Frame2;
    MSFlexGrid2 = c.MSFlexGrid2;
    lblsm = c.lblsm;
    cmdOK = c.cmdOK;
    cmdCancel = c.cmdCancel;
    cmdHelp = c.cmdHelp;
    resize(Twips::toPxX(11000), Twips::toPxY(6600));
    // The mark column is hidden here: the selected row shows which class the tree holds.
    MSFlexGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    MSFlexGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);

    connect(MSFlexGrid1, &FlexGrid::DblClick, this, &frmAddPopTree::MSFlexGrid1_DblClick);
    connect(MSFlexGrid2, &FlexGrid::DblClick, this, &frmAddPopTree::MSFlexGrid2_DblClick);
    connect(MSFlexGrid1, &FlexGrid::keyPressed, this, [this](QKeyEvent* e) {
        if (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            e->accept();
            MSFlexGrid1_DblClick();
        }
    });
    connect(TreeView1, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* n, int) {
        if (!m_building)
            TreeView1_NodeCheck(n);
    });
    connect(cmdOK, &QPushButton::clicked, this, &frmAddPopTree::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAddPopTree::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmAddPopTree::cmdHelp_Click);
}

frmAddPopTree::~frmAddPopTree() = default;

void frmAddPopTree::Form_Load()
{
    GrantUi::setupGrid(MSFlexGrid1, QStringLiteral("|ID|系统名称"), {0, GrantUi::kIdWidth, 1200});
    GrantUi::fitWidth(MSFlexGrid1);
    GrantUi::setupGrid(MSFlexGrid2, QStringLiteral("授权|ID|权限名称|"), {600, 900, 2000, 0});
    MSFlexGrid2->setRows(1);
    try {
        if (!gSysDb)
            throw DbError(QStringLiteral("系统库未打开"));
        Recordset rs = gSysDb->query(QStringLiteral("select * from SM_SubSys where IsVisible order by cSub_Id"));
        if (!rs.Eof()) {
            MSFlexGrid1->setRows(rs.RecordCount() + 1);
            for (int r = 1; !rs.Eof(); rs.MoveNext(), ++r) {
                MSFlexGrid1->setTextMatrix(r, 1, rs.text(QStringLiteral("cSub_Id")));
                MSFlexGrid1->setTextMatrix(r, 2, rs.text(QStringLiteral("cSub_Name")));
            }
        }
        // What the member holds already in this set and year.
        rs = gSysDb->query(QStringLiteral("select * from sm_holdauth where cAcc_Id=? and iYear=? and cUser_Id=?"),
                           {gAccId, m_browser->cboYear->currentText().trimmed().toInt(), m_browser->MemberId});
        for (; !rs.Eof(); rs.MoveNext()) {
            const int r = MSFlexGrid2->Rows();
            MSFlexGrid2->setRows(r + 1);
            MSFlexGrid2->setTextMatrix(r, 1, rs.text(QStringLiteral("cAuth_Id")));
        }
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("Form_Load"));
        MsgBox(e.userText(), vb::vbExclamation | vb::vbOKOnly, frmUserPop::kTitle);
    }
    if (MSFlexGrid1->Rows() > 1 && !MSFlexGrid1->TextMatrix(1, 1).isEmpty()) {
        MSFlexGrid1->setRow(1);
        MSFlexGrid1->setCol(1);
        MSFlexGrid1_DblClick();
    }
}

int frmAddPopTree::listedRow(const QString& authId) const
{
    for (int r = 1; r < MSFlexGrid2->Rows(); ++r)
        if (MSFlexGrid2->TextMatrix(r, 1).compare(authId, Qt::CaseInsensitive) == 0)
            return r;
    return -1;
}

void frmAddPopTree::MSFlexGrid1_DblClick()
{
    const int R = MSFlexGrid1->Row();
    if (R < 1 || R >= MSFlexGrid1->Rows())
        return;
    const QString subId = MSFlexGrid1->TextMatrix(R, 1);
    m_building = true;
    TreeView1->clear();
    try {
        Recordset top = gSysDb->query(QStringLiteral("select * from SM_Auth where cSupAuth_Id=? order by cAuth_Id"), {subId});
        for (; !top.Eof(); top.MoveNext()) {
            const QString id = top.text(QStringLiteral("cAuth_Id"));
            QTreeWidgetItem* parent = makeNode(QStringLiteral("ka") + id, top.text(QStringLiteral("cAuth_Name")), listedRow(id) >= 0);
            TreeView1->addTopLevelItem(parent);
            Recordset sub = gSysDb->query(QStringLiteral("select * from SM_Auth where cSupAuth_Id=? order by cAuth_Id"), {id});
            for (; !sub.Eof(); sub.MoveNext())
                parent->addChild(makeNode(QStringLiteral("kc") + sub.text(QStringLiteral("cAuth_Id")),
                                          sub.text(QStringLiteral("cAuth_Name")), false));
        }
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("MSFlexGrid1_DblClick"));
        MsgBox(e.userText(), vb::vbExclamation | vb::vbOKOnly, frmUserPop::kTitle);
    }
    TreeView1->expandAll();
    m_building = false;
}

void frmAddPopTree::TreeView1_NodeCheck(QTreeWidgetItem* n)
{
    if (!n)
        return;
    const QString id = n->data(0, kKeyRole).toString().mid(2);
    if (id.isEmpty())
        return;
    const bool checked = n->checkState(0) == Qt::Checked;
    const int row = listedRow(id);
    if (!checked && row >= 0) {
        // Only leaves this dialog's list: a permission already held is never revoked here.
        MSFlexGrid2->setTextMatrix(row, 1, QString());
    } else if (checked && row < 0) {
        const int r = MSFlexGrid2->Rows();
        MSFlexGrid2->setRows(r + 1);
        MSFlexGrid2->setTextMatrix(r, 1, id);
        MSFlexGrid2->setTextMatrix(r, 2, n->text(0));
    }
}

QTreeWidgetItem* frmAddPopTree::node(const QString& key) const
{
    for (QTreeWidgetItemIterator it(TreeView1); *it; ++it)
        if ((*it)->data(0, kKeyRole).toString().compare(key, Qt::CaseInsensitive) == 0)
            return *it;
    return nullptr;
}

QStringList frmAddPopTree::listedPermissions() const
{
    QStringList ids;
    for (int r = 1; r < MSFlexGrid2->Rows(); ++r)
        if (!MSFlexGrid2->TextMatrix(r, 1).isEmpty())
            ids << MSFlexGrid2->TextMatrix(r, 1);
    return ids;
}

void frmAddPopTree::MSFlexGrid2_DblClick()
{
    // Paints the mark only; what is written is the list itself.
    const int J = MSFlexGrid2->Row();
    if (J < 1 || J >= MSFlexGrid2->Rows())
        return;
    MSFlexGrid2->setCellBackColor(J, 0, GrantUi::isMarked(MSFlexGrid2, J) ? GrantUi::kUnmarked : GrantUi::kMarked);
}

void frmAddPopTree::cmdOK_Click()
{
    if (m_browser->SaveGrants(listedPermissions()))
        accept();
}

void frmAddPopTree::cmdCancel_Click()
{
    reject();
}

void frmAddPopTree::cmdHelp_Click()
{
    // No help is shipped.
}
