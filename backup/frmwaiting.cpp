#include "frmwaiting.h"
#include "frmWait.h"
#include <Session.h>

#include <ShowModal.h>

#include <QProgressBar>

frmwaiting::frmwaiting(const Session& session, const QString& accId, QWidget* parent)
    : TimedProgressDialog(parent, QStringLiteral("frmwaiting"), tr("拷贝进程"), 3000)
    , m_session(session)
    , m_accId(accId)
{
    ProgressBar1->setValue(10);
}

void frmwaiting::Form_Load()
{
    setWindowTitle(tr("拷贝进程..."));
}

void frmwaiting::Timer1_Timer()
{
    if (ProgressBar1->value() < 100) {
        ProgressBar1->setValue(ProgressBar1->value() + 30);
        return;
    }
    Timer1.stop();
    hide();
    frmWait wait(m_session, m_accId, parentWidget());
    wait.Form_Load();
    ShowModal(wait);
    accept();
}
