#include "frmLogin.h"
#include "Banner.h"
#include "StatusBar1.h"
#include "frmMain.h"
#include "TaskGrids.h"
#include "frmPassword.h"
#include "frmWeb.h"
#include "UsedServers.h"

#include <AccountDeletion.h>
#include <AccountImporter.h>
#include <CiFile.h>
#include <FlexGrid.h>
#include <Installation.h>
#include <Migration.h>
#include <InstallationRecovery.h>
#include <LoginCheck.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <OffThread.h>
#include <PasswordHash.h>
#include <ShowModal.h>
#include <SingleInstance.h>
#include <Twips.h>
#include <Words.h>

#include <QCoreApplication>
#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>

using namespace Module1;

namespace {
// The server list's first entry: the installation root's own system database.
QString localText() { return QCoreApplication::translate("frmLogin", "(本机)"); }
constexpr int kInputLeft = 3000;
constexpr int kLabelLeft = 1500;
constexpr int kRowHeight = 300;

void place(QWidget* w, int leftTw, int topTw, int widthTw, int heightTw)
{
    w->setGeometry(Twips::toPxX(leftTw), Twips::toPxY(topTw), Twips::toPxX(widthTw), Twips::toPxY(heightTw));
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int top)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(l, kLabelLeft - 300, top, 1600, kRowHeight);
    return l;
}

} // namespace

frmLogin::frmLogin(Session& session, frmMain* console, QWidget* parent)
    : QDialog(parent ? parent : console)
    , m_session(session)
    , m_console(console)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(shownCaption());
    // Top to bottom as the form shows them; what is made later lies over what was made before.
    buildPicturesAndServerRow();
    buildOperatorRows();
    buildButtons();
    nameControls();
    connectControls();
}

void frmLogin::buildPicturesAndServerRow()
{
    PicJS = new QLabel(this);
    PicJS->setObjectName(QStringLiteral("PicJS"));
    PicJS->setAccessibleName(tr("revozi 系统管理"));
    place(PicJS, 0, 0, 7500, 1900);
    PicShangHai = new QLabel(this);
    PicShangHai->setObjectName(QStringLiteral("PicShangHai"));
    place(PicShangHai, 120, 2160, 1000, 1700);
    PicShangHai->setPixmap(Banner::sidePicture(PicShangHai->size()));

    lblServer = label(this, "lblServer", tr("服务器(&S)"), 2160);
    cboServer = new QComboBox(this);
    cboServer->setObjectName(QStringLiteral("cboServer"));
    cboServer->setToolTip(tr("(本机)：安装目录中的系统库；或这台计算机用过的服务器"));
    // As wide as the account-set list: a server's host:port/database fits.
    place(cboServer, kInputLeft, 2160, 2800, kRowHeight);
    cboServer->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmdServer = new QPushButton(QStringLiteral("..."), this);
    cmdServer->setObjectName(QStringLiteral("cmdServer"));
    cmdServer->setAccessibleName(tr("网络计算机浏览"));
    cmdServer->setToolTip(tr("网络计算机浏览：输入、测试并选择服务器"));
    place(cmdServer, kInputLeft + 2860, 2160, 400, kRowHeight);
}

