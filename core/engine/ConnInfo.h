#pragma once
// A connection string to a server installation, read once, by the server's own client library,
// from what the person typed or picked (keyword=value pairs, a postgresql:// address, or
// service=NAME). Everything later asks this value: what to show, what to connect with, what the
// workstation may remember.
#include <QList>
#include <QString>

#include <utility>

class ConnInfo {
public:
    ConnInfo() = default;
    explicit ConnInfo(const QString& text);

    // Nothing given (the installation root's files).
    bool isEmpty() const { return m_text.isEmpty(); }
    // Given but not readable as a connection string; error() says why, in the library's words.
    bool isValid() const { return !isEmpty() && m_error.isEmpty(); }
    QString error() const { return m_error; }
    // As given, trimmed.
    QString text() const { return m_text; }

    // The value a keyword is given (empty when not given).
    QString value(const QString& keyword) const;
    bool hasPassword() const { return !value(QStringLiteral("password")).isEmpty(); }

    // What a person is shown: host:port/database (or service=NAME), never a password.
    QString label() const;
    // The keywords without the password, for the list of servers this workstation used (the
    // password belongs in ~/.pgpass). Host, port, database and user come first.
    QString withoutPassword() const;
    // The same server, given up after `seconds` when it does not answer (unless the string says
    // how long itself), so a window waiting for it does not hang.
    ConnInfo givingUpAfter(int seconds) const;
    // The string to connect with: as given, or with the time to give up added. Text that cannot be
    // read is passed as given, so the connection says what is wrong with it.
    QString connectString() const;

private:
    QString joined(bool withPassword) const;

    QString m_text;
    QString m_error;
    int m_timeout = 0;   // seconds added by givingUpAfter, never remembered
    QList<std::pair<QString, QString>> m_values;   // the keywords given, in the order joined() writes them
};
