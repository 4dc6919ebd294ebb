#include "payments/receivables.h"

#include "store/database.h"
#include "store/statements.h"

namespace {
const QString DateFormat = QStringLiteral("yyyy/MM/dd");
} // namespace

const QStringList ReceivableHeadings = {
    QStringLiteral("顧客名"),      QStringLiteral("前月末残高"), QStringLiteral("当月売上"),  QStringLiteral("当月入金"),
    QStringLiteral("残高"),        QStringLiteral("期限内"),     QStringLiteral("30日以内超過"), QStringLiteral("31～60日"),
    QStringLiteral("61日超")};

QString ReceivablesStatement(const QDate& month, const QDate& today) {
    const QDate start(month.year(), month.month(), 1);
    const QDate end(month.year(), month.month(), month.daysInMonth());
    const QDate asOf = std::min(end, today);
    return sql::U1(start.toString(DateFormat), end.toString(DateFormat), asOf.toString(DateFormat),
                   asOf.addDays(-30).toString(DateFormat), asOf.addDays(-60).toString(DateFormat));
}

QList<Receivable> ReadReceivables(Database& main, const QDate& month, const QDate& today) {
    auto rs = main.openRecordset(ReceivablesStatement(month, today));
    // Sums have no declared type: they come back as the stored count.
    const auto money = [&rs](const char* field) { return Currency::fromRaw(rs->field(QString::fromUtf8(field)).toInt()); };
    QList<Receivable> out;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        out << Receivable{rs->field(QStringLiteral("顧客名")).toText(),
                          money("前月末残高"),
                          money("当月売上"),
                          money("当月入金"),
                          money("残高"),
                          money("期限内"),
                          money("超過30"),
                          money("超過60"),
                          money("超過61")};
    return out;
}

QStringList ReceivableCsvRow(const Receivable& r) {
    QStringList row{r.顧客名};
    for (const Currency c : {r.前月末残高, r.当月売上, r.当月入金, r.残高, r.期限内, r.超過30, r.超過60, r.超過61})
        row << c.toString();
    return row;
}
