#include "Periods.h"

namespace Periods {
int lastDay(int year, int period)
{
    switch (period) {
    case 4: case 6: case 9: case 11: return 30;
    case 2: return (year & 3) == 0 ? 29 : 28;
    default: return 31;
    }
}

QString beginDate(int year, int period)
{
    return QStringLiteral("%1-%2-01").arg(year).arg(period, 2, 10, QLatin1Char('0'));
}

QString endDate(int year, int period)
{
    return QStringLiteral("%1-%2-%3").arg(year).arg(period, 2, 10, QLatin1Char('0')).arg(lastDay(year, period), 2, 10, QLatin1Char('0'));
}
}
