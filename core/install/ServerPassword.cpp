#include "ServerPassword.h"

#include <AuditEvents.h>
#include <ConnInfo.h>
#include <Database.h>
#include <ErrLog.h>
#include <Words.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <libpq-fe.h>
#include <memory>

namespace {
const char* const kCtx = "ServerPassword";

using Conn = std::unique_ptr<PGconn, void (*)(PGconn*)>;

// What the workstation's password file is matched with: libpq's own values of the session.
struct Target {
    QString host, port, db, user;
};

// A session of its own with `password` in place of the one ~/.pgpass would give: it proves the
// current password (the server asks for it) and computes the new one's verifier.
Conn connectWith(const QString& conninfo, const QString& password)
{
    const QByteArray info = conninfo.toUtf8();
    const QByteArray pw = password.toUtf8();
    const char* keys[] = {"dbname", "password", nullptr};
    const char* values[] = {info.constData(), pw.constData(), nullptr};
    return Conn(PQconnectdbParams(keys, values, 1), PQfinish);
}

QString pgpassPath(const QString& given)
{
    if (!given.isEmpty())
        return given;
    const QString env = qEnvironmentVariable("PGPASSFILE");
    return env.isEmpty() ? QDir::home().filePath(QStringLiteral(".pgpass")) : env;
}

// The fields of a password file's line, unescaped (\: and \\), and where its password begins.
QStringList fieldsOf(const QString& line, int* passwordAt)
{
    QStringList out{QString()};
    for (int i = 0; i < line.size(); ++i) {
        if (out.size() == 5) {
            *passwordAt = i;
            break;
        }
        if (line[i] == QLatin1Char('\\') && i + 1 < line.size()) {
            out.last() += line[++i];
        } else if (line[i] == QLatin1Char(':')) {
            out << QString();
            if (out.size() == 5)
                *passwordAt = i + 1;
        } else {
            out.last() += line[i];
        }
    }
    return out;
}

bool matches(const QString& line, const Target& t, int* passwordAt)
{
    if (line.startsWith(QLatin1Char('#')))
        return false;
    *passwordAt = -1;
    const QStringList f = fieldsOf(line, passwordAt);
    if (f.size() < 5 || *passwordAt < 0)
        return false;
    const QString want[] = {t.host, t.port, t.db, t.user};
    for (int i = 0; i < 4; ++i)
        if (f[i] != QLatin1String("*") && f[i] != want[i])
            return false;
    return true;
}

// The first line libpq would take for `t` gets `password`; false when there is none.
bool updatePgpass(const QString& path, const Target& t, const QString& password)
{
    QFile in(path);
    if (!in.exists() || !in.open(QIODevice::ReadOnly))
        return false;
    QStringList lines = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
    in.close();
    int at = -1;
    const auto it = std::find_if(lines.begin(), lines.end(), [&](const QString& l) { return matches(l, t, &at); });
    if (it == lines.end())
        return false;
    *it = it->left(at) + QString(password).replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char(':'), QLatin1String("\\:"));
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw DbError(Words::of(kCtx, QT_TRANSLATE_NOOP("ServerPassword", "无法写入密码文件：%1"), path));
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    out.write(lines.join(QLatin1Char('\n')).toUtf8());
    if (!out.commit())
        throw DbError(Words::of(kCtx, QT_TRANSLATE_NOOP("ServerPassword", "无法写入密码文件：%1"), path));
    return true;
}

ServerPasswordOutcome said(ServerPasswordOutcome::Status status, const Words& words, Notice::Icon icon)
{
    ServerPasswordOutcome out;
    out.status = status;
    out.notice = {words.shown, QString(), icon};
    return out;
}

// ALTER ROLE takes no bound values: the role is quoted by the client library, and the verifier,
// which the library made, is checked to be nothing but SCRAM's own characters before it is quoted.
QString alterStatement(PGconn* pg, const QString& role, const char* verifier)
{
    static const QRegularExpression scram(QStringLiteral("^SCRAM-SHA-256\\$[0-9]+:[A-Za-z0-9+/=]+\\$[A-Za-z0-9+/=]+:[A-Za-z0-9+/=]+$"));
    const QString v = QString::fromLatin1(verifier);
    if (!scram.match(v).hasMatch())
        throw DbError(Words::of(kCtx, QT_TRANSLATE_NOOP("ServerPassword", "客户端库没有给出 SCRAM 形式的密码")));
    const QByteArray r = role.toUtf8();
    char* ident = PQescapeIdentifier(pg, r.constData(), size_t(r.size()));
    const QString statement = QStringLiteral("ALTER ROLE %1 PASSWORD '%2'").arg(QString::fromUtf8(ident), v);
    PQfreemem(ident);
    return statement;
}
} // namespace

