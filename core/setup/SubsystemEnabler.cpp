#include "SubsystemEnabler.h"

#include <AuditEvents.h>
#include <CiFile.h>
#include <Database.h>

namespace {
// The account database joins the system database's connection for the GL enabling, so one
// transaction covers both (two files, or two schemas of one server database).
const QString kAccAlias = QStringLiteral("sysstart_acc");

struct DetachOnExit {
    Database* db = nullptr;
    ~DetachOnExit()
    {
        if (!db)
            return;
        try {
            db->detach(kAccAlias);
        } catch (const DbError&) {
        }
    }
};
} // namespace

QString SubsystemEnabler::checkPeriod(const QString& startYear, const QString& startMonth, int year, int month)
{
    const QString noPeriod = tr("无法找到对应的会计启用年和月！");
    if (startYear.trimmed().isEmpty())
        return noPeriod;
    const int sy = startYear.trimmed().toInt();
    if (year > sy)
        return noPeriod;
    if (year == sy && month >= startMonth.trimmed().toInt())
        return QString();
    return tr("系统启用会计期间必须大于等于账套启用会计期间！");
}

void SubsystemEnabler::enable(const SubsystemStart& s)
{
    const AuditEntry entry = Audit::subsystemEnabled(s.accId, s.subId, s.date);
    // Refused before anything is written: the row says so all the same (in Chinese).
    auto refuse = [&](const Words& why) {
        AuditLog::record(m_sysDb, m_who, entry.failed(why.stored));
        throw DbError(why);
    };
    if (!s.date.isValid())
        refuse(Words::of("SubsystemEnabler", QT_TR_NOOP("没有选定启用日期。")));
    const bool gl = s.subId.compare(QLatin1String("GL"), Qt::CaseInsensitive) == 0;
    const bool wa = s.subId.compare(QLatin1String("WA"), Qt::CaseInsensitive) == 0;
    const int year = s.date.year();
    const int month = s.date.month();
    const QDate firstDay(year, month, 1);

    DetachOnExit detach;
    if (gl) {
        // A server's books are a schema, which attaching finds or refuses.
        const bool file = m_sysDb.engine() != Engine::PostgreSQL;
        if (s.accDbPath.isEmpty() || (file && !CiFile::isFile(s.accDbPath)))
            refuse(Words::of("SubsystemEnabler", QT_TR_NOOP("找不到账套[%1]的账套库：%2"), s.accId, s.accDbPath));
        try {
            m_sysDb.attach(s.accDbPath, kAccAlias);
        } catch (const DbError& e) {
            refuse({e.reasonText(), e.userText()});
        }
        detach.db = &m_sysDb;
    }

    // A failure of any statement below rolls the transaction back and leaves a failed row.
    AuditLog::run(m_sysDb, m_who, entry, [&] {
        // A module has one row per year: a new date replaces what an earlier enabling left.
        m_sysDb.execute(QStringLiteral("delete from SM_Account_sub where cAcc_Id=? and cSub_Id=? and iYear in (?,9999)"),
                        {s.accId, s.subId, year});
        if (wa) {
            m_sysDb.execute(QStringLiteral("insert into SM_Account_sub (cAcc_Id,iYear,cSub_Id,iModiPeri) values (?,?,?,?)"),
                            {s.accId, year, s.subId, month - 1});
        } else {
            m_sysDb.execute(QStringLiteral("insert into SM_Account_sub (cAcc_Id,iYear,cSub_Id,iModiPeri,dSubSysUsed) values (?,?,?,0,?)"),
                            {s.accId, year, s.subId, firstDay});
        }
        m_sysDb.execute(QStringLiteral("insert into SM_Account_sub (cAcc_Id,iYear,cSub_Id,iModiPeri,dSubSysUsed) values (?,9999,?,0,?)"),
                        {s.accId, s.subId, firstDay});
        if (gl) {
            m_sysDb.execute(QStringLiteral("update %1.AccInformation set cValue=? where cSysID='GL' and cName='dGLStartDate'").arg(kAccAlias),
                            {s.date.toString(QStringLiteral("yyyy-MM-dd"))});
            // The template always holds this row; without it the ledger would be enabled with no start date.
            if (m_sysDb.rowsAffected() == 0)
                throw DbError(Words::of("SubsystemEnabler", QT_TR_NOOP("账套库中没有总账启用日期一项（dGLStartDate），总账未启用。")));
        }
    });
}

void SubsystemEnabler::disable(const QString& accId, const QString& subId)
{
    // The row names the year the module was enabled in, as its enabling's row did (the set's
    // start year when it has none); unreadable, the deletion below fails and says so.
    int year = 0;
    try {
        year = m_sysDb.scalar(QStringLiteral("select coalesce((select min(iYear) from SM_Account_sub where cAcc_Id=? and cSub_Id=? "
                                             "and iYear<>9999), (select min(iYear) from SM_Account where cAcc_Id=?))"),
                              {accId, subId, accId}).toInt();
    } catch (const DbError&) {
    }
    AuditLog::run(m_sysDb, m_who, Audit::subsystemDisabled(accId, year, subId), [&] {
        m_sysDb.execute(QStringLiteral("delete from SM_Account_sub where cAcc_Id=? and cSub_Id =?"), {accId, subId});
    });
}
