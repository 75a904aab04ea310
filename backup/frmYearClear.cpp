#include "frmYearClear.h"

#include <Database.h>
#include <DbError.h>
#include <MsgBox.h>
#include <OffThread.h>
#include <Session.h>

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

frmYearClear::frmYearClear(const Session& session, const QString& accId, int year, const QString& folder, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_accId(accId)
    , m_year(year)
    , m_folder(folder)
{
    setObjectName(QStringLiteral("frmYearClear"));
    setWindowTitle(YearClearer::title());
    lblWhat = new QLabel(tr("正在把账套[%1]%2年度输出到\n%3\n然后清空该年度的数据……").arg(accId).arg(year).arg(folder), this);
    lblWhat->setObjectName(QStringLiteral("lblWhat"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setAccessibleName(tr("清空进度"));
    cmdCancel = new QPushButton(tr("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdCancel, &QPushButton::clicked, this, &frmYearClear::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(lblWhat);
    lay->addWidget(ProgressBar1);
    lay->addLayout(buttons);
    setMinimumWidth(420);

    // The work starts once the window is painted.
    m_start.setSingleShot(true);
    m_start.setInterval(100);
    connect(&m_start, &QTimer::timeout, this, &frmYearClear::start);
}

void frmYearClear::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_worker && m_result.notice.isEmpty())
        m_start.start();
}

void frmYearClear::start()
{
    if (m_worker || !m_session.sysDb)
        return;
    // A connection belongs to the thread that opens it: the worker opens its own to the same system
    // database, and the console's stays as it is while the window is open.
    const Database* like = m_session.sysDb.get();
    const QString accId = m_accId;
    const int year = m_year;
    const QString folder = m_folder;
    const AuditContext who = m_session.auditContext();
    m_cancel = false;
    WorkControl control;
    control.cancel = &m_cancel;
    control.progress = progressTo(ProgressBar1);
    m_worker = startOffThread(
        this,
        [like, accId, year, folder, who, control] {
            try {
                Database sysDb;
                sysDb.openLike(*like);
                return YearClearer(sysDb, accId, year, who).clear(folder, control);
            } catch (const DbError& e) {
                YearClearer::Result failed;
                failed.notice = {tr("无法打开系统库：") + e.userText(), YearClearer::title(), Notice::Icon::Exclamation};
                failed.reason = e.reasonText();
                return failed;
            }
        },
        [this](YearClearer::Result result) { finished(std::move(result)); });
}

void frmYearClear::finished(YearClearer::Result result)
{
    m_worker = nullptr;
    m_result = std::move(result);
    ShowNotice(m_result.notice);
    if (m_result.done())
        accept();
    else
        QDialog::reject();
}

void frmYearClear::reject()
{
    if (m_worker)
        m_cancel = true;
    else
        QDialog::reject();
}

void frmYearClear::closeEvent(QCloseEvent* event)
{
    if (m_worker) {
        m_cancel = true;
        event->ignore();
    } else {
        QDialog::closeEvent(event);
    }
}
