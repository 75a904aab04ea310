#pragma once
// "拷贝进程...": marks time before the export's preparation (four ticks of three seconds),
// then closes and opens frmWait.
#include "TimedProgressDialog.h"

struct Session;

class frmwaiting : public TimedProgressDialog {
    Q_OBJECT
public:
    explicit frmwaiting(const Session& session, const QString& accId, QWidget* parent = nullptr);

public slots:
    void Form_Load();
    void Timer1_Timer() override;
private:
    const Session& m_session;
    const QString m_accId;   // the set exported
};
