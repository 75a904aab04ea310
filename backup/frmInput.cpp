#include "frmInput.h"

#include <Module1.h>
#include <MsgBox.h>
#include <Twips.h>

#include <Database.h>
#include <DbError.h>

#include <QCloseEvent>
#include <QLabel>
#include <QThread>
#include <QVBoxLayout>

using namespace Module1;

frmInput::frmInput(ImportPlan plan, QWidget* parent)
    : QDialog(parent)
    , m_plan(std::move(plan))
{
    setObjectName(QStringLiteral("frmInput"));
    setWindowTitle(QStringLiteral("帐套引入"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    // Unwrapped: a folder path has no place to break, so the window widens to show it whole.
    Label1->setMinimumHeight(Twips::toPxY(600));
    auto* top = new QVBoxLayout(this);
    top->addWidget(Label1);
    setMinimumWidth(Twips::toPxX(6000));

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &frmInput::Timer1_Timer);
}

void frmInput::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Timer1.start();
}

void frmInput::Timer1_Timer()
{
    Timer1.stop();
    if (m_worker)
        return;
    if (!gSysDb) {
        MsgBox(QStringLiteral("系统库未打开，无法引入帐套！"), vb::vbExclamation | vb::vbOKOnly, AccountImporter::title());
        reject();
        return;
    }
    // A connection belongs to the thread that opens it, so the worker opens its own to the same
    // system database (file or server); the kept handle stays as it is while the dialog is open.
    const Database* like = gSysDb.get();
    const ImportPlan plan = m_plan;
    const AuditContext who = auditContext();
    m_worker = QThread::create([this, like, plan, who] {
        try {
            Database sysDb;
            sysDb.openLike(*like);
            m_result = AccountImporter::restore(sysDb, plan, {}, who);
        } catch (const DbError& e) {
            m_result = {AccountImporter::Result::Status::Failed,
                        {QStringLiteral("无法打开系统库：") + e.userText(), AccountImporter::title(), Notice::Icon::Exclamation}};
        }
    });
    connect(m_worker, &QThread::finished, this, &frmInput::finished);
    m_worker->start();
}

void frmInput::finished()
{
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    Succeeded = m_result.done();
    ShowNotice(m_result.notice);
    if (Succeeded)
        accept();
    else
        QDialog::reject();
}

void frmInput::reject()
{
    if (!m_worker)
        QDialog::reject();
}

void frmInput::closeEvent(QCloseEvent* event)
{
    if (m_worker)
        event->ignore();
    else
        QDialog::closeEvent(event);
}
