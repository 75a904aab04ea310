#include "frmSysStart.h"
#include "SubsystemEnabler.h"
#include "frmCnDate.h"

#include <FlexGrid.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <ShowModal.h>
#include <Twips.h>

#include <QCheckBox>
#include <QDate>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace Module1;

namespace {
QString title()
{
    return QCoreApplication::translate("frmSysStart", "提示信息");
}

// Box index -> module code; only the first four are offered.
const char* const kCodes[] = {"", "FA", "GL", "WA", "GX", "IA", "AP", "AR", "CA", "QM", "PU", "SA", "ST"};
const int kBoxes = 12;
const int kVisibleBoxes = 4;

QString rowName(int index)
{
    switch (index) {
    case 1: return QCoreApplication::translate("frmSysStart", "固定资产核算");
    case 2: return QCoreApplication::translate("frmSysStart", "账务处理");
    case 3: return QCoreApplication::translate("frmSysStart", "工资核算");
    case 4: return QCoreApplication::translate("frmSysStart", "应收应付核算");
    default: return QString();
    }
}

// The box that shows a module's row: FA, GL and WA have their own; every other code the
// suite's modules write (GX, and AP, AR, IA, ST, ... of other programs) shows in box 4.
int boxOf(const QString& subId)
{
    const QString code = subId.trimmed().toUpper();
    if (code == QLatin1String("FA"))
        return 1;
    if (code == QLatin1String("GL"))
        return 2;
    if (code == QLatin1String("WA"))
        return 3;
    return 4;
}
} // namespace

frmSysStart::frmSysStart(const Session& session, const QString& accId, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_accId(accId)
{
    setObjectName(QStringLiteral("frmSysStart"));
    setWindowTitle(tr("系统启用"));

    QLayout* tools = buildTools();
    Label1 = new QLabel(tr("账套启用会计期间"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont headingFont = Label1->font();
    headingFont.setBold(true);
    Label1->setFont(headingFont);

    buildGrid();
    buildBoxes();

    auto* top = new QVBoxLayout(this);
    top->addLayout(tools);
    top->addWidget(Label1);
    top->addWidget(MSFlexGrid1, 1);

    for (int i = 1; i < kVisibleBoxes; ++i)
        setTabOrder(chkID[i], chkID[i + 1]);
    setTabOrder(chkID[kVisibleBoxes], MSFlexGrid1);
    setTabOrder(MSFlexGrid1, cmdTool[0]);
    setTabOrder(cmdTool[0], cmdTool[1]);
    setTabOrder(cmdTool[1], cmdTool[2]);

    connect(MSFlexGrid1, &FlexGrid::DblClick, this, &frmSysStart::MSFlexGrid1_DblClick);
    // Enter on a row chooses its date again, as a double-click does.
    connect(MSFlexGrid1, &FlexGrid::keyPressed, this, [this](QKeyEvent* e) {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            e->accept();
            MSFlexGrid1_DblClick();
        }
    });
}

// The toolbar's buttons in a row: 刷新, 帮助, 退出.
QLayout* frmSysStart::buildTools()
{
    const QStringList toolCaptions = {tr("刷新"), tr("帮助"), tr("退出")};
    auto* tools = new QHBoxLayout;
    for (int i = 0; i < toolCaptions.size(); ++i) {
        auto* b = new QPushButton(toolCaptions[i], this);
        b->setObjectName(QStringLiteral("cmdTool_%1").arg(i));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdTool_Click(i); });
        cmdTool << b;
        tools->addWidget(b);
    }
    tools->addStretch();
    return tools;
}

