#include "LoginCheck.h"
#include "PasswordHash.h"

#include <Database.h>
#include <ErrLog.h>

#include <QCoreApplication>
#include <QVariant>

namespace {
QString title()
{
    return QCoreApplication::translate("LoginCheck", "注册〖控制台〗");
}
// Beyond this the doubling stops growing (30 s × 2^20 is about a year).
constexpr int kMaxDoublings = 20;

std::function<QDateTime()>& clockSlot()
{
    static std::function<QDateTime()> c;
    return c;
}

LoginOutcome refusal(const Words& why)
{
    return {false, {why.shown, title(), Notice::Icon::Exclamation}, why.stored};
}

Words duration(qint64 seconds)
{
    const auto said = [](const char* source, auto... args) { return Words::of("LoginCheck", source, QString::number(args)...); };
    if (seconds < 60)
        return said(QT_TRANSLATE_NOOP("LoginCheck", "%1秒"), seconds);
    const qint64 minutes = (seconds + 59) / 60;
    if (minutes < 60)
        return said(QT_TRANSLATE_NOOP("LoginCheck", "%1分钟"), minutes);
    const qint64 hours = minutes / 60;
    return minutes % 60 ? said(QT_TRANSLATE_NOOP("LoginCheck", "%1小时%2分钟"), hours, minutes % 60)
                        : said(QT_TRANSLATE_NOOP("LoginCheck", "%1小时"), hours);
}

LoginOutcome tooManyTries(const QString& userId, qint64 seconds)
{
    return refusal(Words::of("LoginCheck", QT_TRANSLATE_NOOP("LoginCheck", "操作员[%1]口令错误次数过多，请%2后再试。"), userId, duration(seconds)));
}
} // namespace

LoginCheck::LoginCheck(Database& sysDb, Verifier verifier)
    : m_db(sysDb)
    , m_verify(verifier ? std::move(verifier) : Verifier(&PasswordHash::verify))
{
}

QDateTime LoginCheck::now()
{
    return clockSlot() ? clockSlot()() : QDateTime::currentDateTimeUtc();
}

void LoginCheck::setClock(std::function<QDateTime()> clock)
{
    clockSlot() = std::move(clock);
}

QString LoginCheck::durationText(qint64 seconds)
{
    return duration(seconds).shown;
}

QString LoginCheck::tableStatement()
{
    // The time is in milliseconds since 1970: a server's INTEGER (four bytes) cannot hold it.
    return QStringLiteral("CREATE TABLE IF NOT EXISTS SM_LoginFail (cUser_Id TEXT COLLATE NOCASE PRIMARY KEY, "
                          "iFailures INTEGER NOT NULL, iLockedUntil BIGINT)");
}

void LoginCheck::ensureTable(Database& sysDb)
{
    sysDb.execute(tableStatement());
}

LoginCheck::Failures LoginCheck::failures(const QString& userId)
{
    Failures f;
    Recordset rs = m_db.query(QStringLiteral("SELECT iFailures, iLockedUntil FROM SM_LoginFail WHERE cUser_Id=?"), {userId});
    if (!rs.Eof()) {
        f.counted = true;
        f.count = rs.Fields(0).toInt();
        f.lockedUntil = rs.Fields(1);
    }
    return f;
}

qint64 LoginCheck::Failures::waitAt(const QDateTime& now) const
{
    if (lockedUntil.isNull())
        return 0;
    const qint64 ms = lockedUntil.toLongLong() - now.toMSecsSinceEpoch();
    return ms > 0 ? (ms + 999) / 1000 : 0;
}

qint64 LoginCheck::waitSeconds(const QString& userId, const QDateTime& now)
{
    try {
        return failures(userId).waitAt(now);
    } catch (const DbError& e) {
        // An installation that cannot hold the count (a read-only file) is not locked by it.
        WriteErrLog(3, e.text(), QStringLiteral("LoginCheck"));
        return 0;
    }
}

LoginOutcome LoginCheck::attempt(const QString& userId, const QString& typed, const QString& stored, const QVariant& state,
                                 const QDateTime& now)
{
    // The operator's wait and count in one read; a right password deletes the count only when
    // there is one.
    Failures before;
    try {
        before = failures(userId);
    } catch (const DbError& e) {
        // An installation that cannot hold the count (a read-only file) is not locked by it.
        WriteErrLog(3, e.text(), QStringLiteral("LoginCheck"));
    }
    if (const qint64 wait = before.waitAt(now))
        return tooManyTries(userId, wait);
    const bool right = m_verify(typed, stored);
    try {
        if (right && before.counted) {
            m_db.execute(QStringLiteral("DELETE FROM SM_LoginFail WHERE cUser_Id=?"), {userId});
        } else if (!right) {
            const int failures = before.count + 1;
            QVariant until;
            qint64 wait = 0;
            if (failures >= kFreeFailures) {
                wait = kFirstWaitSeconds << qMin(failures - kFreeFailures, kMaxDoublings);
                until = now.toMSecsSinceEpoch() + wait * 1000;
            }
            m_db.execute(QStringLiteral("INSERT OR REPLACE INTO SM_LoginFail (cUser_Id,iFailures,iLockedUntil) VALUES (?,?,?)"),
                         {userId, failures, until});
            if (wait > 0)
                return tooManyTries(userId, wait);
        }
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("LoginCheck"));
    }
    if (!right)
        return refusal(Words::of("LoginCheck", QT_TRANSLATE_NOOP("LoginCheck", "口令无效，请重新输入。")));
    // Told only to whoever knows the password.
    if (!state.isNull() && state.toInt() != 0)
        return refusal(Words::of("LoginCheck", QT_TRANSLATE_NOOP("LoginCheck", "操作员[%1]已注销，不能登录。请系统管理员在操作员管理中启用后再登录。"), userId));
    return {true, {}};
}
