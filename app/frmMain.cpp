#include "frmMain.h"
#include "StatusBar1.h"
#include "frmLogin.h"
#include "About.h"
#include "ServerMenu.h"
#include "TaskGrids.h"
#include "YearMenu.h"
#include <AccountImporter.h>
#include <ImportCommand.h>
#include <frmAccount.h>
#include <FrmDelAcc.h>
#include <frmUserPop.h>
#include <frmLog.h>

#include <AccountDb.h>
#include <CiFile.h>
#include <FlexGrid.h>
#include <Help.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <ShowModal.h>
#include <SingleInstance.h>
#include <SysInfo.h>
#include <Twips.h>
#include <frmSysStart.h>
#include <frmrole.h>
#include <frmuser.h>

#include <QCloseEvent>
#include <QDateTime>
#include <QFile>
#include <QMenuBar>

using namespace Module1;

namespace {
// Design geometry of the client area and the grids, in twips.
constexpr int kClientWidth = 10600;
constexpr int kClientHeight = 5600;
constexpr int kGridLeft = 50;
constexpr int kGrid1Top = 50;
constexpr int kGrid1Height = 1900;
constexpr int kGridWidth = 10500;
constexpr int kGrid2Height = 3500;

void place(QWidget* w, int leftTw, int topTw, int widthTw, int heightTw)
{
    w->setGeometry(Twips::toPxX(leftTw), Twips::toPxY(topTw), Twips::toPxX(widthTw), Twips::toPxY(heightTw));
}
} // namespace

frmMain::frmMain(Session& session, QWidget* parent)
    : QMainWindow(parent)
    , m_session(session)
    , m_years(std::make_unique<YearMenu>(session, this))
    , m_tasks(std::make_unique<TaskGrids>(session, *this))
    , m_server(std::make_unique<ServerMenu>(session, *this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(shownCaption());
    setAccessibleName(shownCaption());

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
    MSFlexGrid1 = new FlexGrid(m_client);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setAccessibleName(tr("子系统"));
    MSFlexGrid2 = new FlexGrid(m_client);
    MSFlexGrid2->setObjectName(QStringLiteral("MSFlexGrid2"));
    MSFlexGrid2->setAccessibleName(tr("执行功能"));
    place(MSFlexGrid1, kGridLeft, kGrid1Top, kGridWidth, kGrid1Height);
    place(MSFlexGrid2, kGridLeft, kGrid1Top + kGrid1Height, kGridWidth, kGrid2Height);

    statusBar1 = new StatusBar1(this);
    setStatusBar(statusBar1);

    buildMenu();

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer2.setInterval(30000);
    connect(&Timer2, &QTimer::timeout, this, &frmMain::Timer2_Timer);

    m_client->setMinimumSize(Twips::toPxX(2000), Twips::toPxY(1500));
    resize(Twips::toPxX(kClientWidth), Twips::toPxY(kClientHeight) + menuBar()->sizeHint().height() + statusBar1->sizeHint().height());
}

frmMain::~frmMain() = default;

QAction* frmMain::item(QMenu* menu, const char* name, const QString& caption, bool enabled)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    a->setEnabled(enabled);
    return a;
}

void frmMain::onTriggered(QAction* action, void (frmMain::*slot)())
{
    connect(action, &QAction::triggered, this, slot, Qt::QueuedConnection);
}

QMenu* frmMain::topMenu(const char* name, const QString& caption)
{
    QMenu* m = menuBar()->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
}

// The menus left to right, then what their items do.
void frmMain::buildMenu()
{
    buildSystemMenu();
    buildAccountMenus();
    buildPermissionAndViewMenus();
    buildHelpMenu();
    connectMenu();
}

void frmMain::buildSystemMenu()
{
    mnuSys = topMenu("mnuSys", tr("系统(&S)"));
    mnuSysReg = item(mnuSys, "mnuSysReg", tr("注册(&R)..."));
    mnuSysReg->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuSys->addSeparator();
    mnuSysLogin = item(mnuSys, "mnuSysLogin", tr("设置SQL Server口令"), false);
    mnuSys->addSeparator();
    mnuSysData = item(mnuSys, "mnuSysData", tr("升级SQL Server数据"), false);
    mnuSys->addSeparator();
    mnuSysU = item(mnuSys, "mnuSysU", tr("注销(&U)"), false);
    mnuSysU->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    mnuSysExit = item(mnuSys, "mnuSysExit", tr("退出(&X)"));
}

