#include "FirstStart.h"

#include <ShowModal.h>
#include <frmWeb.h>

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Launcher {
frmFirstStart::frmFirstStart(const QString& root, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFirstStart"));
    setWindowTitle(QCoreApplication::translate("FirstStart", "revozi 系统管理"));
    lblText = new QLabel(QCoreApplication::translate("FirstStart", "首次启动：这台计算机上还没有您的安装。请选择怎样开始：\n\n"
                                        "建立我自己的安装：在 %1 建立新的安装（系统库 DeZaduzi/DeZaduzi.mdb），以后每次启动都使用它。\n\n"
                                        "连接单位的服务器：在“网络计算机浏览”中选择单位服务器上的安装，然后登录；本机不建立任何东西。\n\n"
                                        "取消：什么也不建立。").arg(root),
                         this);
    lblText->setObjectName(QStringLiteral("lblText"));
    lblText->setWordWrap(true);
    lblText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdOwn = new QPushButton(QCoreApplication::translate("FirstStart", "建立我自己的安装(&M)"), this);
    cmdOwn->setObjectName(QStringLiteral("cmdOwn"));
    cmdServer = new QPushButton(QCoreApplication::translate("FirstStart", "连接单位的服务器(&S)..."), this);
    cmdServer->setObjectName(QStringLiteral("cmdServer"));
    cmdCancel = new QPushButton(QCoreApplication::translate("FirstStart", "取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // Enter alone chooses nothing: each way is a button of its own.
    for (QPushButton* b : {cmdOwn, cmdServer, cmdCancel})
        b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOwn);
    buttons->addWidget(cmdServer);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblText, 1);
    layout->addLayout(buttons);
    setMinimumWidth(560);

    connect(cmdOwn, &QPushButton::clicked, this, [this] {
        choice = Choice::Own;
        accept();
    });
    connect(cmdServer, &QPushButton::clicked, this, [this] {
        choice = Choice::Server;
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        choice = Choice::Cancel;
        reject();
    });
}

FirstStartPlan askFirstStart(const QString& root, const std::function<QString()>& chooseServer)
{
    for (;;) {
        frmFirstStart dlg(root);
        // Closing the window or Escape is no choice: nothing is made.
        if (ShowModal(dlg) != QDialog::Accepted || dlg.choice == frmFirstStart::Choice::Cancel)
            return {};
        if (dlg.choice == frmFirstStart::Choice::Own)
            return {frmFirstStart::Choice::Own, QString()};
        const QString server = chooseServer();
        if (!server.trimmed().isEmpty())
            return {frmFirstStart::Choice::Server, server.trimmed()};
    }
}

QString chooseServerInBrowser()
{
    frmWeb dlg;
    if (ShowModal(dlg) != QDialog::Accepted)
        return QString();
    return dlg.chosen().text();
}
}