// The subsystems' grid, wide enough for its columns and a scroll bar.
void frmSysStart::buildGrid()
{
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setAccessibleName(tr("系统启用"));
    MSFlexGrid1->setFixedRows(1);
    MSFlexGrid1->setFixedCols(0);
    MSFlexGrid1->setRows(22);
    MSFlexGrid1->setFormatString(tr("^系统编码|^系统名称|^会计启用期间|"));
    MSFlexGrid1->setRowHeightMin(300);
    MSFlexGrid1->setRowHeight(0, 300);
    MSFlexGrid1->setColWidth(0, 1100);
    MSFlexGrid1->setColWidth(1, 2200);
    MSFlexGrid1->setColWidth(2, 1600);
    MSFlexGrid1->setColWidth(3, 500);
    MSFlexGrid1->setColAlignment(2, Qt::AlignCenter);
    MSFlexGrid1->setTabKeyNavigation(false);
    MSFlexGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);

    int width = 0;
    for (int c = 0; c < MSFlexGrid1->Cols(); ++c)
        width += Twips::toPxX(MSFlexGrid1->ColWidth(c));
    width += MSFlexGrid1->verticalScrollBar()->sizeHint().width() + 2 * MSFlexGrid1->frameWidth();
    MSFlexGrid1->setMinimumSize(width, Twips::toPxY(300) * 12);
}

// One box a subsystem, chkID(1) to chkID(kBoxes), in the grid's first column; the last ones hidden.
void frmSysStart::buildBoxes()
{
    chkID << nullptr;   // the array starts at index 1
    for (int i = 1; i <= kBoxes; ++i) {
        auto* c = new QCheckBox(QString::fromLatin1(kCodes[i]), this);
        c->setObjectName(QStringLiteral("chkID_%1").arg(i));
        const QString name = rowName(i);
        c->setAccessibleName(name.isEmpty() ? c->text() : c->text() + QLatin1Char(' ') + name);
        if (i <= kVisibleBoxes) {
            c->setStyleSheet(QStringLiteral("QCheckBox { margin-left: 6px; }"));
            MSFlexGrid1->setCellWidget(i - MSFlexGrid1->FixedRows(), 0, c);
        } else {
            c->hide();
        }
        connect(c, &QCheckBox::toggled, this, [this, i] { chkID_Click(i); });
        chkID << c;
    }
}