void frmMain::buildAccountMenus()
{
    mnuAcc = topMenu("mnuAcc", tr("账套(&A)"));
    mnuAcc->menuAction()->setEnabled(false);
    mnuAccCreate = item(mnuAcc, "mnuAccCreate", tr("建立(&C)..."));
    mnuAccEdit = item(mnuAcc, "mnuAccEdit", tr("修改(&E)..."));
    mnuAcc->addSeparator();
    mnuAccInput = item(mnuAcc, "mnuAccInput", tr("引入(&I)..."));
    mnuAccExport = item(mnuAcc, "mnuAccExport", tr("输出(&X)..."));
    mnuAcc->addSeparator();
    mnuAccUse = item(mnuAcc, "mnuAccUse", tr("启用(&S)"));

    mnuYear = topMenu("mnuYear", tr("年度账(&Y)"));
    mnuYear->menuAction()->setEnabled(false);
    mnuYearCreate = item(mnuYear, "mnuYearCreate", tr("建立(&C)..."), false);
    mnuYearDel = item(mnuYear, "mnuYearDel", tr("清空年度数据(&D)..."));
    mnuYear->addSeparator();
    mnuYearInput = item(mnuYear, "mnuYearInput", tr("引入(&I)..."));
    mnuYearExport = item(mnuYear, "mnuYearExport", tr("输出(&X)..."));
    mnuYear->addSeparator();
    mnuAccT = mnuYear->addMenu(tr("结转上年数据(&T)"));
    mnuAccT->setObjectName(QStringLiteral("mnuAccT"));
    mnuAccT->menuAction()->setObjectName(QStringLiteral("mnuAccT"));
    mnuAccT->menuAction()->setEnabled(false);
    mnuAccT1 = item(mnuAccT, "mnuAccT1", QStringLiteral("1"));
}

void frmMain::buildPermissionAndViewMenus()
{
    mnuPop = topMenu("mnuPop", tr("权限(&O)"));
    mnuPop->menuAction()->setEnabled(false);
    mnuPopG = item(mnuPop, "mnuPopG", tr("角色(&G)..."));
    mnuPopUser = item(mnuPop, "mnuPopUser", tr("操作员(&U)..."));
    mnuPopJ = item(mnuPop, "mnuPopJ", tr("权限(&J)..."));

    mnuView = topMenu("mnuView", tr("视图(&V)"));
    mnuViewRef = item(mnuView, "mnuViewRef", tr("刷新(&R)"));
    mnuViewRef->setShortcut(QKeySequence(Qt::Key_F5));
    mnuView->addSeparator();
    mnuViewClear = item(mnuView, "mnuViewClear", tr("清除异常任务(&C)"));
    mnuViewU = item(mnuView, "mnuViewU", tr("清除单据锁定(&U)"));
    mnuView->addSeparator();
    mnuViewSys = item(mnuView, "mnuViewSys", tr("系统日志(&S)"));
    mnuViewLog = item(mnuView, "mnuViewLog", tr("上机日志(&L)..."));
}

void frmMain::buildHelpMenu()
{
    mnuHelp = topMenu("mnuHelp", tr("帮助(&H)"));
    mnuHelpI = item(mnuHelp, "mnuHelpI", tr("青木系统管理帮助(&I)"));
    mnuHelp->addSeparator();
    mnuHelpWeb = item(mnuHelp, "mnuHelpWeb", tr("网上青木(&W)..."));
    mnuHelp->addSeparator();
    mnuHelpAbort = item(mnuHelp, "mnuHelpAbort", tr("关于青木管理系统(&A)..."));
}

