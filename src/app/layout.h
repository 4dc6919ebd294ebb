#pragma once
#include "ui/data_grid.h"

#include <QList>

// Fixed values of the window: grid columns in twips, the date box, the colours.
namespace layout {
inline const QList<GridColumn> customerColumns = {
    {360, Qt::AlignHCenter, QStringLiteral("チェック"), false},
    {3284.788, Qt::AlignLeft, {}, false},
    {2160, Qt::AlignLeft, QStringLiteral("顧客情報"), false},
};
inline const QList<GridColumn> productColumns = {
    {374, Qt::AlignHCenter, QStringLiteral("チェック"), false},
    {5444.788, Qt::AlignLeft, QStringLiteral("品　　　名"), false},
    {675.2126, Qt::AlignHCenter, {}, false},
    {1170.142, Qt::AlignRight, QStringLiteral("単　価"), true},
    {840.189, Qt::AlignHCenter, {}, false},
};
// Column 0 (行番号) is bound but never shown or edited.
inline const QList<GridColumn> detailColumns = {
    {0, Qt::AlignLeft, {}, false},      {4400, Qt::AlignLeft, QStringLiteral("品　　  名"), false},
    {1000, Qt::AlignRight, {}, true},   {720.0001, Qt::AlignHCenter, {}, false},
    {1000, Qt::AlignRight, {}, true},   {1244.976, Qt::AlignRight, QStringLiteral("金　額"), true},
    {500, Qt::AlignHCenter, {}, false},
};
// The invoice list: 伝票番号, 日付, 顧客名, 税抜計, 消費税, 合計, 状態.
inline const QList<double> bookColumnTwips = {1100, 1500, 4200, 1500, 1300, 1500, 1300};
constexpr int dateLeftTwips = 7200;
constexpr int dateWidthTwips = 1980;
inline const QString dateFormat = QStringLiteral("yyyy年MM月dd日");
inline const QString calendarMonthFormat = QStringLiteral("yyyy年MM月");
} // namespace layout
