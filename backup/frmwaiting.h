#pragma once
// "拷贝进程...": marks time before the export's preparation (four ticks of three seconds),
// then closes and opens frmWait.
#include <QDialog>
#include <QTimer>

class QProgressBar;

class frmwaiting : public QDialog {
    Q_OBJECT
public:
    explicit frmwaiting(QWidget* parent = nullptr);

    QProgressBar* ProgressBar1 = nullptr;
    QTimer Timer1;

public slots:
    void Form_Load();
    void Timer1_Timer();

protected:
    void showEvent(QShowEvent* event) override;
};