namespace ServerPassword {
ServerPasswordOutcome change(Database& sysDb, const QString& current, const QString& fresh, const AuditContext& who, const QString& pgpass)
{
    using S = ServerPasswordOutcome::Status;
    const auto refused = [](const char* text) { return said(S::Refused, Words::of(kCtx, text), Notice::Icon::Exclamation); };
    if (sysDb.engine() != Engine::PostgreSQL)
        return refused(QT_TRANSLATE_NOOP("ServerPassword", "这不是服务器上的安装，没有服务器密码可改。"));
    if (fresh.isEmpty())
        return refused(QT_TRANSLATE_NOOP("ServerPassword", "新密码不能为空。"));
    if (fresh == current)
        return refused(QT_TRANSLATE_NOOP("ServerPassword", "新密码与当前密码相同。"));
    const ConnInfo info(sysDb.conninfo());
    Conn pg = connectWith(sysDb.conninfo(), current);
    if (PQstatus(pg.get()) != CONNECTION_OK) {
        const QString why = QString::fromUtf8(PQerrorMessage(pg.get())).trimmed();
        if (why.contains(QLatin1String("password authentication failed")) || why.contains(QLatin1String("password")))
            return refused(QT_TRANSLATE_NOOP("ServerPassword", "当前密码不对，服务器密码没有修改。"));
        return said(S::Failed, Words::of(kCtx, QT_TRANSLATE_NOOP("ServerPassword", "无法连接服务器，密码没有修改：%1"), why), Notice::Icon::Critical);
    }
    const Target t{QString::fromUtf8(PQhost(pg.get())), QString::fromUtf8(PQport(pg.get())), QString::fromUtf8(PQdb(pg.get())),
                   QString::fromUtf8(PQuser(pg.get()))};
    AuditEntry entry = Audit::serverPasswordChanged(t.user, info.label());
    ServerPasswordOutcome out;
    try {
        const QByteArray pw = fresh.toUtf8();
        const QByteArray user = t.user.toUtf8();
        char* verifier = PQencryptPasswordConn(pg.get(), pw.constData(), user.constData(), "scram-sha-256");
        if (!verifier)
            throw DbError(QString::fromUtf8(PQerrorMessage(pg.get())).trimmed());
        const QString statement = alterStatement(pg.get(), t.user, verifier);
        PQfreemem(verifier);
        AuditLog::run(sysDb, who, entry, [&] { sysDb.execute(statement); });
    } catch (const DbError& e) {
        WriteErrLog(1, e.text(), QStringLiteral("ServerPassword::change"));
        return said(S::Failed, Words::of(kCtx, QT_TRANSLATE_NOOP("ServerPassword", "服务器密码没有修改：%1"), e.userText()), Notice::Icon::Critical);
    }
    // libpq matches a connection over the default local socket with "localhost" in the password
    // file, one over another socket folder with that folder.
    Target file = t;
    if (file.host.isEmpty() || file.host == QLatin1String("/var/run/postgresql") || file.host == QLatin1String("/run/postgresql"))
        file.host = QStringLiteral("localhost");
    try {
        out.pgpassUpdated = updatePgpass(pgpassPath(pgpass), file, fresh);
    } catch (const DbError& e) {
        WriteErrLog(1, e.text(), QStringLiteral("ServerPassword::change"));
        return said(S::Failed, Words::of(kCtx, QT_TRANSLATE_NOOP("ServerPassword", "服务器密码已修改，但密码文件没有更新：%1"), e.userText()),
                    Notice::Icon::Exclamation);
    }
    const ServerPasswordOutcome done = said(S::Done, Words::of(kCtx, QT_TRANSLATE_NOOP("ServerPassword", "服务器登录名[%1]的密码已修改。"), t.user),
                                            Notice::Icon::Information);
    out.status = done.status;
    out.notice = done.notice;
    return out;
}
}
