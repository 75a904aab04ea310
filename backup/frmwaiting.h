#pragma once
// "拷贝进程...": marks time before the export's preparation (four ticks of three seconds),
// then closes and opens frmWait.
#include "TimedProgressDialog.h"

class frmwaiting : public TimedProgressDialog {
    Q_OBJECT
public:
    explicit frmwaiting(QWidget* parent = nullptr);

public slots:
    void Form_Load();
    void Timer1_Timer() override;
};
