#include "frmWeb.h"
#include "UsedServers.h"

#include <Database.h>
#include <Installation.h>
#include <Module1.h>
#include <MsgBox.h>
#include <OffThread.h>

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextStream>
#include <QVBoxLayout>

using namespace Module1;

namespace {
QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

QVBoxLayout* column(QLabel* label, QWidget* list)
{
    auto* v = new QVBoxLayout;
    v->addWidget(label);
    v->addWidget(list);
    return v;
}
} // namespace

frmWeb::frmWeb(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmWeb"));
    setWindowTitle(shownCaption());

    buildLists();
    QLayout* typedRow = buildTyped();
    lblCurrent = new QLabel(this);
    lblCurrent->setObjectName(QStringLiteral("lblCurrent"));
    lblCurrent->setTextInteractionFlags(Qt::TextSelectableByMouse);

    QLayout* buttons = buildButtons();

    auto* top = new QVBoxLayout(this);
    top->addWidget(fraWeb, 1);
    top->addLayout(typedRow);
    top->addWidget(lblCurrent);
    top->addLayout(buttons);
    resize(560, 360);

    setTabOrder(lstUsed, lstServices);
    setTabOrder(lstServices, txtServer);
    setTabOrder(txtServer, cmdTest);
    setTabOrder(cmdTest, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    fillLists();
    connectControls();
    setCurrent(ConnInfo());
}

// The servers used before and the services of pg_service.conf, side by side in 网络资源.
void frmWeb::buildLists()
{
    fraWeb = new QGroupBox(tr("网络资源"), this);
    fraWeb->setObjectName(QStringLiteral("fraWeb"));
    lstUsed = new QListWidget(fraWeb);
    lstUsed->setObjectName(QStringLiteral("lstUsed"));
    lstUsed->setAccessibleName(tr("使用过的服务器"));
    lstServices = new QListWidget(fraWeb);
    lstServices->setObjectName(QStringLiteral("lstServices"));
    lstServices->setAccessibleName(tr("服务"));
    auto* lists = new QHBoxLayout(fraWeb);
    lists->addLayout(column(caption(tr("使用过的服务器(&U)"), lstUsed, fraWeb), lstUsed), 3);
    lists->addLayout(column(caption(tr("服务 pg_service.conf(&V)"), lstServices, fraWeb), lstServices), 2);
}

// The connection string box with its caption.
QLayout* frmWeb::buildTyped()
{
    txtServer = new QLineEdit(this);
    txtServer->setObjectName(QStringLiteral("txtServer"));
    txtServer->setAccessibleName(tr("连接串"));
    txtServer->setPlaceholderText(tr("host=主机 port=5432 dbname=数据库 user=用户，或 service=服务名"));
    txtServer->setMinimumWidth(420);
    auto* typedRow = new QHBoxLayout;
    typedRow->addWidget(caption(tr("连接串(&C)"), txtServer, this));
    typedRow->addWidget(txtServer, 1);
    return typedRow;
}

QLayout* frmWeb::buildButtons()
{
    cmdTest = new QPushButton(tr("测试(&T)"), this);
    cmdTest->setObjectName(QStringLiteral("cmdTest"));
    cmdTest->setAutoDefault(false);
    cmdOK = new QPushButton(tr("选择"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(tr("放弃"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdTest);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    return buttons;
}

void frmWeb::fillLists()
{
    for (const QString& c : UsedServers::list()) {
        auto* item = new QListWidgetItem(c, lstUsed);
        item->setData(Qt::UserRole, c);
        item->setToolTip(ConnInfo(c).label());
    }
    for (const QString& s : services()) {
        auto* item = new QListWidgetItem(s, lstServices);
        item->setData(Qt::UserRole, QStringLiteral("service=") + s);
    }
}

void frmWeb::connectControls()
{
    for (QListWidget* l : {lstUsed, lstServices}) {
        connect(l, &QListWidget::itemClicked, this, &frmWeb::picked);
        connect(l, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
            picked(item);
            cmdOK_Click();
        });
    }
    connect(cmdTest, &QPushButton::clicked, this, &frmWeb::cmdTest_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmWeb::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmWeb::cmdCancel_Click);
}

void frmWeb::setCurrent(const ConnInfo& server)
{
    lblCurrent->setText(tr("当前：") + (server.isEmpty() ? tr("(本机) 安装目录中的系统库") : server.label()));
    lblCurrent->setAccessibleName(lblCurrent->text());
    if (!server.isEmpty())
        txtServer->setText(server.withoutPassword());
}

QStringList frmWeb::services()
{
    // libpq reads the person's file, then the system's (Debian's libpq keeps it in postgresql-common).
    QStringList files;
    const QString own = qEnvironmentVariable("PGSERVICEFILE");
    files << (own.isEmpty() ? QDir::homePath() + QStringLiteral("/.pg_service.conf") : own);
    const QString sys = qEnvironmentVariable("PGSYSCONFDIR");
    files << (sys.isEmpty() ? QStringLiteral("/etc/postgresql-common") : sys) + QStringLiteral("/pg_service.conf");
    QStringList out;
    for (const QString& path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        QTextStream in(&f);
        while (!in.atEnd()) {
            const QString line = in.readLine().trimmed();
            if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
                const QString name = line.mid(1, line.size() - 2).trimmed();
                if (!name.isEmpty() && !out.contains(name))
                    out << name;
            }
        }
    }
    return out;
}

void frmWeb::picked(QListWidgetItem* item)
{
    if (item)
        txtServer->setText(item->data(Qt::UserRole).toString());
}

ConnInfo frmWeb::typed() const
{
    const ConnInfo server(txtServer->text());
    if (server.isEmpty())
        MsgBox(tr("请输入服务器的连接串（如 host=主机 dbname=数据库），或从列表中选择一个。"),
               vb::vbExclamation | vb::vbOKOnly, shownCaption());
    return server;
}

void frmWeb::cmdTest_Click()
{
    const ConnInfo server = typed();
    if (server.isEmpty())
        return;
    // A server far away may take seconds to answer: the window keeps painting meanwhile.
    QString problem;
    const ConnInfo connecting = server.givingUpAfter(UsedServers::kGiveUpSeconds);
    const bool ok = runOffThread([&] {
        try {
            Database db;
            Installation::openServerSystem(db, connecting, false);
            return true;
        } catch (const DbError& e) {
            WriteErrLog(3, e.text(), QStringLiteral("cmdTest_Click"));
            // What the server or the network said (no such database, a host unknown) helps whoever
            // typed the connection: it follows our own sentence.
            problem = e.userText();
            if (e.text() != problem && !e.text().isEmpty())
                problem += tr("\n（%1）").arg(e.text().trimmed());
            return false;
        }
    });
    if (ok)
        MsgBox(tr("连接成功：服务器 %1 上有系统管理的安装，可以选择它。").arg(server.label()),
               vb::vbInformation | vb::vbOKOnly, shownCaption());
    else
        MsgBox(tr("无法使用服务器 %1：\n%2").arg(server.label(), problem),
               vb::vbExclamation | vb::vbOKOnly, shownCaption());
}

void frmWeb::cmdOK_Click()
{
    const ConnInfo server = typed();
    if (server.isEmpty())
        return;
    m_chosen = server;
    accept();
}

void frmWeb::cmdCancel_Click()
{
    reject();
}
