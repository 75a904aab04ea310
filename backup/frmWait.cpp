#include "frmWait.h"
#include "AccountExporter.h"
#include "frmAccExport.h"

#include <Module1.h>
#include <ShowModal.h>
#include <Twips.h>

#include <QProgressBar>
#include <QVBoxLayout>

using namespace Module1;

frmWait::frmWait(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmWait"));
    setWindowTitle(QStringLiteral("压缩进程，请等待..."));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setAccessibleName(QStringLiteral("压缩进程"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(ProgressBar1);
    setMinimumWidth(Twips::toPxX(5400));

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(2000);
    connect(&Timer1, &QTimer::timeout, this, &frmWait::Timer1_Timer);
}

void frmWait::Form_Load()
{
    ProgressBar1->setValue(20);
}

void frmWait::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Timer1.start();
}

void frmWait::Timer1_Timer()
{
    Timer1.stop();
    bool prepared = false;
    if (gSysDb) {
        try {
            AccountExporter exporter(*gSysDb, gAccId);
            prepared = exporter.prepare([this](int value) {
                ProgressBar1->setValue(value);
                ProgressBar1->repaint();
            });
        } catch (const DbError& e) {
            WriteErrLog(3, e.text(), QStringLiteral("Timer1_Timer"));
        }
    }
    frmAccExport target(this);
    target.PrepError = !prepared;
    target.Form_Load();
    ShowModal(target);
    accept();
}