void frmLogin::buildOperatorRows()
{
    lblUser = label(this, "lblUser", tr("用户名(&U)"), 2520);
    cboUser = new QComboBox(this);
    cboUser->setObjectName(QStringLiteral("cboUser"));
    place(cboUser, kInputLeft, 2520, 2160, kRowHeight);
    // The typed identifier lies over the list's text; the list's arrow stays reachable.
    TxtUser = new QLineEdit(this);
    TxtUser->setObjectName(QStringLiteral("TxtUser"));
    TxtUser->setMaxLength(20);
    const int arrow = Twips::fromPxX(style()->pixelMetric(QStyle::PM_ScrollBarExtent)) + 120;
    place(TxtUser, kInputLeft, 2520, 2160 - arrow, kRowHeight);

    lblPassword = label(this, "lblPassword", tr("密码(&P)"), 2880);
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    // The style's own mask character varies; the password boxes show "*".
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    txtPassword->setMaxLength(PasswordHash::kMaxLength);
    place(txtPassword, kInputLeft, 2880, 2160, kRowHeight);

    lblAcc = label(this, "lblAcc", tr("账套(&A)"), 3240);
    cboAcc = new QComboBox(this);
    cboAcc->setObjectName(QStringLiteral("cboAcc"));
    place(cboAcc, kInputLeft, 3240, 2800, kRowHeight);
    lblYear = label(this, "lblYear", tr("会计年度(&Y)"), 3600);
    cboYear = new QComboBox(this);
    cboYear->setObjectName(QStringLiteral("cboYear"));
    place(cboYear, kInputLeft, 3600, 1200, kRowHeight);
    lblAcc->hide();
    cboAcc->hide();
    lblYear->hide();
    cboYear->hide();
}

