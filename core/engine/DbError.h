#pragma once
#include "Engine.h"

#include <Words.h>

#include <QString>
#include <stdexcept>

// The server's SQLSTATE for a schema that is not there, which the program also gives when it finds
// the schema of a system database or of a set's books missing.
inline constexpr const char* kNoSuchSchema = "3F000";

// A statement or connection the engine refused; carries the engine's own text.
class DbError : public std::runtime_error {
public:
    // nativeCode: SQLite's result code, or the server's SQLSTATE (five characters) for PostgreSQL.
    DbError(const QString& text, const QString& nativeCode = QString(), const QString& statement = QString(),
            Engine engine = Engine::SQLite)
        : std::runtime_error(text.toStdString())
        , m_text(text)
        , m_nativeCode(nativeCode)
        , m_statement(statement)
        , m_engine(engine)
    {
    }
    // One of the program's own failures: its Chinese sentence is the text (the error log and the
    // audit log keep it), its sentence in the console's language what userText() shows.
    DbError(const Words& words, const QString& nativeCode = QString(), const QString& statement = QString(),
            Engine engine = Engine::SQLite)
        : DbError(words.stored, nativeCode, statement, engine)
    {
        m_shown = words.shown;
    }
    QString text() const { return m_text; }
    QString nativeCode() const { return m_nativeCode; }
    QString statement() const { return m_statement; }
    Engine engine() const { return m_engine; }
    // SQLITE_BUSY (5) or SQLITE_LOCKED (6): another program holds the file (on a server: another
    // session holds the rows, or the two sessions' work crossed and this one was undone).
    bool isLocked() const { return primaryCode() == 5 || primaryCode() == 6; }
    // The server cannot be reached or dropped the session: nothing of the open transaction stayed.
    bool isConnectionLost() const
    {
        return m_engine == Engine::PostgreSQL
               && (m_nativeCode.startsWith(QLatin1String("08")) || m_nativeCode == QLatin1String("57P01")
                   || m_nativeCode == QLatin1String("57P02") || m_nativeCode == QLatin1String("57P03"));
    }
    // The engine's primary result code (extended codes folded), 0 for the program's own errors. A
    // server's SQLSTATE is folded into the SQLite code of the same kind, so callers test one set.
    int primaryCode() const
    {
        if (m_engine == Engine::SQLite)
            return m_nativeCode.toInt() & 0xFF;
        const QString& s = m_nativeCode;
        if (s == QLatin1String("55P03") || s == QLatin1String("40001") || s == QLatin1String("40P01"))
            return 5;    // lock not available, serialization failure, deadlock
        if (s == QLatin1String("25006"))
            return 8;    // read-only transaction
        if (s == QLatin1String("53100"))
            return 13;   // disk full
        if (s.startsWith(QLatin1String("23")))
            return 19;   // integrity constraint violation
        if (s.isEmpty() || s == QLatin1String("P0001") || s == QLatin1String(kNoSuchSchema))
            return 0;    // the client's own failure (a schema it looked for), or a trigger's RAISE in its writer's words
        return 1;        // any other statement the server refused
    }
    // What a user is shown: a sentence for each kind of failure of the engine (its own English
    // text goes to the error log only, or, when it names what was refused, follows our sentence
    // as a quoted detail), or the program's own text as it stands; in the console's language.
    QString userText() const { return sentence(true); }
    // The same in Chinese, as the audit log keeps a failed action's reason in every language.
    QString reasonText() const { return sentence(false); }

private:
    QString sentence(bool shown) const
    {
        // Each sentence is the source of its translation (context DbError).
        auto say = [shown](const char* source) {
            return shown ? QCoreApplication::translate("DbError", source) : QString::fromUtf8(source);
        };
        const QString own = shown && !m_shown.isEmpty() ? m_shown : m_text;
        if (isConnectionLost())
            return say(QT_TRANSLATE_NOOP("DbError", "无法连接数据库服务器，或与服务器的连接已断开，请检查服务器和网络后再试。"));
        if (m_engine == Engine::PostgreSQL && m_nativeCode.startsWith(QLatin1String("28")))
            return say(QT_TRANSLATE_NOOP("DbError", "数据库服务器拒绝登录，请检查用户名和密码。"));
        switch (primaryCode()) {
        case 0:
            return own;
        case 5:
        case 6:
            return say(QT_TRANSLATE_NOOP("DbError", "数据库已被其他程序锁定，请稍后再试。"));
        case 8:
            if (m_engine == Engine::PostgreSQL)
                return say(QT_TRANSLATE_NOOP("DbError", "数据库服务器只允许读取，无法写入。"));
            return say(QT_TRANSLATE_NOOP("DbError", "数据库文件是只读的，无法写入，请检查文件的权限。"));
        case 13:
            if (m_engine == Engine::PostgreSQL)
                return say(QT_TRANSLATE_NOOP("DbError", "数据库服务器的磁盘已满，数据无法写入，请联系服务器的管理员。"));
            return say(QT_TRANSLATE_NOOP("DbError", "磁盘已满，数据无法写入，请腾出磁盘空间后再试。"));
        case 26:
            return say(QT_TRANSLATE_NOOP("DbError", "该文件不是数据库文件，或已损坏。"));
        case 11:
            return say(QT_TRANSLATE_NOOP("DbError", "数据库文件已损坏。"));
        case 10:
            return say(QT_TRANSLATE_NOOP("DbError", "读写磁盘时出错（输入/输出错误），请检查磁盘。"));
        case 14:
            return say(QT_TRANSLATE_NOOP("DbError", "无法打开数据库文件，请检查文件和目录是否存在、是否有权限。"));
        case 23:
            return say(QT_TRANSLATE_NOOP("DbError", "没有访问数据库文件的权限。"));
        case 19:
            // A trigger's RAISE carries the words of whoever wrote the trigger; the engine's own
            // constraint texts end in "constraint failed".
            if (m_engine == Engine::SQLite && !m_text.contains(QLatin1String("constraint failed"), Qt::CaseInsensitive))
                return own;
            return say(QT_TRANSLATE_NOOP("DbError", "数据与已有的记录冲突（重复或不符合约束），未能保存。"));
        default:
            // A statement the engine refused (a changed layout, say): its text names the table or
            // column, which a person reporting the fault needs, after a sentence of our own.
            return say(QT_TRANSLATE_NOOP("DbError", "数据库操作失败（详情：“%1”）")).arg(m_text);
        }
    }

    QString m_text;
    QString m_shown;   // the program's own text in the console's language; empty: m_text
    QString m_nativeCode;
    QString m_statement;
    Engine m_engine = Engine::SQLite;
};
