#pragma once
// The accounting calendar: twelve calendar-month periods of a year. The calendar dialog and
// account-set creation both take their dates from here.
#include <QString>

namespace Periods {
// First day of period p (1..12) of year y, as 'YYYY-MM-DD'.
QString beginDate(int year, int period);
// Last day: 31 or 30 by month; February has 29 days whenever the year is divisible by 4
// (the accounting calendar's rule: the period ends stored in existing account sets follow it,
// and every year of a set must follow the same calendar).
QString endDate(int year, int period);
int lastDay(int year, int period);
}
