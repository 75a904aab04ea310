#include "WorkWindow.h"

#include <MsgBox.h>
#include <OffThread.h>

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

WorkWindow::WorkWindow(const char* objectName, const QString& title, const QString& what, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(title);
    lblWhat = new QLabel(what, this);
    lblWhat->setObjectName(QStringLiteral("lblWhat"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setAccessibleName(tr("进度"));
    cmdCancel = new QPushButton(tr("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdCancel, &QPushButton::clicked, this, &WorkWindow::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(lblWhat);
    lay->addWidget(ProgressBar1);
    lay->addLayout(buttons);
    setMinimumWidth(460);

    m_start.setSingleShot(true);
    m_start.setInterval(100);
    connect(&m_start, &QTimer::timeout, this, &WorkWindow::start);
}

void WorkWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_started)
        m_start.start();
}

void WorkWindow::start()
{
    if (m_started)
        return;
    m_started = true;
    m_cancel = false;
    WorkControl control;
    control.cancel = &m_cancel;
    control.progress = progressTo(ProgressBar1);
    m_worker = startWork(control);
}

void WorkWindow::ended(const Notice& notice, bool succeeded)
{
    m_worker = nullptr;
    ShowNotice(notice);
    if (succeeded)
        accept();
    else
        QDialog::reject();
}

void WorkWindow::reject()
{
    if (m_worker)
        m_cancel = true;
    else
        QDialog::reject();
}

void WorkWindow::closeEvent(QCloseEvent* event)
{
    if (m_worker) {
        m_cancel = true;
        event->ignore();
    } else {
        QDialog::closeEvent(event);
    }
}