void frmMain::connectMenu()
{
    onTriggered(mnuSysReg, &frmMain::mnuSysReg_Click);
    connect(mnuSysU, &QAction::triggered, this, &frmMain::mnuSysU_Click);
    connect(mnuSysExit, &QAction::triggered, this, &frmMain::mnuSysExit_Click);
    onTriggered(mnuAccCreate, &frmMain::mnuAccCreate_Click);
    onTriggered(mnuAccEdit, &frmMain::mnuAccEdit_Click);
    onTriggered(mnuAccInput, &frmMain::mnuAccInput_Click);
    onTriggered(mnuAccExport, &frmMain::mnuAccExport_Click);
    onTriggered(mnuAccUse, &frmMain::mnuAccUse_Click);
    onTriggered(mnuYearCreate, &frmMain::mnuYearCreate_Click);
    onTriggered(mnuYearDel, &frmMain::mnuYearDel_Click);
    onTriggered(mnuYearInput, &frmMain::mnuYearInput_Click);
    onTriggered(mnuYearExport, &frmMain::mnuYearExport_Click);
    onTriggered(mnuAccT1, &frmMain::mnuAccT1_Click);
    connect(mnuViewRef, &QAction::triggered, this, &frmMain::mnuViewRef_Click);
    onTriggered(mnuSysLogin, &frmMain::mnuSysLogin_Click);
    onTriggered(mnuSysData, &frmMain::mnuSysData_Click);
    onTriggered(mnuViewClear, &frmMain::mnuViewClear_Click);
    onTriggered(mnuViewU, &frmMain::mnuViewU_Click);
    onTriggered(mnuPopG, &frmMain::mnuPopG_Click);
    onTriggered(mnuPopUser, &frmMain::mnuPopUser_Click);
    onTriggered(mnuPopJ, &frmMain::mnuPopJ_Click);
    onTriggered(mnuViewLog, &frmMain::mnuViewLog_Click);
    onTriggered(mnuViewSys, &frmMain::mnuViewSys_Click);
    onTriggered(mnuHelpI, &frmMain::mnuHelpI_Click);
    onTriggered(mnuHelpWeb, &frmMain::mnuHelpWeb_Click);
    onTriggered(mnuHelpAbort, &frmMain::mnuHelpAbort_Click);
}

bool frmMain::Form_Load()
{
    m_session.computerName = SysInfo::computerName();
    WriteErrLog(9001, m_session.systemFolder() + QStringLiteral("dezaduzi.mdb"), QStringLiteral("Form_Load"));
    // Started on a server (revozi-admin --server) there is no root folder to hold a system database.
    if (!m_session.onServer() && !CiFile::isFile(m_session.systemFolder() + QStringLiteral("dezaduzi.mdb"))) {
        MsgBox(tr("系统库不存在，无法启动系统管理！"), vb::vbExclamation | vb::vbOKOnly, tr("登录"));
        EndProgram(0);
        return false;
    }
    MSFlexGrid1->setFormatString(tr("^子系统|^站点|^运行状态|^注册时间"));
    const int widths[] = {2200, 1800, 2500, 2500};
    for (int c = 0; c < 4; ++c)
        MSFlexGrid1->setColWidth(c, widths[c]);
    MSFlexGrid1->setRows(2);
    MSFlexGrid1->setRowHeight(1, 0);
    MSFlexGrid2->setRows(2);
    MSFlexGrid2->setRowHeight(1, 0);

    mnuViewClear->setEnabled(false);
    mnuViewU->setEnabled(false);
    mnuViewLog->setEnabled(false);

    statusBar1->setPanelText(3, clockText());

    // The design sizes: the window may not be laid out yet when the load runs.
    m_formHeight = kClientHeight;
    m_formWidth = kClientWidth;
    m_grid1Height = kGrid1Height;
    m_grid1Width = kGridWidth;
    m_grid2Height = kGrid2Height;
    m_grid2Width = kGridWidth;

    statusBar1->setPanelText(5, tr("〖系统管理〗"));
    Timer1.start();
    if (!m_registry)
        m_registry = new WindowRegistry(kCaption, this);
    m_loaded = true;
    return true;
}

int frmMain::formHeightTw() const { return Twips::fromPxY(m_client->height()); }
int frmMain::formWidthTw() const { return Twips::fromPxX(m_client->width()); }

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize()
{
    if (!m_loaded)
        return;
    const int h = formHeightTw();
    const int g1Top = Twips::fromPxY(MSFlexGrid1->y());
    if (h <= m_formHeight) {
        MSFlexGrid1->resize(MSFlexGrid1->width(), Twips::toPxY(m_grid1Height));
        MSFlexGrid2->resize(MSFlexGrid2->width(), Twips::toPxY(m_grid2Height));
    } else {
        const int g2Top = Twips::fromPxY(MSFlexGrid2->y());
        int free = h - g2Top - Twips::fromPxY(MSFlexGrid2->height());
        MSFlexGrid1->resize(MSFlexGrid1->width(), MSFlexGrid1->height() + Twips::toPxY(free / 2));
        free = h - g2Top - Twips::fromPxY(MSFlexGrid2->height());
        MSFlexGrid2->resize(MSFlexGrid2->width(), MSFlexGrid2->height() + Twips::toPxY(free / 2));
    }
    MSFlexGrid2->move(MSFlexGrid2->x(), Twips::toPxY(g1Top) + MSFlexGrid1->height());

    const int w = formWidthTw();
    if (w <= m_formWidth) {
        MSFlexGrid1->resize(Twips::toPxX(m_grid1Width), MSFlexGrid1->height());
        MSFlexGrid2->resize(MSFlexGrid1->width(), MSFlexGrid2->height());
        statusBar1->setPanelWidth(4, 1700);
    } else {
        const int before = Twips::fromPxX(MSFlexGrid1->width());
        MSFlexGrid1->resize(Twips::toPxX(w - 100), MSFlexGrid1->height());
        MSFlexGrid2->resize(MSFlexGrid1->width(), MSFlexGrid2->height());
        statusBar1->setPanelWidth(4, statusBar1->panelWidth(4) + Twips::fromPxX(MSFlexGrid1->width()) - before);
    }
}

