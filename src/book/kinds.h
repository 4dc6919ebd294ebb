#pragma once
#include <QString>
#include <QStringList>

// The documents a business sends, kept side by side in the invoice tables under their kind
// (種別): each kind has its own numbers, so a number means nothing without its kind.
inline const QString Kind見積書 = QStringLiteral("見積書");
inline const QString Kind納品書 = QStringLiteral("納品書");
inline const QString Kind請求書 = QStringLiteral("請求書");
inline const QString Kind領収書 = QStringLiteral("領収書");
// In the order a job goes through them, as the kind boxes offer them.
inline const QStringList DocumentKinds = {Kind見積書, Kind納品書, Kind請求書, Kind領収書};

// The company record's counter of a kind's numbers; the invoice's is the one it always was.
inline QString CounterItemOf(const QString& kind) {
    return QStringLiteral("最大") + kind + QStringLiteral("番号");
}
inline const QStringList CounterItems = {CounterItemOf(Kind見積書), CounterItemOf(Kind納品書),
                                         CounterItemOf(Kind請求書), CounterItemOf(Kind領収書)};

// What a document of the kind can be made into: a quote the delivery or the bill, a delivery
// note the bill, an invoice the receipt.
inline QStringList ConversionTargets(const QString& kind) {
    if (kind == Kind見積書)
        return {Kind納品書, Kind請求書};
    if (kind == Kind納品書)
        return {Kind請求書};
    if (kind == Kind請求書)
        return {Kind領収書};
    return {};
}

// How a document names its source: 「見積書 No. 7 より」.
inline QString DocumentName(const QString& kind, qint64 number) {
    return kind + QStringLiteral(" No. ") + QString::number(number);
}
inline QString SourceText(const QString& kind, qint64 number) {
    return DocumentName(kind, number) + QStringLiteral(" より");
}

// A quote is valid this many days after its date unless the user says otherwise.
constexpr int QuoteValidDays = 30;
// What a receipt is for: goods in general, or the invoice it settles, which ties it to that
// invoice's items.
inline const QString DefaultPurpose = QStringLiteral("お品代として");
inline QString PurposeOf(const QString& kind, qint64 number) {
    return DocumentName(kind, number) + QStringLiteral(" の代金として");
}