void frmSysStart::Form_Load()
{
    for (int i = 1; i <= kVisibleBoxes; ++i)
        MSFlexGrid1->setTextMatrix(i, 1, rowName(i));
    m_startYear.clear();
    m_startMonth.clear();
    if (!m_session.sysDb) {
        MsgBox(tr("系统库未打开，无法启用系统！"), vb::vbExclamation | vb::vbOKOnly, title());
        return;
    }
    try {
        // The set's first year is its start period.
        Recordset rs = m_session.sysDb->query(QStringLiteral("select * from SM_Account where cAcc_Id=? order by iYear"), {m_accId});
        if (!rs.Eof()) {
            m_startYear = rs.text(QStringLiteral("iYear"));
            m_startMonth = rs.text(QStringLiteral("iMonth"));
            Label1->setText(tr("[%1]%2 账套启用会计期间 %3年%4月")
                                .arg(rs.text(QStringLiteral("cAcc_Id")), rs.text(QStringLiteral("cAcc_Name")), m_startYear, m_startMonth));
        }
        Recordset sub = m_session.sysDb->query(QStringLiteral("select * from SM_Account_sub where cAcc_Id=? and iYear<>9999"), {m_accId});
        for (; !sub.Eof(); sub.MoveNext()) {
            const int index = boxOf(sub.text(QStringLiteral("cSub_Id")));
            setBoxQuietly(index, true);
            MSFlexGrid1->setTextMatrix(index, 2, QStringLiteral("%1-%2")
                                                     .arg(sub.text(QStringLiteral("iYear")))
                                                     .arg(sub.Fields(QStringLiteral("iModiPeri")).toInt() + 1, 2, 10, QLatin1Char('0')));
        }
    } catch (const DbError& e) {
        WriteErrLog(e.nativeCode().toInt(), e.text(), QStringLiteral("Form_Load"));
        MsgBox(tr("无法读取账套的系统启用情况：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, title());
    }
    m_suppress = false;
}

void frmSysStart::setBoxQuietly(int index, bool checked)
{
    QCheckBox* box = chkID.value(index);
    if (!box || box->isChecked() == checked)
        return;   // no change, no click: the flag must not outlive this call
    m_suppress = true;
    box->setChecked(checked);
    m_suppress = false;
}

void frmSysStart::chkID_Click(int index)
{
    if (m_suppress) {
        m_suppress = false;
        return;
    }
    if (chkID[index]->isChecked())
        enableModule(index);
    else
        disableModule(index);
}

void frmSysStart::enableModule(int index)
{
    const QString oldText = MSFlexGrid1->TextMatrix(index, 2);
    // A refused or abandoned attempt leaves the row as it was: an enabled module keeps its
    // tick on a re-pick, a new one is unticked again.
    auto restore = [&] {
        MSFlexGrid1->setTextMatrix(index, 2, oldText);
        if (!m_repick)
            setBoxQuietly(index, false);
        m_suppress = false;
        m_repick = false;
    };

    QDate chosen;
    {
        frmCnDate dlg(this);
        dlg.Form_Load();
        ShowModal(dlg);
        if (dlg.confirmed)
            chosen = QDate::fromString(dlg.Label1->text().trimmed(), frmCnDate::dateFormat());
    }
    if (!chosen.isValid()) {
        restore();
        return;
    }
    MSFlexGrid1->setTextMatrix(index, 2, chosen.toString(QStringLiteral("yyyy-MM")));

    const QString refusal = SubsystemEnabler::checkPeriod(m_startYear, m_startMonth, chosen.year(), chosen.month());
    if (!refusal.isEmpty()) {
        MsgBox(refusal, vb::vbExclamation | vb::vbOKOnly, title());
        restore();
        return;
    }
    if (!m_session.sysDb) {
        MsgBox(tr("系统库未打开，无法启用系统！"), vb::vbExclamation | vb::vbOKOnly, title());
        restore();
        return;
    }
    try {
        SubsystemEnabler(*m_session.sysDb, m_session.auditContext()).enable({m_accId, chkID[index]->text(), chosen, accDbPath});
    } catch (const DbError& e) {
        WriteErrLog(e.nativeCode().toInt(), e.text(), QStringLiteral("chkID_Click"));
        MsgBox(tr("系统未能启用：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, title());
        restore();
        return;
    }
    m_suppress = false;
    m_repick = false;
}

void frmSysStart::disableModule(int index)
{
    if (MsgBox(tr("确实要注销当前系统吗？"), vb::vbQuestion | vb::vbYesNo, title()) != vb::vbYes) {
        setBoxQuietly(index, true);
        return;
    }
    if (!m_session.sysDb) {
        MsgBox(tr("系统库未打开，无法注销系统！"), vb::vbExclamation | vb::vbOKOnly, title());
        setBoxQuietly(index, true);
        return;
    }
    try {
        SubsystemEnabler(*m_session.sysDb, m_session.auditContext()).disable(m_accId, chkID[index]->text());
    } catch (const DbError& e) {
        WriteErrLog(e.nativeCode().toInt(), e.text(), QStringLiteral("chkID_Click"));
        MsgBox(tr("系统未能注销：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, title());
        setBoxQuietly(index, true);
        return;
    }
    MSFlexGrid1->setTextMatrix(index, 2, QString());
    MSFlexGrid1->setTextMatrix(index, 3, QString());
    m_suppress = false;
}

void frmSysStart::MSFlexGrid1_DblClick()
{
    const int row = MSFlexGrid1->Row();
    if (row < 1 || row > kBoxes || !chkID[row]->isChecked())
        return;
    m_repick = true;
    enableModule(row);
}

void frmSysStart::cmdTool_Click(int index)
{
    // "刷新" and "帮助" have nothing to do here.
    if (index == 2)
        close();
}