QString frmMain::clockText()
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.date().toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') + now.time().toString(QStringLiteral("HH:mm"));
}

void frmMain::Timer1_Timer()
{
    statusBar1->setPanelText(3, clockText());
}

void frmMain::Timer2_Timer()
{
    MSFlexGrid1->setTextMatrix(1, 2, tr("正常(1)"));
    Timer2.stop();
}

void frmMain::mnuSysReg_Click()
{
    frmLogin dlg(m_session, this);
    dlg.Form_Load();
    ShowModal(dlg);
}

void frmMain::mnuSysU_Click()
{
    if (m_session.db() && mnuSysU->isEnabled())
        AuditLog::record(*m_session.db(), m_session.auditContext(), Audit::logout(m_session.user.id));
    m_tasks->loggedOut();
    mnuSysReg->setEnabled(true);
    mnuViewRef->setEnabled(true);
    mnuViewSys->setEnabled(true);
    mnuSysLogin->setEnabled(false);
    mnuSysData->setEnabled(false);
    mnuSysU->setEnabled(false);
    mnuAcc->menuAction()->setEnabled(false);
    mnuYear->menuAction()->setEnabled(false);
    mnuPop->menuAction()->setEnabled(false);
    mnuViewClear->setEnabled(false);
    mnuViewU->setEnabled(false);
    mnuViewLog->setEnabled(false);
    MSFlexGrid1->setRows(1);
    statusBar1->setPanelText(1, tr("操作员[]"));
    statusBar1->setPanelText(2, tr("服务器[]"));
    statusBar1->setPanelText(4, QString());
    Timer2.stop();
}

void frmMain::mnuSysExit_Click()
{
    EndProgram(0);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    event->accept();
    UnloadAllForms();
}

// Dialogs of the account, permission and operator menus.
void frmMain::mnuAccCreate_Click()
{
    frmAccount wizard(m_session, frmAccount::Mode::Create, this);
    wizard.Form_Load();
    ShowModal(wizard);
    if (wizard.Created) {
        m_session.account.id = wizard.Created->accId;
        m_session.account.name = wizard.Created->accName;
    }
}

void frmMain::mnuAccEdit_Click()
{
    frmAccount wizard(m_session, frmAccount::Mode::Modify, this);
    wizard.Form_Load();
    ShowModal(wizard);
}

void frmMain::mnuAccInput_Click()
{
    if (!m_session.sysDb) {
        MsgBox(tr("系统库未打开，无法引入帐套！"), vb::vbExclamation | vb::vbOKOnly, AccountImporter::title());
        return;
    }
    const QString descriptor = ImportCommand::chooseDescriptor(this);
    if (descriptor.isEmpty())
        return;
    ImportCommand command(m_session, this);
    command.run(descriptor);
}

void frmMain::mnuAccExport_Click()
{
    FrmDelAcc dlg(m_session, this);
    dlg.Form_Load();
    ShowModal(dlg);
    m_session.account.id = dlg.chosenAccId();
}

