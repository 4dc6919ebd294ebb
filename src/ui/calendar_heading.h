#pragma once
#include <QString>

class QCalendarWidget;

// The calendar's heading as one year-month text, year first ("2026年12月"): the year part of
// the format on the year button, placed before the month button with the month part.
void SetCalendarHeading(QCalendarWidget* calendar, const QString& yearFormat, const QString& monthFormat);
