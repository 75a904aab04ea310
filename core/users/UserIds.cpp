#include "UserIds.h"

#include <QCoreApplication>

namespace UserIds {
bool breaksLists(const QString& id)
{
    return id.contains(QLatin1Char('[')) || id.contains(QLatin1Char(']')) || id.contains(QLatin1Char(','));
}

QString refusal(const QString& kind, const QString& id)
{
    if (!breaksLists(id))
        return QString();
    return QCoreApplication::translate("UserIds", "%1编号“%2”含有“[”、“]”或“,”，不能增加!").arg(kind, id);
}
}
