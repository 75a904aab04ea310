#include "Paths.h"

namespace Paths {
QString normalize(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

QString withoutTrailingSep(const QString& path)
{
    QString p = normalize(path);
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

QString withTrailingSep(const QString& path)
{
    QString p = withoutTrailingSep(path);
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    return p;
}

QString join(const QString& dir, const QString& name)
{
    QString n = normalize(name);
    while (n.startsWith(QLatin1Char('/')))
        n.remove(0, 1);
    if (dir.isEmpty())
        return n;
    return withTrailingSep(dir) + n;
}

QString fileName(const QString& path)
{
    const QString p = withoutTrailingSep(path);
    const int i = p.lastIndexOf(QLatin1Char('/'));
    return i < 0 ? p : p.mid(i + 1);
}

QString parentDir(const QString& path)
{
    const QString p = withoutTrailingSep(path);
    const int i = p.lastIndexOf(QLatin1Char('/'));
    if (i < 0)
        return QString();
    if (i == 0)
        return QStringLiteral("/");
    return p.left(i);
}
}
