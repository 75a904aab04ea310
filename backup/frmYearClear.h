#pragma once
// "清空年度数据": the clearing's progress window. Once painted it writes the year's backup set into
// the chosen folder and then empties the year (YearClearer) on a thread of its own with its own
// connection to the system database; 取消 (or Escape) stops it until the emptying's commit.
#include <WorkWindow.h>
#include <YearClearer.h>

struct Session;

class frmYearClear : public WorkWindow {
    Q_OBJECT
public:
    frmYearClear(const Session& session, const QString& accId, int year, const QString& folder, QWidget* parent = nullptr);

    const YearClearer::Result& result() const { return m_result; }

protected:
    QThread* startWork(const WorkControl& control) override;

private:
    const Session& m_session;
    const QString m_accId;
    const int m_year;
    const QString m_folder;
    YearClearer::Result m_result;
};
