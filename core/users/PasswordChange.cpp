#include "PasswordChange.h"

#include <AuditEvents.h>
#include <Database.h>
#include <ErrLog.h>
#include <PasswordHash.h>

namespace {
Notice information(const QString& text)
{
    return {text, PasswordChange::title(), Notice::Icon::Information};
}
QString wrongOld()
{
    return PasswordChange::tr("输入的旧口令错误或此用户不存在！");
}
} // namespace

PasswordChange::PasswordChange(Database* sysDb, const AuditContext& who, SlowStep slow)
    : m_db(sysDb)
    , m_who(who)
    , m_slow(slow ? std::move(slow) : SlowStep([](const std::function<void()>& step) { step(); }))
{
}

UsersOutcome PasswordChange::change(const QString& userId, const QString& stored, const QString& oldPassword,
                                    const QString& newPassword, const QString& confirmation)
{
    if (newPassword != confirmation)
        return {false, information(tr("输入口令不一致，再试一次！"))};
    bool matches = false;
    m_slow([&] { matches = PasswordHash::verify(oldPassword, stored); });
    if (!matches) {
        if (m_db)
            AuditLog::record(*m_db, m_who, Audit::passwordChanged(userId).refused(QStringLiteral("旧口令错误"))); // not translated: the log keeps Chinese
        return {false, information(wrongOld())};
    }
    if (!m_db)
        return {false, {tr("系统库不存在"), title(), Notice::Icon::Exclamation}};
    try {
        QString fresh;
        m_slow([&] { fresh = PasswordHash::hash(newPassword); });
        Database::Transaction t(*m_db);
        m_db->execute(QStringLiteral("update SM_User set cPassword=? where  cUser_Id=?"), {fresh, userId});
        // No operator was chosen, or it has been removed meanwhile.
        if (m_db->rowsAffected() == 0)
            return {false, information(wrongOld())};
        AuditLog::write(*m_db, m_who, Audit::passwordChanged(userId));
        t.commit();
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("cmdOK_Click"));
        return {false, {tr("口令未能保存：%1").arg(e.userText()), title(), Notice::Icon::Exclamation}};
    }
    return {true, {}};
}
