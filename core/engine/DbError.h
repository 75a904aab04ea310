#pragma once
#include <QString>
#include <stdexcept>

// A statement or connection the engine refused; carries the engine's own text.
class DbError : public std::runtime_error {
public:
    DbError(const QString& text, const QString& nativeCode = QString(), const QString& statement = QString())
        : std::runtime_error(text.toStdString())
        , m_text(text)
        , m_nativeCode(nativeCode)
        , m_statement(statement)
    {
    }
    QString text() const { return m_text; }
    QString nativeCode() const { return m_nativeCode; }
    QString statement() const { return m_statement; }
    // SQLITE_BUSY (5) or SQLITE_LOCKED (6): another program holds the file.
    bool isLocked() const { return m_nativeCode == QLatin1String("5") || m_nativeCode == QLatin1String("6"); }
    // What a user is shown: the engine's text, or a plain sentence for a locked file.
    QString userText() const
    {
        if (isLocked())
            return QStringLiteral("数据库已被其他程序锁定（database is locked），请稍后再试。");
        return m_text;
    }

private:
    QString m_text;
    QString m_nativeCode;
    QString m_statement;
};
