#include "ConnInfo.h"

#include <algorithm>

#include <libpq-fe.h>

namespace {
// The keywords people write first; the rest follow in the library's own order.
const char* const kFirst[] = {"host", "hostaddr", "port", "dbname", "user"};

int rank(const QString& keyword, int libraryOrder)
{
    for (int i = 0; i < int(std::size(kFirst)); ++i)
        if (keyword == QLatin1String(kFirst[i]))
            return i;
    return int(std::size(kFirst)) + libraryOrder;
}

// A value as the library reads it back: quoted when empty or holding blanks, quotes or backslashes.
QString quoted(const QString& value)
{
    const bool plain = !value.isEmpty() && std::none_of(value.begin(), value.end(), [](QChar c) {
        return c.isSpace() || c == QLatin1Char('\'') || c == QLatin1Char('\\');
    });
    if (plain)
        return value;
    QString out = value;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}
} // namespace

ConnInfo::ConnInfo(const QString& text)
    : m_text(text.trimmed())
{
    if (m_text.isEmpty())
        return;
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(m_text.toUtf8().constData(), &error);
    if (!options) {
        m_error = error ? QString::fromUtf8(error).trimmed() : QStringLiteral("out of memory");
        PQfreemem(error);
        return;
    }
    QList<std::pair<int, std::pair<QString, QString>>> ranked;
    int order = 0;
    for (PQconninfoOption* o = options; o->keyword; ++o, ++order)
        if (o->val && *o->val) {
            const QString keyword = QString::fromUtf8(o->keyword);
            ranked.append({rank(keyword, order), {keyword, QString::fromUtf8(o->val)}});
        }
    PQconninfoFree(options);
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& r : ranked)
        m_values.append(r.second);
}

QString ConnInfo::value(const QString& keyword) const
{
    for (const auto& [k, v] : m_values)
        if (k == keyword)
            return v;
    return QString();
}

QString ConnInfo::label() const
{
    // host, port and database name, in that order; nothing secret.
    const QString hostName = value(QStringLiteral("host"));
    const QString host = hostName.isEmpty() ? value(QStringLiteral("hostaddr")) : hostName;
    const QString port = value(QStringLiteral("port"));
    const QString dbname = value(QStringLiteral("dbname"));
    const QString service = value(QStringLiteral("service"));
    if (!service.isEmpty() && host.isEmpty() && dbname.isEmpty())
        return QStringLiteral("service=%1").arg(service);
    QString out = host.isEmpty() ? QStringLiteral("localhost") : host;
    if (!port.isEmpty())
        out += QLatin1Char(':') + port;
    if (!dbname.isEmpty())
        out += QLatin1Char('/') + dbname;
    return out;
}

QString ConnInfo::joined(bool withPassword) const
{
    QStringList pairs;
    for (const auto& [k, v] : m_values)
        if (withPassword || k != QLatin1String("password"))
            pairs << k + QLatin1Char('=') + quoted(v);
    return pairs.join(QLatin1Char(' '));
}

QString ConnInfo::withoutPassword() const
{
    return isValid() ? joined(false) : QString();
}

ConnInfo ConnInfo::givingUpAfter(int seconds) const
{
    ConnInfo out = *this;
    out.m_timeout = seconds;
    return out;
}

QString ConnInfo::connectString() const
{
    if (!isValid() || m_timeout <= 0 || !value(QStringLiteral("connect_timeout")).isEmpty())
        return m_text;
    return joined(true) + QStringLiteral(" connect_timeout=%1").arg(m_timeout);
}
