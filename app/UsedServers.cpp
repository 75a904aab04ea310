#include "UsedServers.h"

#include <QSettings>

namespace {
const char* const kListKey = "login/servers";
const char* const kLastKey = "login/last";

QSettings store()
{
    return QSettings(QStringLiteral("revozi"), QStringLiteral("revozi-admin"));
}

struct Pair {
    QString key;
    QString text;   // "key=value" as written, quotes and escapes kept
};

// keyword = value pairs as libpq reads them: blanks around '=', a value in single quotes (with
// backslash escapes) or up to the next blank. Text that is not a pair is kept as it stands.
QList<Pair> pairs(const QString& conninfo)
{
    QList<Pair> out;
    const int n = conninfo.size();
    int i = 0;
    while (i < n) {
        while (i < n && conninfo[i].isSpace())
            ++i;
        if (i >= n)
            break;
        const int start = i;
        while (i < n && conninfo[i] != QLatin1Char('=') && !conninfo[i].isSpace())
            ++i;
        const QString key = conninfo.mid(start, i - start);
        while (i < n && conninfo[i].isSpace())
            ++i;
        if (i < n && conninfo[i] == QLatin1Char('=')) {
            ++i;
            while (i < n && conninfo[i].isSpace())
                ++i;
            if (i < n && conninfo[i] == QLatin1Char('\'')) {
                for (++i; i < n && conninfo[i] != QLatin1Char('\''); ++i)
                    if (conninfo[i] == QLatin1Char('\\'))
                        ++i;
                ++i;
            } else {
                for (; i < n && !conninfo[i].isSpace(); ++i)
                    if (conninfo[i] == QLatin1Char('\\'))
                        ++i;
            }
        }
        out.append({key.toLower(), conninfo.mid(start, qMin(i, n) - start)});
    }
    return out;
}
} // namespace

namespace UsedServers {
QStringList list()
{
    return store().value(QLatin1String(kListKey)).toStringList();
}

QString last()
{
    return store().value(QLatin1String(kLastKey)).toString();
}

void remember(const QString& conninfo)
{
    QSettings s = store();
    const QString kept = withoutPassword(conninfo);
    s.setValue(QLatin1String(kLastKey), kept);
    if (kept.isEmpty())
        return;
    QStringList servers = s.value(QLatin1String(kListKey)).toStringList();
    servers.removeAll(kept);
    servers.prepend(kept);
    while (servers.size() > kKept)
        servers.removeLast();
    s.setValue(QLatin1String(kListKey), servers);
}

QString withoutPassword(const QString& conninfo)
{
    QStringList kept;
    for (const Pair& p : pairs(conninfo))
        if (p.key != QLatin1String("password"))
            kept << p.text;
    return kept.join(QLatin1Char(' '));
}

QString forConnecting(const QString& conninfo)
{
    for (const Pair& p : pairs(conninfo))
        if (p.key == QLatin1String("connect_timeout"))
            return conninfo.trimmed();
    return (conninfo.trimmed() + QStringLiteral(" connect_timeout=10")).trimmed();
}
}
