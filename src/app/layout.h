#pragma once
#include "ui/data_grid.h"

#include <QList>

// Fixed values of the window: grid columns in twips, the date box, the colours.
namespace layout {
inline const QList<GridColumn> customerColumns = {
    {360, Qt::AlignHCenter, QStringLiteral("チェック"), CellFormat::Plain},
    {3284.788, Qt::AlignLeft, {}, CellFormat::Plain},
    {2160, Qt::AlignLeft, QStringLiteral("顧客情報"), CellFormat::Plain},
};
inline const QList<GridColumn> productColumns = {
    {374, Qt::AlignHCenter, QStringLiteral("チェック"), CellFormat::Plain},
    {5444.788, Qt::AlignLeft, QStringLiteral("品　　　名"), CellFormat::Plain},
    {675.2126, Qt::AlignHCenter, {}, CellFormat::Plain},
    {1170.142, Qt::AlignRight, QStringLiteral("単　価"), CellFormat::Grouped},
    {840.189, Qt::AlignHCenter, {}, CellFormat::Plain},
};
// Column 0 (行番号) is bound but never shown or edited.
inline const QList<GridColumn> detailColumns = {
    {0, Qt::AlignLeft, {}, CellFormat::Plain},
    {4400, Qt::AlignLeft, QStringLiteral("品　　  名"), CellFormat::Plain},
    {1000, Qt::AlignRight, {}, CellFormat::Quantity},
    {720.0001, Qt::AlignHCenter, {}, CellFormat::Plain},
    {1000, Qt::AlignRight, {}, CellFormat::Grouped},
    {1244.976, Qt::AlignRight, QStringLiteral("金　額"), CellFormat::Grouped},
    {500, Qt::AlignHCenter, {}, CellFormat::Plain},
};
constexpr int dateLeftTwips = 7200;
constexpr int dateWidthTwips = 1980;
inline const QString dateFormat = QStringLiteral("yyyy年MM月dd日");
// The calendar's heading reads "yyyy年mm月": the year button, then the month button.
inline const QString calendarYearFormat = QStringLiteral("yyyy年");
inline const QString calendarMonthFormat = QStringLiteral("MM月");
} // namespace layout
