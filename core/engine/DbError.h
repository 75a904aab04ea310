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
    bool isLocked() const { return primaryCode() == 5 || primaryCode() == 6; }
    // The engine's primary result code (extended codes folded), 0 for the program's own errors.
    int primaryCode() const { return m_nativeCode.toInt() & 0xFF; }
    // What a user is shown: a Chinese sentence for each kind of failure of the engine (its own
    // English text goes to the error log only, or follows a sentence of ours when it names what
    // was refused), or the program's own text as it stands.
    QString userText() const
    {
        switch (primaryCode()) {
        case 0:
            return m_text;
        case 5:
        case 6:
            return QStringLiteral("数据库已被其他程序锁定（database is locked），请稍后再试。");
        case 8:
            return QStringLiteral("数据库文件是只读的，无法写入，请检查文件的权限。");
        case 13:
            return QStringLiteral("磁盘已满，数据无法写入，请腾出磁盘空间后再试。");
        case 26:
            return QStringLiteral("该文件不是数据库文件，或已损坏。");
        case 11:
            return QStringLiteral("数据库文件已损坏。");
        case 10:
            return QStringLiteral("读写磁盘时出错（输入/输出错误），请检查磁盘。");
        case 14:
            return QStringLiteral("无法打开数据库文件，请检查文件和目录是否存在、是否有权限。");
        case 23:
            return QStringLiteral("没有访问数据库文件的权限。");
        case 19:
            // A trigger's RAISE carries the words of whoever wrote the trigger; the engine's own
            // constraint texts end in "constraint failed".
            if (!m_text.contains(QLatin1String("constraint failed"), Qt::CaseInsensitive))
                return m_text;
            return QStringLiteral("数据与已有的记录冲突（重复或不符合约束），未能保存。");
        default:
            // A statement the engine refused (a changed layout, say): its text names the table or
            // column, which a person reporting the fault needs, after a sentence of our own.
            return QStringLiteral("数据库操作失败：%1").arg(m_text);
        }
    }

private:
    QString m_text;
    QString m_nativeCode;
    QString m_statement;
};
