#include "frmYearClear.h"

#include <Database.h>
#include <DbError.h>
#include <OffThread.h>
#include <Session.h>

frmYearClear::frmYearClear(const Session& session, const QString& accId, int year, const QString& folder, QWidget* parent)
    : WorkWindow("frmYearClear", YearClearer::title(),
                 tr("正在把账套[%1]%2年度输出到\n%3\n然后清空该年度的数据……").arg(accId).arg(year).arg(folder), parent)
    , m_session(session)
    , m_accId(accId)
    , m_year(year)
    , m_folder(folder)
{
}

QThread* frmYearClear::startWork(const WorkControl& control)
{
    // A connection belongs to the thread that opens it: the worker opens its own to the same system
    // database, and the console's stays as it is while the window is open.
    const Database* like = m_session.sysDb.get();
    const QString accId = m_accId;
    const int year = m_year;
    const QString folder = m_folder;
    const AuditContext who = m_session.auditContext();
    return startOffThread(
        this,
        [like, accId, year, folder, who, control] {
            try {
                Database sysDb;
                if (!like)
                    throw DbError(Words::of("frmYearClear", QT_TRANSLATE_NOOP("frmYearClear", "系统库未打开")));
                sysDb.openLike(*like);
                return YearClearer(sysDb, accId, year, who).clear(folder, control);
            } catch (const DbError& e) {
                YearClearer::Result failed;
                failed.notice = {tr("无法打开系统库：") + e.userText(), YearClearer::title(), Notice::Icon::Exclamation};
                failed.reason = e.reasonText();
                return failed;
            }
        },
        [this](YearClearer::Result result) {
            m_result = std::move(result);
            ended(m_result.notice, m_result.done());
        });
}
