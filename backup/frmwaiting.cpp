#include "frmwaiting.h"
#include "frmWait.h"

#include <ShowModal.h>
#include <Twips.h>

#include <QProgressBar>
#include <QVBoxLayout>

frmwaiting::frmwaiting(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmwaiting"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(10);
    ProgressBar1->setAccessibleName(QStringLiteral("拷贝进程"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(ProgressBar1);
    setMinimumWidth(Twips::toPxX(5400));

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(3000);
    connect(&Timer1, &QTimer::timeout, this, &frmwaiting::Timer1_Timer);
}

void frmwaiting::Form_Load()
{
    setWindowTitle(QStringLiteral("拷贝进程..."));
}

void frmwaiting::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Ticks start when the window can be seen; tests call Timer1_Timer themselves.
    Timer1.start();
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
