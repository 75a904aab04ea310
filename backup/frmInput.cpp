#include "frmInput.h"

#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <Twips.h>

#include <Database.h>
#include <DbError.h>
#include <OffThread.h>

#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

using namespace Module1;

frmInput::frmInput(const Session& session, ImportPlan plan, QWidget* parent)
    : QDialog(parent)
    , m_plan(std::move(plan))
    , m_session(session)
{
    setObjectName(QStringLiteral("frmInput"));
    setWindowTitle(tr("帐套引入"));
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
    if (!m_session.sysDb) {
        MsgBox(tr("系统库未打开，无法引入帐套！"), vb::vbExclamation | vb::vbOKOnly, AccountImporter::title());
        reject();
        return;
    }
    // A connection belongs to the thread that opens it, so the worker opens its own to the same
    // system database (file or server); the kept handle stays as it is while the dialog is open.
    const Database* like = m_session.sysDb.get();
    const ImportPlan plan = m_plan;
    const AuditContext who = m_session.auditContext();
    m_caption = Label1->text();
    m_cancel = false;
    WorkControl control;
    control.cancel = &m_cancel;
    control.progress = [self = QPointer<frmInput>(this)](int percent) {
        QMetaObject::invokeMethod(
            self.data(), [self, percent] {
                if (self)
                    self->showProgress(percent);
            },
            Qt::QueuedConnection);
    };
    m_worker = startOffThread(
        this,
        [like, plan, who, control] {
            try {
                Database sysDb;
                sysDb.openLike(*like);
                return AccountImporter::restore(sysDb, plan, control, who);
            } catch (const DbError& e) {
                return AccountImporter::Result{AccountImporter::Result::Status::Failed,
                                               {tr("无法打开系统库：") + e.userText(), AccountImporter::title(),
                                                Notice::Icon::Exclamation}};
            }
        },
        [this](AccountImporter::Result result) { finished(std::move(result)); });
}

void frmInput::showProgress(int percent)
{
    // The command's sentence stays; how far the restore is goes on a line of its own below it.
    Label1->setText(m_caption + QLatin1Char('\n') + QString::number(percent) + QLatin1Char('%'));
}

void frmInput::finished(AccountImporter::Result result)
{
    m_worker = nullptr;
    m_result = std::move(result);
    Label1->setText(m_caption);
    Succeeded = m_result.done();
    // A stopped import has nothing to say: it changed nothing.
    ShowNotice(m_result.notice);
    if (Succeeded)
        accept();
    else
        QDialog::reject();
}

void frmInput::reject()
{
    // Escape while the restore runs stops it: the window closes once the restore has undone its
    // steps (or, past the merge's commit, finished them).
    if (m_worker)
        m_cancel = true;
    else
        QDialog::reject();
}

void frmInput::closeEvent(QCloseEvent* event)
{
    if (m_worker) {
        m_cancel = true;
        event->ignore();
    } else {
        QDialog::closeEvent(event);
    }
}