void frmLogin::buildButtons()
{
    cmdOK = new QPushButton(tr("登录(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(false);
    cmdOK->setAutoDefault(false);
    place(cmdOK, 2300, 4260, 1200, 380);
    cmdEdit = new QPushButton(tr("修改密码"), this);
    cmdEdit->setObjectName(QStringLiteral("cmdEdit"));
    cmdEdit->setAutoDefault(false);
    place(cmdEdit, 3650, 4260, 1200, 380);
    cmdCancel = new QPushButton(tr("退出"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    place(cmdCancel, 5000, 4260, 1200, 380);

    lblTip = new QLabel(tr("系统管理员账号\"admin\"，初始密码为空"), this);
    lblTip->setObjectName(QStringLiteral("lblTip"));
    lblTip->setAlignment(Qt::AlignCenter);
    place(lblTip, 300, 4900, 6900, kRowHeight);
}

void frmLogin::nameControls()
{
    // Captions name their controls for assistive technology.
    lblServer->setBuddy(cboServer);
    lblUser->setBuddy(TxtUser);
    lblPassword->setBuddy(txtPassword);
    lblAcc->setBuddy(cboAcc);
    lblYear->setBuddy(cboYear);
    cboServer->setAccessibleName(tr("服务器"));
    TxtUser->setAccessibleName(tr("用户名"));
    cboUser->setAccessibleName(tr("用户名列表"));
    txtPassword->setAccessibleName(tr("密码"));
    cboAcc->setAccessibleName(tr("账套"));
    cboYear->setAccessibleName(tr("会计年度"));

    setTabOrder(cboServer, cmdServer);
    setTabOrder(cmdServer, TxtUser);
    setTabOrder(TxtUser, cboUser);
    setTabOrder(cboUser, txtPassword);
    setTabOrder(txtPassword, cboAcc);
    setTabOrder(cboAcc, cboYear);
    setTabOrder(cboYear, cmdOK);
    setTabOrder(cmdOK, cmdEdit);
    setTabOrder(cmdEdit, cmdCancel);
}

void frmLogin::connectControls()
{
    connect(cboUser, QOverload<int>::of(&QComboBox::activated), this, [this](int) {
        cboUser_Click();
        TxtUser->setText(m_session.user.id);
    });
    connect(TxtUser, &QLineEdit::editingFinished, this, &frmLogin::TxtUser_LostFocus);
    connect(cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmLogin::cmdEdit_Click, Qt::QueuedConnection);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);
    connect(cmdServer, &QPushButton::clicked, this, &frmLogin::cmdServer_Click, Qt::QueuedConnection);
    connect(cboServer, QOverload<int>::of(&QComboBox::activated), this, &frmLogin::cboServer_Click);
    TxtUser->installEventFilter(this);
    txtPassword->installEventFilter(this);
}

frmLogin::~frmLogin() = default;

void frmLogin::Form_Load()
{
    setFixedSize(Twips::toPxX(7500), Twips::toPxY(6030));
    const bool showServer = m_session.edition != 1;
    lblServer->setVisible(showServer);
    cboServer->setVisible(showServer);
    cmdServer->setVisible(showServer);
    PicJS->setPixmap(Banner::loginBanner(PicJS->size()));
    if (!m_registry)
        m_registry = new WindowRegistry(kCaption, this);
    fillServers();
    openSystem();
}

void frmLogin::fillServers()
{
    cboServer->clear();
    m_servers.clear();
    cboServer->addItem(localText());
    m_servers.append(ConnInfo());
    cboServer->setItemData(0, m_session.computerName, Qt::ToolTipRole);
    // Without the server row there is no choosing: the installation root's files.
    if (m_session.edition == 1)
        return;
    const QString last = UsedServers::last();
    for (const QString& kept : UsedServers::list()) {
        const ConnInfo server(kept);
        cboServer->addItem(server.label());
        m_servers.append(server);
        cboServer->setItemData(cboServer->count() - 1, kept, Qt::ToolTipRole);
        if (kept == last)
            cboServer->setCurrentIndex(cboServer->count() - 1);
    }
}

void frmLogin::cboServer_Click()
{
    if (cboServer->currentIndex() != m_serverIndex)
        openSystem();
}

void frmLogin::cmdServer_Click()
{
    frmWeb dlg(this);
    dlg.setCurrent(m_session.installation.conn());
    if (ShowModal(dlg) != QDialog::Accepted || dlg.chosen().isEmpty())
        return;
    selectServer(dlg.chosen());
}

// A server used before is chosen again; a new one joins the list (remembered once it opens).
void frmLogin::selectServer(const ConnInfo& chosen)
{
    int i = 1;
    while (i < cboServer->count() && m_servers.value(i).withoutPassword() != chosen.withoutPassword())
        ++i;
    if (i == cboServer->count()) {
        i = 1;
        cboServer->insertItem(i, chosen.label());
        m_servers.insert(i, chosen);
    }
    m_servers[i] = chosen;
    cboServer->setItemData(i, chosen.withoutPassword(), Qt::ToolTipRole);
    cboServer->setCurrentIndex(i);
    openSystem();
}

void frmLogin::openSystem()
{
    m_serverIndex = cboServer->currentIndex();
    const ConnInfo server = m_servers.value(m_serverIndex);
    m_users.reset();
    // A task lives on the handle it registered on: it ends before the handle goes.
    m_session.task.reset();
    m_session.sysDb.reset();
    m_session.installation = server.isEmpty() ? InstallationPlace::files(m_session.root) : InstallationPlace::server(server);
    m_sysDbMissing = false;
    m_sysDbProblem.clear();
    cboUser->clear();
    cboAcc->clear();
    cboYear->clear();

    if (server.isEmpty() && !CiFile::isFile(m_session.systemFolder() + QStringLiteral("dezaduzi.mdb"))) {
        m_sysDbMissing = true;
        MsgBox(tr("系统库不存在"), vb::vbExclamation | vb::vbOKOnly, tr("登录"));
        return;
    }
    try {
        m_session.sysDb = std::make_unique<Database>();
        // The operators are read with the installation's upkeep question, in one round trip.
        const Database::Statement operators{QStringLiteral("select * from sm_user where cUser_Name<>'asuser' order by cUser_Id"), {}};
        Installation::Opened opened = Installation::openSystemDatabase(
            *m_session.sysDb, server.isEmpty() ? m_session.installation : InstallationPlace::server(server.givingUpAfter(UsedServers::kGiveUpSeconds)),
            false, {operators});
        // An older installation's plain passwords are hashed once, a good part of a second each:
        // on a connection of its own off the window's thread, so the form keeps painting; the
        // operators are then read again with their hashes.
        if (opened.plainPasswords) {
            const Database& kept = *m_session.sysDb;
            runOffThread([&] {
                Database converting;
                converting.openLike(kept);
                Installation::convertPasswords(converting);
                return true;
            });
            opened.read = m_session.sysDb->batch({operators});
        }
        // A deletion that a crash interrupted is finished or undone, and an interrupted import
        // rolled back or finished, before anyone sees the sets.
        Installation::recoverInterrupted(*m_session.sysDb);
        m_users = std::make_unique<Recordset>(opened.read.value(0));
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("Form_Load"));
        m_session.sysDb.reset();
        m_users.reset();
        m_sysDbMissing = true;
        // Said again at 登录: the database is there, but locked or damaged, or the server is not.
        m_sysDbProblem = server.isEmpty()
                             ? tr("无法打开系统库：%1").arg(e.userText())
                             : tr("无法打开服务器 %1 上的系统库：%2").arg(server.label(), e.userText());
        MsgBox(m_sysDbProblem, vb::vbExclamation | vb::vbOKOnly, tr("登录"));
        return;
    }
    if (m_session.edition != 1)
        UsedServers::remember(server);
    listOperators();
    if (server.isEmpty())
        offerMovedServer();
}

// An installation moved onto a server keeps its files; its login says where it went and offers
// to switch there.
void frmLogin::offerMovedServer()
{
    const QString moved = Migration::movedTo(m_session.root);
    if (moved.isEmpty() || m_session.edition == 1)
        return;
    if (MsgBox(tr("本安装已迁移到服务器[%1]。\n切换到服务器上的安装吗？").arg(ConnInfo(moved).label()),
               vb::vbYesNo | vb::vbQuestion, tr("登录")) == vb::vbYes)
        selectServer(ConnInfo(moved));
}

void frmLogin::listOperators()
{
    if (m_users->Eof())
        return;
    QStringList entries;
    entries.reserve(m_users->RecordCount());
    for (m_users->MoveFirst(); !m_users->Eof(); m_users->MoveNext())
        entries << ListEntry(m_users->text(QStringLiteral("cUser_Id")), m_users->text(QStringLiteral("cUser_Name")));
    cboUser->addItems(entries);

    if (!m_session.user.name.isEmpty()) {
        const int i = cboUser->findText(ListEntry(m_session.user.id, m_session.user.name));
        if (i >= 0)
            cboUser->setCurrentIndex(i);
    } else {
        cboUser->setCurrentIndex(0);
        m_users->MoveFirst();
        m_session.user.name = m_users->text(QStringLiteral("cUser_Name"));
        m_session.user.id = m_users->text(QStringLiteral("cUser_Id"));
        m_password = m_users->text(QStringLiteral("cPassword"));
    }
    cboUser_Click();
    TxtUser->setText(m_session.user.id);
}

void frmLogin::cboUser_Click()
{
    const QString text = cboUser->currentText();
    const int close = text.indexOf(QLatin1Char(']'));
    if (close < 0 || !m_users)
        return;
    m_session.user.id = text.mid(1, close - 1);
    m_session.user.name = text.mid(close + 1);
    if (!m_users->FindFirst(QStringLiteral("cUser_Id"), m_session.user.id))
        return;
    m_session.user.isAdmin = m_users->Fields(QStringLiteral("iAdmin")).toInt() != 0;
    m_password = m_users->text(QStringLiteral("cPassword"));
    m_userState = m_users->Fields(QStringLiteral("nState"));
    if (m_session.user.isAdmin) {
        lblAcc->hide();
        cboAcc->hide();
        lblYear->hide();
        cboYear->hide();
        cmdOK->setEnabled(true);
        return;
    }
    lblAcc->show();
    cboAcc->show();
    lblYear->show();
    cboYear->show();
    cboAcc->clear();
    cboYear->clear();
    try {
        Recordset rs = m_session.sysDb->query(
            QStringLiteral("select * from SM_Account where cAcc_Id in (select distinct cAcc_Id from SM_HoldAuth where cUser_Id=?)"),
            {m_session.user.id});
        QStringList entries;
        for (; !rs.Eof(); rs.MoveNext())
            entries << ListEntry(rs.text(QStringLiteral("cAcc_Id")), rs.text(QStringLiteral("cAcc_Name")));
        cboAcc->addItems(entries);
        if (!entries.isEmpty())
            cboAcc->setCurrentIndex(0);
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("cboUser_Click"));
        MsgBox(tr("读取账套失败：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, shownCaption());
    }
    const QString year = QString::number(QDate::currentDate().year());
    cboYear->addItem(year);
    cboYear->setCurrentIndex(0);
    if (!cboAcc->currentText().isEmpty() && !cboYear->currentText().isEmpty())
        cmdOK->setEnabled(true);
}

void frmLogin::TxtUser_LostFocus()
{
    cboAcc->clear();
    cboYear->clear();
    const QString typed = TxtUser->text().trimmed();
    if (typed.isEmpty())
        return;
    for (int i = 0; i < cboUser->count(); ++i) {
        QString id = cboUser->itemText(i).mid(1);
        const int close = id.indexOf(QLatin1Char(']'));
        if (close >= 0)
            id = id.left(close);
        if (id.toUpper() == typed.toUpper()) {
            cboUser->setCurrentIndex(i);
            cboUser_Click();
            return;
        }
    }
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            const bool typedAdmin = TxtUser->text().compare(QStringLiteral("admin"), Qt::CaseInsensitive) == 0;
            if (watched == TxtUser) {
                if (typedAdmin)
                    TxtUser_LostFocus();
                txtPassword->setFocus();
                return true;
            }
            if (watched == txtPassword) {
                if (typedAdmin)
                    cmdOK_Click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmLogin::cmdOK_Click()
{
    // Nothing to log into without a system database.
    if (m_sysDbMissing || !m_session.sysDb || !m_users) {
        MsgBox(m_sysDbProblem.isEmpty() ? tr("系统库不存在") : m_sysDbProblem, vb::vbExclamation | vb::vbOKOnly,
               tr("登录"));
        return;
    }
    // The try is charged to the operator the person typed, never to the one selected before: an
    // identifier that names no operator is refused as typed and counts against nobody.
    const QString typed = TxtUser->text().trimmed();
    if (typed.compare(m_session.user.id, Qt::CaseInsensitive) != 0) {
        TxtUser_LostFocus();
        if (typed.isEmpty() || typed.compare(m_session.user.id, Qt::CaseInsensitive) != 0) {
            const Words why = typed.isEmpty()
                                  ? Words::of("frmLogin", QT_TRANSLATE_NOOP("frmLogin", "请输入用户名。"))
                                  : Words::of("frmLogin", QT_TRANSLATE_NOOP("frmLogin", "用户名[%1]不存在，请重新输入。"), typed);
            AuditLog::record(*m_session.sysDb, m_session.auditContext(), Audit::loginFailed(typed, why.stored));
            MsgBox(why.shown, vb::vbExclamation | vb::vbOKOnly, shownCaption());
            return;
        }
    }
    // The hash is checked on a thread of its own while the form keeps painting (it takes a good
    // part of a second on purpose); no click reaches the form meanwhile.
    LoginCheck check(*m_session.sysDb, [](const QString& typed, const QString& stored) {
        if (!PasswordHash::isHash(stored))
            return PasswordHash::verify(typed, stored);
        return runOffThread([&] { return PasswordHash::verify(typed, stored); });
    });
    const LoginOutcome tried = check.attempt(m_session.user.id, txtPassword->text(), m_password, m_userState);
    if (!tried.ok) {
        AuditLog::record(*m_session.sysDb, m_session.auditContext(), Audit::loginFailed(TxtUser->text(), tried.reason));
        ShowNotice(tried.notice);
        return;
    }
    const bool typedAdmin = TxtUser->text().toLower() == QLatin1String("admin");
    if (!typedAdmin && (cboAcc->currentText().isEmpty() || cboYear->currentText().isEmpty())) {
        cmdOK->setEnabled(false);
        return;
    }
    // "admin" typed while a non-administrator is selected: there is no account set to open.
    if (!m_session.user.isAdmin && ListEntryId(cboAcc->currentText()).isEmpty()) {
        MsgBox(tr("该操作员不是系统管理员，请选择要登录的账套。"), vb::vbExclamation | vb::vbOKOnly, shownCaption());
        return;
    }
    AuditLog::record(*m_session.sysDb, m_session.auditContext(), Audit::login(m_session.user.id, m_session.user.isAdmin ? QString() : ListEntryId(cboAcc->currentText()), cboYear->currentText()));
    setupConsole();
    accept();
}

void frmLogin::setupConsole()
{
    frmMain* m = m_console;
    FlexGrid* g1 = m->MSFlexGrid1;
    g1->setRows(2);
    g1->setRowHeight(1, g1->RowHeight(0) > 0 ? g1->RowHeight(0) : 300);
    g1->setTextMatrix(1, 0, tr("控制台"));
    g1->setTextMatrix(1, 1, m_session.computerName);
    g1->setTextMatrix(1, 2, tr("正常(0)"));
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    g1->setTextMatrix(1, 3, now);

    FlexGrid* g2 = m->MSFlexGrid2;
    g2->setCols(4);
    g2->setFormatString(tr("^账套号|^年度|^操作员|^执行功能"));
    const int widths[] = {1000, 800, 2000, 4000};
    for (int c = 0; c < 4; ++c)
        g2->setColWidth(c, widths[c]);

    m->statusBar1->setPanelText(1, tr("操作员[%1]").arg(m_session.user.name));
    m->statusBar1->setPanelText(2, tr("服务器[%1]").arg(m_session.shownServer()));
    m->statusBar1->setPanelText(3, now);

    m->mnuSysReg->setEnabled(false);
    m->mnuSysU->setEnabled(true);
    m->mnuAcc->menuAction()->setEnabled(true);
    m->mnuPop->menuAction()->setEnabled(true);

    const bool admin = m_session.user.isAdmin;
    if (!admin) {
        const QString acc = cboAcc->currentText();
        m_session.account.id = ListEntryId(acc);
        m_session.account.name = ListEntryName(acc);
        m_session.account.year = cboYear->currentText();
        m->statusBar1->setPanelText(4, tr("当前帐套：[%1] 会计年度：[%2]").arg(m_session.account.id, cboYear->currentText()));
    } else {
        m->statusBar1->setPanelText(4, QString());
    }
    // Items that the administrator gets and the supervisor loses, and the reverse.
    for (QAction* a : {m->mnuSysLogin, m->mnuSysData, m->mnuAccCreate, m->mnuAccInput, m->mnuAccExport, m->mnuPopUser,
                       m->mnuPopG, m->mnuViewClear, m->mnuViewU, m->mnuViewLog})
        a->setEnabled(admin);
    for (QAction* a : {m->mnuAccEdit, m->mnuAccUse, m->mnuViewRef, m->mnuViewSys})
        a->setEnabled(!admin);
    m->enableYearMenu(!admin);
    m->Timer2.start();
    m->tasks().loggedIn();
}

void frmLogin::cmdEdit_Click()
{
    frmPassword dlg(m_session, m_session.user.id, m_password, this);
    ShowModal(dlg);
    // Read the operators anew, so that choosing the operator again finds the new password;
    // until then the password read before stays the one expected, here and in the next change.
    if (!m_session.sysDb || !m_users)
        return;
    try {
        m_users = std::make_unique<Recordset>(
            m_session.sysDb->query(QStringLiteral("select * from sm_user where cUser_Name<>'asuser' order by cUser_Id")));
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("cmdEdit_Click"));
    }
}

void frmLogin::cmdCancel_Click()
{
    reject();
}
