#pragma once
#include "ui/data_grid.h"

#include <QList>

// Fixed values of the window: grid columns in twips, the date box, the colours.
namespace layout {
inline const QList<GridColumn> customerColumns = {
    {360, Qt::AlignHCenter, QStringLiteral("チェック"), CellFormat::Plain},
    {3284.788, Qt::AlignLeft, {}, CellFormat::Plain},
    {2160, Qt::AlignLeft, QStringLiteral("顧客情報"), CellFormat::Plain},
    {900, Qt::AlignLeft, QStringLiteral("敬称"), CellFormat::Plain},
    // The digital invoice's address of the customer.
    {2400, Qt::AlignLeft, QStringLiteral("Peppol ID"), CellFormat::Plain},
    {1000, Qt::AlignLeft, QStringLiteral("郵便番号"), CellFormat::Plain},
    {3000, Qt::AlignLeft, QStringLiteral("住所"), CellFormat::Plain},
    // The customer's terms of payment, each picked from its list.
    {720, Qt::AlignHCenter, QStringLiteral("締日"), CellFormat::Plain},
    {900, Qt::AlignHCenter, QStringLiteral("支払月"), CellFormat::Plain},
    {720, Qt::AlignHCenter, QStringLiteral("支払日"), CellFormat::Plain},
    {900, Qt::AlignHCenter, QStringLiteral("請求方法"), CellFormat::Plain},
    // The work copy's change count, name as read and edited mark: bound, never shown.
    {0, Qt::AlignLeft, {}, CellFormat::Plain},
    {0, Qt::AlignLeft, {}, CellFormat::Plain},
    {0, Qt::AlignLeft, {}, CellFormat::Plain},
};
constexpr int customerHonorificColumn = 3;
constexpr int customerTermsColumn = 7; // 締日, then 支払月, 支払日 and 請求方法
inline const QList<GridColumn> productColumns = {
    {374, Qt::AlignHCenter, QStringLiteral("チェック"), CellFormat::Plain},
    {5444.788, Qt::AlignLeft, QStringLiteral("品　　　名"), CellFormat::Plain},
    {675.2126, Qt::AlignHCenter, {}, CellFormat::Plain},
    {1170.142, Qt::AlignRight, QStringLiteral("単　価"), CellFormat::Quantity},
    {840.189, Qt::AlignHCenter, {}, CellFormat::Plain},
    {700, Qt::AlignHCenter, {}, CellFormat::Plain}, // 税率, shown under "10%・8%" only
    {0, Qt::AlignLeft, {}, CellFormat::Plain},      // change count, name as read, edited mark
    {0, Qt::AlignLeft, {}, CellFormat::Plain},
    {0, Qt::AlignLeft, {}, CellFormat::Plain},
};
constexpr int productExemptColumn = 4;
constexpr int productRateColumn = 5;
// Column 0 (行番号) is bound but never shown or edited.
inline const QList<GridColumn> detailColumns = {
    {0, Qt::AlignLeft, {}, CellFormat::Plain},
    {4400, Qt::AlignLeft, QStringLiteral("品　　  名"), CellFormat::Plain},
    {1000, Qt::AlignRight, {}, CellFormat::Quantity},
    {720.0001, Qt::AlignHCenter, {}, CellFormat::Plain},
    {1000, Qt::AlignRight, {}, CellFormat::Quantity}, // 単価: a price may carry sen
    {1244.976, Qt::AlignRight, QStringLiteral("金　額"), CellFormat::Grouped},
    {500, Qt::AlignHCenter, {}, CellFormat::Plain},
};
// Under "10%・8%" the last column is the line's rate instead of the exempt flag.
inline const QList<GridColumn> detailColumnsQualified = [] {
    QList<GridColumn> c = detailColumns;
    c[6] = {760, Qt::AlignHCenter, {}, CellFormat::Plain};
    return c;
}();
inline const QStringList detailFields = {QStringLiteral("行番号"), QStringLiteral("品名"), QStringLiteral("数量"),
                                         QStringLiteral("単位"),   QStringLiteral("単価"), QStringLiteral("金額")};
constexpr int detailFlagColumn = 6; // 非課税, or 税率 under "10%・8%"
// The invoice list: 伝票番号, 種別, 日付, 顧客名, 税抜計, 消費税, 合計, 状態, 元伝票, 入金額, 残高, 入金状態.
inline const QList<double> bookColumnTwips = {1100, 900, 1500, 3400, 1500, 1300, 1500, 1300, 1800, 1500, 1500, 1200};
constexpr int dateLeftTwips = 7200;
constexpr int dateWidthTwips = 1980;
inline const QString dateFormat = QStringLiteral("yyyy年MM月dd日");
// The calendar's heading reads "yyyy年mm月": the year button, then the month button.
inline const QString calendarYearFormat = QStringLiteral("yyyy年");
inline const QString calendarMonthFormat = QStringLiteral("MM月");
} // namespace layout
