#include "frmkmbrowser.h"

#include <FlexGrid.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <Twips.h>

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

using namespace Module1;

namespace {
// The first tab, every class.
QString allText()
{
    return QCoreApplication::translate("frmkmbrowser", "全部");
}

void reportError(const QString& text, const QString& routine)
{
    WriteErrLog(4, text, routine);
    MsgBox(QCoreApplication::translate("frmkmbrowser", "读取预置会计科目时出错：%1").arg(text), vb::vbExclamation | vb::vbOKOnly,
           QCoreApplication::translate("frmkmbrowser", "会计科目浏览"));
}
} // namespace

frmkmbrowser::frmkmbrowser(const Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmkmbrowser"));
    setWindowTitle(tr("会计科目浏览--"));

    SSTabTitle = new QTabBar(this);
    SSTabTitle->setObjectName(QStringLiteral("SSTabTitle"));
    SSTabTitle->setAccessibleName(tr("科目类别"));
    SSTabTitle->setExpanding(false);
    SSTabTitle->setUsesScrollButtons(true);
    SSTabTitle->setDrawBase(false);
    SSTabTitle->addTab(allText());

    msfShowKM = new FlexGrid(this);
    msfShowKM->setObjectName(QStringLiteral("msfShowKM"));
    msfShowKM->setAccessibleName(tr("会计科目"));
    msfShowKM->setFixedRows(1);
    msfShowKM->setFormatString(tr("级次|科目编码|科目名称"));
    msfShowKM->setFixedCols(1);
    msfShowKM->setRows(1);
    msfShowKM->setColWidth(0, 1000);
    msfShowKM->setColWidth(1, 1600);
    msfShowKM->setColWidth(2, 1600);
    // Long account names get the room the window has.
    msfShowKM->horizontalHeader()->setStretchLastSection(true);
    msfShowKM->setTabKeyNavigation(false);
    msfShowKM->setSelectionBehavior(QAbstractItemView::SelectRows);

    lblTip = new QLabel(tr("该行业没有预置会计科目。"), this);
    lblTip->setObjectName(QStringLiteral("lblTip"));
    lblTip->hide();

    cmdClose = new QPushButton(tr("关闭"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblTip);
    buttons->addStretch();
    buttons->addWidget(cmdClose);

    auto* lay = new QVBoxLayout(this);
    lay->setSpacing(0);
    lay->addWidget(SSTabTitle);
    lay->addWidget(msfShowKM, 1);
    lay->addSpacing(8);
    lay->addLayout(buttons);

    msfShowKM->setMinimumHeight(Twips::toPxY(5400));
    resize(Twips::toPxX(1000 + 1600 + 4400) + 30, Twips::toPxY(7200));

    setTabOrder(SSTabTitle, msfShowKM);
    setTabOrder(msfShowKM, cmdClose);

    connect(SSTabTitle, &QTabBar::currentChanged, this, [this](int) {
        if (!m_loading)
            SSTabTitle_Click();
    });
}

bool frmkmbrowser::Form_Load()
{
    if (!m_session.sysDb) {
        reportError(tr("系统库未打开。"), QStringLiteral("Form_Load"));
        return false;
    }
    QStringList classes;
    try {
        Recordset rs = m_session.sysDb->query(QStringLiteral("select distinct cclass from GL_DPrecode where itrade_id=? order by cclass"), {int(TradeId)});
        for (; !rs.Eof(); rs.MoveNext())
            classes << rs.text(QStringLiteral("cclass"));
    } catch (const DbError& e) {
        reportError(e.userText(), QStringLiteral("Form_Load"));
        return false;
    }
    if (!classes.isEmpty()) {
        m_loading = true;
        while (SSTabTitle->count() > 1)
            SSTabTitle->removeTab(SSTabTitle->count() - 1);
        SSTabTitle->setTabText(0, allText());
        for (const QString& c : classes)
            SSTabTitle->addTab(c);
        SSTabTitle->setCurrentIndex(0);
        m_loading = false;
    }
    lblTip->setVisible(classes.isEmpty());
    SSTabTitle_Click();
    return true;
}

void frmkmbrowser::SSTabTitle_Click()
{
    if (!m_session.sysDb)
        return;
    const QString caption = SSTabTitle->tabText(SSTabTitle->currentIndex());
    Recordset rs;
    try {
        if (caption == allText())
            rs = m_session.sysDb->query(QStringLiteral("select igrade,ccode,ccode_name from GL_DPrecode where itrade_id=? order by ccode"), {int(TradeId)});
        else
            rs = m_session.sysDb->query(QStringLiteral("select igrade,ccode,ccode_name from GL_DPrecode where itrade_id=? and cclass=? order by ccode"),
                               {int(TradeId), caption});
    } catch (const DbError& e) {
        reportError(e.userText(), QStringLiteral("SSTabTitle_Click"));
        return;
    }
    if (rs.Eof())
        return;
    msfShowKM->setRows(rs.RecordCount() + 1);
    int r = 1;
    for (; !rs.Eof(); rs.MoveNext(), ++r) {
        const int grade = rs.Fields(QStringLiteral("igrade")).toInt();
        const QString indent(qMax(0, grade - 1), QLatin1Char(' '));
        msfShowKM->setTextMatrix(r, 0, rs.text(QStringLiteral("igrade")));
        msfShowKM->setTextMatrix(r, 1, indent + rs.text(QStringLiteral("ccode")));
        msfShowKM->setTextMatrix(r, 2, indent + rs.text(QStringLiteral("ccode_name")));
    }
    msfShowKM->setColAlignment(0, Qt::AlignCenter);
    msfShowKM->setTopRow(1);
}
