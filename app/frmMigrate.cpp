#include "frmMigrate.h"

#include <Database.h>
#include <DbError.h>
#include <MsgBox.h>
#include <OffThread.h>
#include <Session.h>

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

frmMigrate::frmMigrate(const Session& session, const ConnInfo& server, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_server(server)
{
    setObjectName(QStringLiteral("frmMigrate"));
    setWindowTitle(tr("升级SQL Server数据"));
    lblTable = new QLabel(tr("正在把本安装复制到服务器[%1]……").arg(server.label()), this);
    lblTable->setObjectName(QStringLiteral("lblTable"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setAccessibleName(tr("复制进度"));
    cmdCancel = new QPushButton(tr("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdCancel, &QPushButton::clicked, this, &frmMigrate::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(lblTable);
    lay->addWidget(ProgressBar1);
    lay->addLayout(buttons);
    setMinimumWidth(460);
    m_start.setSingleShot(true);
    m_start.setInterval(100);
    connect(&m_start, &QTimer::timeout, this, &frmMigrate::start);
}

void frmMigrate::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_started)
        m_start.start();
}

void frmMigrate::start()
{
    if (m_started || !m_session.sysDb)
        return;
    m_started = true;
    const Database* like = m_session.sysDb.get();
    const QString root = m_session.root;
    const ConnInfo server = m_server;
    const AuditContext who = m_session.auditContext();
    WorkControl control;
    control.cancel = &m_cancel;
    control.progress = progressTo(ProgressBar1);
    // Which table goes, and how much has gone, shown on the window's thread.
    Migration::Progress progress = [label = QPointer<QLabel>(lblTable)](const QString& table, qint64 bytes, qint64 total) {
        const QString text = tr("正在复制 %1（%2 / %3）").arg(table, QLocale().formattedDataSize(bytes), QLocale().formattedDataSize(total));
        QMetaObject::invokeMethod(
            label.data(), [label, text] {
                if (label)
                    label->setText(text);
            },
            Qt::QueuedConnection);
    };
    m_worker = startOffThread(
        this,
        [like, root, server, who, control, progress] {
            try {
                Database sysDb;
                sysDb.openLike(*like);
                return Migration::moveToServer(sysDb, root, server, who, control, progress);
            } catch (const DbError& e) {
                MigrationOutcome failed;
                failed.notice = {tr("无法打开系统库：") + e.userText(), tr("升级SQL Server数据"), Notice::Icon::Exclamation};
                return failed;
            }
        },
        [this](MigrationOutcome outcome) { finished(std::move(outcome)); });
}

void frmMigrate::finished(MigrationOutcome outcome)
{
    m_worker = nullptr;
    m_outcome = std::move(outcome);
    ShowNotice(m_outcome.notice);
    if (m_outcome.done())
        accept();
    else
        QDialog::reject();
}

void frmMigrate::reject()
{
    if (m_worker)
        m_cancel = true;
    else
        QDialog::reject();
}

void frmMigrate::closeEvent(QCloseEvent* event)
{
    if (m_worker) {
        m_cancel = true;
        event->ignore();
    } else {
        QDialog::closeEvent(event);
    }
}
