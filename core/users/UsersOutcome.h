#pragma once
// What the work on operators and roles tells the administrator: the outcome each action returns
// and the titles its messages carry.
#include <Outcome.h>

#include <QCoreApplication>
#include <QString>

class DbError;

namespace UsersNotice {
// The titles in Chinese: the windows translate them where they show them (title()).
inline const QString kTitleSys = QStringLiteral(QT_TRANSLATE_NOOP("UsersNotice", " 〖系统管理〗")); // not translated: a key, shown through title()
inline const QString kTitleDup = QStringLiteral(QT_TRANSLATE_NOOP("UsersNotice", "reredezozav【系统管理】")); // not translated: a key, shown through title()
inline const QString kTitleBracket = QStringLiteral(QT_TRANSLATE_NOOP("UsersNotice", "【系统管理】")); // not translated: a key, shown through title()

// One of those titles in the console's language.
inline QString title(const QString& key)
{
    return QCoreApplication::translate("UsersNotice", key.toUtf8().constData());
}
inline Notice critical(const QString& text, const QString& key = kTitleSys)
{
    return {text, title(key), Notice::Icon::Critical};
}
inline Notice exclamation(const QString& text, const QString& key = kTitleSys)
{
    return {text, title(key), Notice::Icon::Exclamation};
}
// Whether the engine refused a row because its key is already there (either engine's words).
bool isDuplicateKey(const DbError& e);
}

// One change of an operator or a role.
struct UsersOutcome {
    bool done = false;   // the change is written, with its log row
    Notice notice;       // what to show; empty: nothing to say
};

// Adding operators or roles one after another in the same dialog: what the dialog does next.
struct AddOutcome {
    enum class Next {
        Keep,    // refused or failed: what was typed stays for a correction
        Write,   // what was typed passes the checks: write it
        Skip,    // already in the dialog's list: told, nothing written, the fields emptied
        Clear,   // written: the fields emptied for the next one
    };
    Next next = Next::Keep;
    Notice notice;
    QString stored;   // an operator's password in its stored form, for the row and the mirror
};
