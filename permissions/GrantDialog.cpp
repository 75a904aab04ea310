#include "GrantDialog.h"
#include "GrantUi.h"
#include "frmUserPop.h"

#include <FlexGrid.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <Twips.h>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Module1;

namespace {
QPushButton* button(QDialog* d, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, d);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setMinimumWidth(Twips::toPxX(1100));
    return b;
}

FlexGrid* grid(QGroupBox* frame, const char* name, const QString& accessibleName)
{
    auto* g = new FlexGrid(frame);
    g->setObjectName(QString::fromLatin1(name));
    g->setAccessibleName(accessibleName);
    // The grids paint their own marks and highlight.
    g->setSelectionMode(QAbstractItemView::NoSelection);
    return g;
}
} // namespace

GrantDialog::GrantDialog(frmUserPop* browser, QWidget* parent)
    : QDialog(parent ? parent : browser)
    , m_browser(browser)
{
}

void GrantDialog::setupUi(QWidget* rightExtra)
{
    Frame1 = new QGroupBox(tr("产品分类选择"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    MSFlexGrid1 = grid(Frame1, "MSFlexGrid1", tr("产品分类"));
    auto* l1 = new QVBoxLayout(Frame1);
    l1->addWidget(MSFlexGrid1);

    Frame2 = new QGroupBox(tr("明细权限选择"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    MSFlexGrid2 = grid(Frame2, "MSFlexGrid2", tr("明细权限"));
    auto* l2 = new QHBoxLayout(Frame2);
    if (rightExtra) {
        rightExtra->setParent(Frame2);
        l2->addWidget(rightExtra, 1);
    }
    l2->addWidget(MSFlexGrid2, 1);

    lblsm = new QLabel(tr("说明：在“授权”列处进行双击，左边为模块大类授权，右边为明细类授权；先通过左边大类选择双击后，再在明细权限进行选择。"), this);
    lblsm->setObjectName(QStringLiteral("lblsm"));
    lblsm->setWordWrap(true);

    cmdOK = button(this, "cmdOK", tr("确定"));
    cmdCancel = button(this, "cmdCancel", tr("取消"));
    cmdHelp = button(this, "cmdHelp", tr("帮助(&H)"));

    auto* grids = new QHBoxLayout;
    grids->addWidget(Frame1);
    grids->addWidget(Frame2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblsm, 1);
    buttons->addSpacing(12);
    buttons->addWidget(cmdOK, 0, Qt::AlignBottom);
    buttons->addWidget(cmdCancel, 0, Qt::AlignBottom);
    buttons->addWidget(cmdHelp, 0, Qt::AlignBottom);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grids, 1);
    top->addLayout(buttons);

    setTabOrder(MSFlexGrid1, rightExtra ? rightExtra : MSFlexGrid2);
    if (rightExtra)
        setTabOrder(rightExtra, MSFlexGrid2);
    setTabOrder(MSFlexGrid2, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdHelp);

    connect(cmdOK, &QPushButton::clicked, this, &GrantDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &GrantDialog::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &GrantDialog::cmdHelp_Click);
}

void GrantDialog::setupGrids(bool leftMarks)
{
    if (leftMarks)
        GrantUi::setupGrid(MSFlexGrid1, tr("授权|ID|系统名称"), {600, GrantUi::kIdWidth, 1200});
    else
        GrantUi::setupGrid(MSFlexGrid1, tr("|ID|系统名称"), {0, GrantUi::kIdWidth, 1200});
    GrantUi::fitWidth(MSFlexGrid1);
    GrantUi::setupGrid(MSFlexGrid2, tr("授权|ID|权限名称|"), {600, 900, 2000, 0});
}

void GrantDialog::loadSubsystems(const QString& sql)
{
    if (!m_browser->session().sysDb)
        throw DbError(tr("系统库未打开"));
    Recordset rs = m_browser->session().sysDb->query(sql);
    if (rs.Eof())
        return;
    MSFlexGrid1->setRows(rs.RecordCount() + 1);
    for (int r = 1; !rs.Eof(); rs.MoveNext(), ++r) {
        MSFlexGrid1->setTextMatrix(r, 1, rs.text(QStringLiteral("cSub_Id")));
        MSFlexGrid1->setTextMatrix(r, 2, rs.text(QStringLiteral("cSub_Name")));
    }
}

void GrantDialog::report(const DbError& e, const QString& where)
{
    WriteErrLog(3, e.text(), where);
    MsgBox(e.userText(), vb::vbExclamation | vb::vbOKOnly, frmUserPop::shown(frmUserPop::kTitle));
}

void GrantDialog::cmdOK_Click()
{
    if (m_browser->SaveGrants(toGrant()))
        accept();
}

void GrantDialog::cmdCancel_Click()
{
    reject();
}

void GrantDialog::cmdHelp_Click()
{
    // No help is shipped.
}
