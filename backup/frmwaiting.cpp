#include "frmwaiting.h"
#include "frmWait.h"

#include <ShowModal.h>

#include <QProgressBar>

frmwaiting::frmwaiting(QWidget* parent)
    : TimedProgressDialog(parent, QStringLiteral("frmwaiting"), tr("拷贝进程"), 3000)
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
    frmWait wait(parentWidget());
    wait.Form_Load();
    ShowModal(wait);
    accept();
}
