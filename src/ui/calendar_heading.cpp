#include "ui/calendar_heading.h"

#include <QBoxLayout>
#include <QCalendarWidget>
#include <QDate>
#include <QToolButton>

void SetCalendarHeading(QCalendarWidget* calendar, const QString& yearFormat, const QString& monthFormat) {
    auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    auto* year = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
    if (!month || !year)
        return; // another style of calendar: keep its own heading
    if (auto* bar = qobject_cast<QBoxLayout*>(month->parentWidget()->layout())) {
        const int at = bar->indexOf(month);
        if (at >= 0 && bar->indexOf(year) > at) {
            bar->removeWidget(year);
            bar->insertWidget(at, year);
        }
    }
    // The calendar writes its own texts when the page changes; ours follow.
    const auto write = [=](int y, int m) {
        const QDate first(y, m, 1);
        year->setText(first.toString(yearFormat));
        month->setText(first.toString(monthFormat));
    };
    QObject::connect(calendar, &QCalendarWidget::currentPageChanged, month, write);
    write(calendar->yearShown(), calendar->monthShown());
}
