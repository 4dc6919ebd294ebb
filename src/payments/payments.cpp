#include "payments/payments.h"

#include "book/history.h"
#include "invoice/invoice_io.h"
#include "store/database.h"
#include "store/statements.h"

#include <sqlite3.h>

namespace {
const QString DateFormat = QStringLiteral("yyyy/MM/dd");
const QString TimeFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");
} // namespace

QString PaymentProblem(const PaymentRecord& p) {
    if (!p.入金日.isValid())
        return QStringLiteral("入金日を指定してください。");
    if (p.入金額 <= Currency() || p.入金額 > PaymentMax)
        return QStringLiteral("入金額は 1 円から 100,000,000,000 円までです。");
    if (p.振込手数料 < Currency() || p.振込手数料 > PaymentMax)
        return QStringLiteral("振込手数料は 0 円から 100,000,000,000 円までです。");
    if (!PaymentMethods.contains(p.入金方法))
        return QStringLiteral("入金方法を一覧から選んでください。");
    return QString();
}

QList<PaymentRecord> ReadPayments(Database& main, qint32 number) {
    QList<PaymentRecord> out;
    auto rs = main.openRecordset(sql::N1(QString::number(number), CurrentGeneration(main)));
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        PaymentRecord p;
        p.入金番号 = rs->field(QStringLiteral("入金番号")).toInt();
        p.伝票番号 = number;
        p.入金日 = QDate::fromString(rs->field(QStringLiteral("入金日")).toText(), DateFormat);
        p.入金額 = rs->field(QStringLiteral("入金額")).toCurrency();
        p.入金方法 = rs->field(QStringLiteral("入金方法")).toText();
        p.振込手数料 = rs->field(QStringLiteral("振込手数料")).toCurrency();
        p.摘要 = rs->field(QStringLiteral("摘要")).toText();
        out << p;
    }
    return out;
}

qint64 AddPayment(Database& main, const PaymentRecord& p, const QDateTime& when) {
    if (const QString problem = PaymentProblem(p); !problem.isEmpty())
        throw DbError(SQLITE_CONSTRAINT, problem);
    Transaction t(main);
    if (!Read請求書ヘッダ(main, p.伝票番号))
        throw DbError(SQLITE_CONSTRAINT, QStringLiteral("伝票 %1 は登録されていません。").arg(p.伝票番号));
    const qint64 id = main.openRecordset(sql::N5())->field(QStringLiteral("最大")).toInt() + 1;
    auto rs = main.openRecordset(sql::N2(0));
    rs->addNew();
    rs->setField(QStringLiteral("入金番号"), static_cast<std::int64_t>(id));
    rs->setField(QStringLiteral("伝票番号"), p.伝票番号);
    rs->setField(QStringLiteral("世代"), CurrentGeneration(main));
    rs->setField(QStringLiteral("入金日"), p.入金日.toString(DateFormat));
    rs->setField(QStringLiteral("入金額"), p.入金額);
    rs->setField(QStringLiteral("入金方法"), p.入金方法);
    rs->setField(QStringLiteral("振込手数料"), p.振込手数料);
    rs->setField(QStringLiteral("摘要"), p.摘要);
    rs->setField(QStringLiteral("登録日時"), when.toString(TimeFormat));
    rs->update();
    t.commit();
    return id;
}

void RemovePayment(Database& main, qint64 id, const QDateTime& when) {
    Transaction t(main);
    main.execute(sql::N3(id, when.toString(TimeFormat)));
    t.commit();
}

Currency PaidOn(Database& main, qint32 number) {
    Currency paid;
    for (const PaymentRecord& p : ReadPayments(main, number))
        paid = paid + p.counted();
    return paid;
}
