#include "TimedProgressDialog.h"

#include <Twips.h>

#include <QProgressBar>
#include <QVBoxLayout>

TimedProgressDialog::TimedProgressDialog(QWidget* parent, const QString& objectName, const QString& barName, int intervalMs)
    : QDialog(parent)
{
    setObjectName(objectName);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setAccessibleName(barName);
    auto* top = new QVBoxLayout(this);
    top->addWidget(ProgressBar1);
    setMinimumWidth(Twips::toPxX(5400));

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(intervalMs);
    connect(&Timer1, &QTimer::timeout, this, &TimedProgressDialog::Timer1_Timer);
}

void TimedProgressDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Ticks start when the window can be seen.
    Timer1.start();
}
