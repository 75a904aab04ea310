#include "frmAddPopTree.h"
#include "GrantUi.h"
#include "frmUserPop.h"

#include <FlexGrid.h>
#include <Module1.h>
#include <Session.h>
#include <Twips.h>

#include <QComboBox>
#include <QHeaderView>
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
    : GrantDialog(browser, parent)
{
    setObjectName(QStringLiteral("frmAddPopTree"));
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setAccessibleName(tr("权限树"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setMinimumWidth(Twips::toPxX(2800));

    setupUi(TreeView1);
    resize(Twips::toPxX(11000), Twips::toPxY(6600));
    // The mark column is hidden here: the selected row shows which class the tree holds.
    MSFlexGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    MSFlexGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);

    connect(MSFlexGrid1, &FlexGrid::DblClick, this, &frmAddPopTree::MSFlexGrid1_DblClick);
    connect(MSFlexGrid2, &FlexGrid::DblClick, this, &frmAddPopTree::MSFlexGrid2_DblClick);
    GrantUi::onActivateKeys(MSFlexGrid1, this, [this] { MSFlexGrid1_DblClick(); });
    connect(TreeView1, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* n, int) {
        if (!m_building)
            TreeView1_NodeCheck(n);
    });
}

void frmAddPopTree::Form_Load()
{
    setupGrids(false);
    MSFlexGrid2->setRows(1);
    try {
        loadSubsystems(QStringLiteral("select * from SM_SubSys where IsVisible<>0 order by cSub_Id"));
        // What the member holds already in this set and year.
        Recordset rs = m_browser->session().sysDb->query(QStringLiteral("select * from sm_holdauth where cAcc_Id=? and iYear=? and cUser_Id=?"),
                                     {m_browser->chosenAccId(), m_browser->cboYear->currentText().trimmed().toInt(), m_browser->MemberId});
        for (; !rs.Eof(); rs.MoveNext()) {
            const int r = MSFlexGrid2->Rows();
            MSFlexGrid2->setRows(r + 1);
            MSFlexGrid2->setTextMatrix(r, 1, rs.text(QStringLiteral("cAuth_Id")));
        }
    } catch (const DbError& e) {
        report(e, QStringLiteral("Form_Load"));
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
        Recordset top = m_browser->session().sysDb->query(QStringLiteral("select * from SM_Auth where cSupAuth_Id=? order by cAuth_Id"), {subId});
        for (; !top.Eof(); top.MoveNext()) {
            const QString id = top.text(QStringLiteral("cAuth_Id"));
            QTreeWidgetItem* parent = makeNode(QStringLiteral("ka") + id, top.text(QStringLiteral("cAuth_Name")), listedRow(id) >= 0);
            TreeView1->addTopLevelItem(parent);
            Recordset sub = m_browser->session().sysDb->query(QStringLiteral("select * from SM_Auth where cSupAuth_Id=? order by cAuth_Id"), {id});
            for (; !sub.Eof(); sub.MoveNext())
                parent->addChild(makeNode(QStringLiteral("kc") + sub.text(QStringLiteral("cAuth_Id")),
                                          sub.text(QStringLiteral("cAuth_Name")), false));
        }
    } catch (const DbError& e) {
        report(e, QStringLiteral("MSFlexGrid1_DblClick"));
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
