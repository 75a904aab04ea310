#pragma once
// One try at 登录: the operator's password against the form kept in the system database,
// refused while the operator is held back after wrong passwords, and refused for a cancelled
// operator. Wrong passwords are counted per operator in the system database (SM_LoginFail), so
// restarting the console does not reset the count and every workstation sees the same.
#include <Outcome.h>

#include <QDateTime>
#include <QString>

#include <functional>

class Database;

struct LoginOutcome {
    bool ok = false;
    Notice notice;   // why the login was refused, in the console's language; empty when ok
    QString reason;  // the same in Chinese, as the audit log keeps it
};

class LoginCheck {
public:
    // Wrong passwords allowed before the operator must wait, and the first wait; each further
    // wrong password doubles it.
    static constexpr int kFreeFailures = 5;
    static constexpr qint64 kFirstWaitSeconds = 30;

    // How a typed password is checked against the stored form; the console runs it off its
    // window's thread, so that the window keeps painting.
    using Verifier = std::function<bool(const QString& typed, const QString& stored)>;

    explicit LoginCheck(Database& sysDb, Verifier verifier = {});

    // One try of `userId` typing `typed`; `stored` is the password column as read when the
    // operator was chosen, `state` the operator's nState (Null or 0: active).
    LoginOutcome attempt(const QString& userId, const QString& typed, const QString& stored, const QVariant& state,
                         const QDateTime& now = LoginCheck::now());
    // Seconds `userId` must still wait at `now`; 0 when a try is allowed.
    qint64 waitSeconds(const QString& userId, const QDateTime& now = LoginCheck::now());

    // The clock the console's tries use; tests set it.
    static QDateTime now();
    static void setClock(std::function<QDateTime()> clock);

    // "30秒", "2分钟", "1小时4分钟": how long, as a message says it (in the console's language).
    static QString durationText(qint64 seconds);
    // Creates the table of wrong passwords when the installation predates it (the statement alone
    // for an installation's upkeep, which sends it with the others in one message).
    static void ensureTable(Database& sysDb);
    static QString tableStatement();

private:
    // An operator's row of wrong passwords, as one read gives it.
    struct Failures {
        bool counted = false;   // there is a row
        int count = 0;
        QVariant lockedUntil;   // milliseconds since 1970, or Null
        qint64 waitAt(const QDateTime& now) const;
    };
    Failures failures(const QString& userId);

    Database& m_db;
    Verifier m_verify;
};