void frmMain::mnuAccUse_Click()
{
    const QString title = tr("提示信息");
    if (!m_session.sysDb) {
        MsgBox(tr("系统库未打开，无法启用系统！"), vb::vbExclamation | vb::vbOKOnly, title);
        return;
    }
    // The modules start in the set's first year: its books of that year take the ledger start date.
    QString accPath;
    int startYear = 0;
    QString dbPath;
    bool missing = false;
    try {
        if (!AccountDb::locate(*m_session.sysDb, m_session.account.id, 0, &accPath, &startYear)) {
            MsgBox(tr("账套[%1]不存在，无法启用系统！").arg(m_session.account.id), vb::vbExclamation | vb::vbOKOnly, title);
            return;
        }
        dbPath = AccountDb::location(*m_session.sysDb, m_session.account.id, startYear);
        // A server's books are a schema of its database.
        missing = m_session.sysDb->engine() == Engine::PostgreSQL ? !m_session.sysDb->schemaExists(dbPath) : !CiFile::isFile(dbPath);
    } catch (const DbError& e) {
        WriteErrLog(e.nativeCode().toInt(), e.text(), QStringLiteral("mnuAccUse_Click"));
        MsgBox(tr("无法读取账套[%1]：%2").arg(m_session.account.id, e.userText()), vb::vbExclamation | vb::vbOKOnly, title);
        return;
    }
    if (missing) {
        MsgBox(tr("找不到账套[%1]的账套库：%2，无法启用系统！").arg(m_session.account.id, dbPath), vb::vbExclamation | vb::vbOKOnly, title);
        return;
    }
    frmSysStart dlg(m_session, m_session.account.id, this);
    dlg.accDbPath = dbPath;
    dlg.Form_Load();
    ShowModal(dlg);
}
void frmMain::enableYearMenu(bool supervisor)
{
    mnuYear->menuAction()->setEnabled(supervisor);
    if (!supervisor)
        return;
    for (QAction* a : {mnuYearCreate, mnuYearDel, mnuYearInput, mnuYearExport})
        a->setEnabled(true);
    const bool previous = YearMenu::hasPreviousYear(m_session);
    mnuAccT->menuAction()->setEnabled(previous);
    mnuAccT1->setEnabled(previous);
}

// The 年度账 menu's items: the work on the years of the set logged into.
void frmMain::mnuYearCreate_Click() { m_years->create(); }
void frmMain::mnuYearDel_Click() { m_years->clear(); }
void frmMain::mnuYearInput_Click() { m_years->importYear(); }
void frmMain::mnuYearExport_Click() { m_years->exportYear(); }
void frmMain::mnuAccT1_Click() { m_years->carryForward(); }

// 刷新 and the administrator's clearings of what dead tasks left.
void frmMain::mnuViewRef_Click() { m_tasks->refresh(); }

// The administrator's server items: moving the files onto a server, the server login's password.
void frmMain::mnuSysData_Click() { m_server->moveToServer(); }
void frmMain::mnuSysLogin_Click() { m_server->changePassword(); }
void frmMain::mnuViewClear_Click() { m_tasks->clearAbnormalTasks(); }
void frmMain::mnuViewU_Click() { m_tasks->releaseStaleClaims(); }

void frmMain::mnuPopG_Click()
{
    frmrole dlg(m_session, this);
    dlg.Form_Load();
    ShowModal(dlg);
}

void frmMain::mnuPopUser_Click()
{
    frmuser dlg(m_session, this);
    dlg.Form_Load();
    ShowModal(dlg);
}

void frmMain::mnuPopJ_Click()
{
    frmUserPop dlg(m_session, this);
    dlg.Form_Load();
    ShowModal(dlg);
    m_session.account.id = dlg.chosenAccId();
}

// The administrator's view of every row of the log.
void frmMain::mnuViewLog_Click()
{
    frmLog dlg(m_session, this);
    dlg.Form_Load();
    ShowModal(dlg);
}

// A supervisor's view of the log of the set he or she works on; nobody logged in sees nothing.
void frmMain::mnuViewSys_Click()
{
    const QString title = tr("系统日志");
    if (!mnuSysU->isEnabled() || !m_session.sysDb) {
        MsgBox(tr("请先注册（登录）到账套，再查看系统日志。"), vb::vbInformation | vb::vbOKOnly, title);
        return;
    }
    frmLog dlg(m_session, this);
    dlg.setWindowTitle(tr("系统日志——账套[%1]").arg(m_session.account.id));
    if (!m_session.user.isAdmin)
        dlg.OnlyAccId = m_session.account.id;
    dlg.Form_Load();
    ShowModal(dlg);
}

QString frmMain::GetTxtFileMatter(const QString& path, qint16 lineNo)
{
    if (lineNo <= 0 || !CiFile::isFile(path))
        return QString();
    QFile f(CiFile::resolve(path));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    qint16 count = 0;
    while (!f.atEnd()) {
        QByteArray line = f.readLine();
        if (f.error() != QFileDevice::NoError)
            return QString();
        ++count;
        if (count == lineNo) {
            while (line.endsWith('\n') || line.endsWith('\r'))
                line.chop(1);
            return QString::fromUtf8(line);
        }
    }
    return QString();
}

void frmMain::mnuHelpI_Click()
{
    Help::open(this);
}

void frmMain::mnuHelpWeb_Click()
{
    About::openHomepage();
}

void frmMain::mnuHelpAbort_Click()
{
    // The installation in use: the server once the login chose one, else the root folder.
    About::show(m_session.onServer() ? m_session.shownServer() : m_session.root);
}
