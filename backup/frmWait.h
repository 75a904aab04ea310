#pragma once
// "压缩进程，请等待...": on its first tick prepares the backup data (transfer tables and the
// compacted copy), then opens frmAccExport for the target folder and closes.
#include "TimedProgressDialog.h"

struct Session;

class frmWait : public TimedProgressDialog {
    Q_OBJECT
public:
    explicit frmWait(const Session& session, const QString& accId, QWidget* parent = nullptr);

public slots:
    void Form_Load();
    void Timer1_Timer() override;
private:
    const Session& m_session;
    const QString m_accId;   // the set exported
};
