#pragma once
// "压缩进程，请等待...": on its first tick prepares the backup data (transfer tables and the
// compacted copy), then opens frmAccExport for the target folder and closes.
#include "TimedProgressDialog.h"

class frmWait : public TimedProgressDialog {
    Q_OBJECT
public:
    explicit frmWait(QWidget* parent = nullptr);

public slots:
    void Form_Load();
    void Timer1_Timer() override;
};
