#pragma once
// "压缩进程，请等待...": on its first tick prepares the backup data (transfer tables and the
// compacted copy), then opens frmAccExport for the target folder and closes. The set's first year
// goes out from the 账套 menu; the 年度账 menu names the year logged into.
#include "TimedProgressDialog.h"

struct Session;

class frmWait : public TimedProgressDialog {
    Q_OBJECT
public:
    frmWait(const Session& session, const QString& accId, QWidget* parent = nullptr, int year = 0);

public slots:
    void Form_Load();
    void Timer1_Timer() override;
private:
    const Session& m_session;
    const QString m_accId;   // the set exported
    const int m_year;        // its year; 0: its first
};
