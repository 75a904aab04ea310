#include "FrmDelAcc.h"
#include "AccountDeletion.h"
#include "AccountExporter.h"
#include "frmwaiting.h"

#include <HeldClaim.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <ShowModal.h>

#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Module1;

namespace {
QString title() { return QCoreApplication::translate("FrmDelAcc", "财务提示"); }
}

FrmDelAcc::FrmDelAcc(const Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_accId(session.account.id)
{
    setObjectName(QStringLiteral("FrmDelAcc"));
    setWindowTitle(tr("账套备份"));

    ComboAcc = new QComboBox(this);
    ComboAcc->setObjectName(QStringLiteral("ComboAcc"));
    ComboAcc->setEditable(true);
    ComboAcc->setInsertPolicy(QComboBox::NoInsert);
    ComboAcc->setMinimumContentsLength(24);
    ComboAcc->setAccessibleName(tr("账套号"));
    Label1 = new QLabel(tr("账套号(&N):"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(ComboAcc);

    chkAcc = new QCheckBox(tr("删除当前输出账套"), this);
    chkAcc->setObjectName(QStringLiteral("chkAcc"));
    chkAcc->setAccessibleName(tr("删除当前输出账套"));

    CmdDel = new QPushButton(tr("确认(&O)"), this);
    CmdDel->setObjectName(QStringLiteral("CmdDel"));
    CmdDel->setDefault(true);
    CmdCancel = new QPushButton(tr("放弃(&C)"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    Command1 = new QPushButton(tr("帮助(&H)"), this);
    Command1->setObjectName(QStringLiteral("Command1"));

    auto* row = new QHBoxLayout;
    row->addWidget(Label1);
    row->addWidget(ComboAcc, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(row);
    left->addWidget(chkAcc);
    left->addStretch();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(CmdDel);
    buttons->addWidget(CmdCancel);
    buttons->addWidget(Command1);
    buttons->addStretch();
    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    top->addSpacing(12);
    top->addLayout(buttons);

    setTabOrder(ComboAcc, chkAcc);
    setTabOrder(chkAcc, CmdDel);
    setTabOrder(CmdDel, CmdCancel);
    setTabOrder(CmdCancel, Command1);

    // The export and the deletion open further windows and messages: run them after the click.
    connect(CmdDel, &QPushButton::clicked, this, &FrmDelAcc::CmdDel_Click, Qt::QueuedConnection);
    connect(CmdCancel, &QPushButton::clicked, this, &FrmDelAcc::CmdCancel_Click);
    connect(Command1, &QPushButton::clicked, this, &FrmDelAcc::Command1_Click);
}

void FrmDelAcc::Form_Load()
{
    LoadCreateAcc();
}

void FrmDelAcc::LoadCreateAcc()
{
    ComboAcc->clear();
    if (!m_session.sysDb)
        return;
    try {
        // The table is made when the first set is created; until then there is nothing to list.
        if (!m_session.sysDb->hasTable(QStringLiteral("CreateAcc")))
            return;
        for (Recordset rs = m_session.sysDb->query(QStringLiteral("Select * From CreateAcc")); !rs.Eof(); rs.MoveNext())
            ComboAcc->addItem(ListEntry(rs.text(QStringLiteral("cAcc_Id")), rs.text(QStringLiteral("cAcc_Name"))));
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("LoadCreateAcc"));
        MsgBox(tr("读取账套列表失败：") + e.userText(), vb::vbExclamation, title());
    }
    // Nothing is chosen until the person picks a set.
    ComboAcc->setCurrentIndex(-1);
    ComboAcc->setEditText(QString());
}

void FrmDelAcc::CmdDel_Click()
{
    const QString text = ComboAcc->currentText();
    if (text.isEmpty())
        return;
    const QString n = ListEntryId(text);
    if (!n.isEmpty())
        m_accId = n;
    if (chkAcc->isChecked()) {
        deleteSet(n);
        return;
    }
    // Without brackets the set of the last choice is exported again.
    exportSet(m_accId);
}

void FrmDelAcc::exportSet(const QString& accId)
{
    if (!m_session.sysDb)
        return;
    int year = 0;   // the year that goes out: the set's first
    try {
        AccountExporter exporter(*m_session.sysDb, accId);
        if (accId.isEmpty() || !exporter.found()) {
            MsgBox(tr("账套[%1]不存在，无法输出！").arg(accId), vb::vbExclamation, title());
            return;
        }
        year = exporter.year();
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("CmdDel_Click"));
        MsgBox(e.userText(), vb::vbExclamation, title());
        return;
    }
    // Shared with other exports and logins, held while the copy is prepared and written: no
    // import or deletion replaces the books meanwhile.
    const HeldClaim claim(m_session.task.get(), accId, year, Tasks::Function::Export);
    if (!claim.granted()) {
        MsgBox(claim.refusal().shown, vb::vbExclamation, title());
        return;
    }
    frmwaiting waiting(m_session, accId, this);
    waiting.Form_Load();
    ShowModal(waiting);
}

void FrmDelAcc::deleteSet(const QString& accId)
{
    if (!m_session.sysDb)
        return;
    if (accId.isEmpty()) {
        MsgBox(tr("请从列表中选择要删除的账套！"), vb::vbExclamation, title());
        return;
    }
    // Every year of the set, claimed before the question and held until the deletion is done.
    const HeldClaim claim(m_session.task.get(), accId, 0, Tasks::Function::Delete);
    if (!claim.granted()) {
        MsgBox(claim.refusal().shown, vb::vbExclamation, title());
        return;
    }
    if (MsgBox(tr("真的删除该账套吗？"), vb::vbYesNo | vb::vbQuestion, tr("删除提示")) != vb::vbYes)
        return;
    // Books and rows go together or not at all, so a failure at either step leaves the set whole.
    QString why;
    if (AccountDeletion::deleteSet(*m_session.sysDb, accId, {}, m_session.auditContext(), &why) != AccountDeletion::Result::Deleted) {
        MsgBox(tr("删除账套[%1]失败！").arg(accId) + (why.isEmpty() ? QString() : QLatin1Char('\n') + why), vb::vbExclamation, title());
        return;
    }
    MsgBox(tr("删除账套[%1]成功！").arg(accId), vb::vbInformation, title());
    LoadCreateAcc();
}

void FrmDelAcc::CmdCancel_Click()
{
    reject();
}

void FrmDelAcc::Command1_Click()
{
    // No help file ships with the console.
}
