#include "frmMigrate.h"

#include <Database.h>
#include <DbError.h>
#include <OffThread.h>
#include <Session.h>

#include <QLabel>
#include <QLocale>
#include <QPointer>

frmMigrate::frmMigrate(const Session& session, const ConnInfo& server, QWidget* parent)
    : WorkWindow("frmMigrate", tr("升级SQL Server数据"), tr("正在把本安装复制到服务器[%1]……").arg(server.label()), parent)
    , m_session(session)
    , m_server(server)
{
}

QThread* frmMigrate::startWork(const WorkControl& control)
{
    const Database* like = m_session.sysDb.get();
    const QString root = m_session.root;
    const ConnInfo server = m_server;
    const AuditContext who = m_session.auditContext();
    // Which table goes, and how much has gone, shown on the window's thread.
    Migration::Progress progress = [label = QPointer<QLabel>(lblWhat)](const QString& table, qint64 bytes, qint64 total) {
        const QString text = tr("正在复制 %1（%2 / %3）").arg(table, QLocale().formattedDataSize(bytes), QLocale().formattedDataSize(total));
        QMetaObject::invokeMethod(
            label.data(), [label, text] {
                if (label)
                    label->setText(text);
            },
            Qt::QueuedConnection);
    };
    return startOffThread(
        this,
        [like, root, server, who, control, progress] {
            try {
                Database sysDb;
                if (!like)
                    throw DbError(Words::of("frmMigrate", QT_TRANSLATE_NOOP("frmMigrate", "系统库未打开")));
                sysDb.openLike(*like);
                return Migration::moveToServer(sysDb, root, server, who, control, progress);
            } catch (const DbError& e) {
                MigrationOutcome failed;
                failed.notice = {tr("无法打开系统库：") + e.userText(), tr("升级SQL Server数据"), Notice::Icon::Exclamation};
                return failed;
            }
        },
        [this](MigrationOutcome outcome) {
            m_outcome = std::move(outcome);
            ended(m_outcome.notice, m_outcome.done());
        });
}
