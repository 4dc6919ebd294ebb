#include "payments/cutoff.h"

#include "book/history.h"
#include "book/kinds.h"
#include "invoice/due_date.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "invoice/numbering.h"
#include "masters/customers.h"
#include "payments/payments.h"
#include "store/database.h"
#include "store/statements.h"

#include <QLocale>
#include <cmath>
#include <sqlite3.h>

namespace {
const QString DateFormat = QStringLiteral("yyyy/MM/dd");
const QString TimeFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");

QString yen(Currency c) {
    return QLocale(QLocale::English).toString(static_cast<qlonglong>(std::llround(c.toDouble()))) +
           QStringLiteral("円");
}

// The notes' line sums by rate, read in one statement.
void readSums(Database& main, QList<Delivery>& notes) {
    if (notes.isEmpty())
        return;
    QStringList numbers;
    for (const Delivery& d : notes)
        numbers << QString::number(d.伝票番号);
    auto rs = main.openRecordset(sql::T4(numbers.join(u',')));
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        const qint32 n = static_cast<qint32>(rs->field(QStringLiteral("伝票番号")).toInt());
        const int rate = LineRate(rs->field(QStringLiteral("税率")), rs->field(QStringLiteral("非課税")).toBool());
        const Currency sum = Currency::fromRaw(rs->field(QStringLiteral("金額計")).toInt());
        for (Delivery& d : notes) {
            if (d.伝票番号 != n)
                continue;
            if (rate == 10) {
                d.sums.s10 = d.sums.s10 + sum;
                d.sums.has10 = true;
            } else if (rate == 8) {
                d.sums.s8 = d.sums.s8 + sum;
                d.sums.has8 = true;
            } else {
                d.sums.exempt = d.sums.exempt + sum;
            }
        }
    }
}

// The notes a statement lists (number, date, subject), with their sums.
QList<Delivery> readNotes(Database& main, const QString& statement) {
    QList<Delivery> out;
    auto notes = main.openRecordset(statement);
    for (notes->moveFirst(); !notes->eof(); notes->moveNext())
        out << Delivery{QDate::fromString(notes->field(QStringLiteral("日付")).toText(), DateFormat),
                        static_cast<qint32>(notes->field(QStringLiteral("伝票番号")).toInt()),
                        notes->field(QStringLiteral("件名")).toText(),
                        {}};
    readSums(main, out);
    return out;
}

// The period's line sums by rate: what the notes add up to.
RateSums periodSums(const QList<Delivery>& notes) {
    RateSums period;
    for (const Delivery& d : notes) {
        period.s10 = period.s10 + d.sums.s10;
        period.s8 = period.s8 + d.sums.s8;
        period.exempt = period.exempt + d.sums.exempt;
        period.has10 = period.has10 || d.sums.has10;
        period.has8 = period.has8 || d.sums.has8;
    }
    return period;
}

// The summary's stored lines: one per rate over the period, so that its sums by rate are the
// period's and any number of notes fits the invoice page. The notes themselves are the cut-off's
// record, which the summary prints.
std::vector<VersionLine> summaryLines(const QList<Delivery>& notes) {
    const RateSums period = periodSums(notes);
    const QString what = QStringLiteral("納品書 %1件分").arg(notes.size());
    std::vector<VersionLine> lines;
    for (const auto& [rate, sum, has] : {std::tuple{10, period.s10, period.has10}, std::tuple{8, period.s8, period.has8},
                                         std::tuple{0, period.exempt, period.exempt != Currency()}})
        if (has)
            lines.push_back({Value(what), Value(1.0), Value(), Value(sum), Value(sum), Value(rate == 0), Value(rate)});
    return lines;
}

CutOffCandidate candidateOf(Database& main, const QString& customer, const QDate& date, const SummaryBasis& basis) {
    CutOffCandidate c;
    c.顧客名 = customer;
    Currency previousBilled;
    if (auto last = main.openRecordset(sql::T2(customer)); !last->eof()) {
        c.前回締日 = QDate::fromString(last->field(QStringLiteral("締日")).toText(), DateFormat);
        previousBilled = last->field(QStringLiteral("今回御請求額")).toCurrency();
    }
    if (c.前回締日.isValid() && c.前回締日 >= date) {
        c.refused = c.前回締日 == date ? QStringLiteral("この締日の請求締めは済んでいます")
                                         : QStringLiteral("これより後の締日で締めてあります");
        return c;
    }
    // The first cut-off bills every note not billed yet; later ones those since the last.
    const QString from = c.前回締日.isValid() ? c.前回締日.toString(DateFormat) : QString();
    c.notes = readNotes(main, sql::T3(customer, from, date.toString(DateFormat)));
    Currency received;
    if (c.前回締日.isValid())
        received = Currency::fromRaw(
            main.openRecordset(sql::T5(customer, from, date.toString(DateFormat)))->field(QStringLiteral("入金計")).toInt());
    c.figures = CutOffAmounts(previousBilled, received, c.notes, basis.税区分, basis.端数処理);
    if (basis.税率方式 != Scheme10_8)
        c.refused = QStringLiteral("合計請求書は税率方式「10%・8%」で作成します");
    else if (c.notes.isEmpty() && c.figures.繰越金額 == Currency())
        c.refused = QStringLiteral("請求する納品書がありません");
    return c;
}

// Whether the customer's cut-off day falls on the date.
bool cutsOffOn(const QString& 締日, const QDate& date) {
    return CutOffFor(締日, date) == date;
}
} // namespace

CutOffFigures CutOffAmounts(Currency previousBilled, Currency received, const QList<Delivery>& notes,
                            const QString& 税区分, const QString& 端数処理) {
    const RateSums period = periodSums(notes);
    CutOffFigures f;
    f.前回御請求額 = previousBilled;
    f.御入金額 = received;
    f.繰越金額 = previousBilled - received;
    f.今回 = CalcQualified(period, 税区分, 端数処理);
    f.消費税額 = f.今回.消費税.value_or(Currency());
    // 内税 sales carry their tax: the sales shown are what the notes add up to.
    f.今回御買上額 = 税区分 == QStringLiteral("内税") ? period.total() : f.今回.税抜計;
    f.今回御請求額 = f.繰越金額 + f.今回.合計.value_or(Currency());
    return f;
}

QList<CutOffCandidate> FindCutOff(Database& main, const QDate& date, const SummaryBasis& basis) {
    QList<CutOffCandidate> out;
    auto customers = main.openRecordset(sql::T1());
    for (customers->moveFirst(); !customers->eof(); customers->moveNext()) {
        const PaymentTerms terms = TermsOf(*customers);
        if (cutsOffOn(terms.締日, date))
            out << candidateOf(main, customers->field(QStringLiteral("顧客名")).toText(), date, basis);
    }
    return out;
}

QList<qint32> RunCutOff(Database& main, const QDate& date, const QStringList& customers, const SummaryBasis& basis,
                        const QDateTime& when, const std::function<void(const QString&)>& beforeEach) {
    QList<qint32> made;
    Transaction t(main);
    for (const QString& name : customers) {
        if (beforeEach)
            beforeEach(name);
        auto master = main.openRecordset(sql::C1(name));
        const PaymentTerms terms = master->eof() ? PaymentTerms{} : TermsOf(*master);
        if (terms.請求方法 != BillingMethods[1] || !cutsOffOn(terms.締日, date))
            throw DbError(SQLITE_CONSTRAINT, name + QStringLiteral(": 締日が合いません"));
        const CutOffCandidate c = candidateOf(main, name, date, basis);
        if (!c.refused.isEmpty())
            throw DbError(SQLITE_CONSTRAINT, name + QStringLiteral(": ") + c.refused);
        InvoiceHeader h;
        h.number = Proc管理(main, CounterItemOf(Kind請求書), QStringLiteral("Get"), QStringLiteral("0")).toInt();
        h.date = date.toString(DateFormat);
        h.顧客名 = name;
        h.顧客情報 = master->field(QStringLiteral("顧客情報")).toText();
        h.敬称 = master->field(QStringLiteral("敬称")).toText();
        h.件名 = date.toString(QStringLiteral("yyyy年M月d日締め ご請求"));
        h.支払期限 = TermsDueDate(terms, date).toString(DateFormat);
        h.備考 = QStringLiteral("前回御請求額 %1　御入金額 %2　繰越金額 %3\n今回御買上額 %4　消費税額 %5　今回御請求額 %6")
                   .arg(yen(c.figures.前回御請求額), yen(c.figures.御入金額), yen(c.figures.繰越金額),
                        yen(c.figures.今回御買上額), yen(c.figures.消費税額), yen(c.figures.今回御請求額));
        h.税率方式 = basis.税率方式;
        h.税区分 = basis.税区分;
        h.端数処理 = basis.端数処理;
        h.登録番号 = basis.登録番号;
        const QualifiedTotals& q = c.figures.今回;
        h.税抜計 = q.税抜計;
        h.消費税 = q.消費税;
        h.合計 = q.合計.value_or(Currency());
        h.対象10 = q.対象10;
        h.消費税10 = q.消費税10;
        h.対象8 = q.対象8;
        h.消費税8 = q.消費税8;
        Entry伝票(main, h, summaryLines(c.notes));
        const qint64 id = main.openRecordset(sql::T10())->field(QStringLiteral("最大")).toInt() + 1;
        auto record = main.openRecordset(sql::T6(0));
        record->addNew();
        record->setField(QStringLiteral("締め番号"), static_cast<std::int64_t>(id));
        record->setField(QStringLiteral("顧客名"), name);
        record->setField(QStringLiteral("締日"), date.toString(DateFormat));
        record->setField(QStringLiteral("請求書番号"), h.number);
        record->setField(QStringLiteral("世代"), CurrentGeneration(main));
        record->setField(QStringLiteral("前回御請求額"), c.figures.前回御請求額);
        record->setField(QStringLiteral("御入金額"), c.figures.御入金額);
        record->setField(QStringLiteral("繰越金額"), c.figures.繰越金額);
        record->setField(QStringLiteral("今回御買上額"), c.figures.今回御買上額);
        record->setField(QStringLiteral("消費税額"), c.figures.消費税額);
        record->setField(QStringLiteral("今回御請求額"), c.figures.今回御請求額);
        record->setField(QStringLiteral("実行日時"), when.toString(TimeFormat));
        record->update();
        auto billed = main.openRecordset(sql::T7(id));
        for (const Delivery& d : c.notes) {
            billed->addNew();
            billed->setField(QStringLiteral("締め番号"), static_cast<std::int64_t>(id));
            billed->setField(QStringLiteral("納品書番号"), d.伝票番号);
            billed->update();
        }
        made << h.number;
    }
    t.commit();
    return made;
}

std::optional<StandingCutOff> LatestCutOff(Database& main, const QString& customer) {
    auto rs = main.openRecordset(sql::T2(customer));
    if (rs->eof())
        return std::nullopt;
    return StandingCutOff{rs->field(QStringLiteral("締め番号")).toInt(),
                          QDate::fromString(rs->field(QStringLiteral("締日")).toText(), DateFormat),
                          static_cast<qint32>(rs->field(QStringLiteral("請求書番号")).toInt())};
}

bool IsCutOffInvoice(Database& main, qint32 number) {
    return !main.openRecordset(sql::T9(QString::number(number)))->eof();
}

std::optional<SummaryRecord> ReadSummary(Database& main, qint32 number) {
    auto rs = main.openRecordset(sql::T9(QString::number(number)));
    if (rs->eof())
        return std::nullopt;
    SummaryRecord r;
    for (auto [field, figure] : {std::pair{QStringLiteral("前回御請求額"), &r.前回御請求額},
                                 std::pair{QStringLiteral("御入金額"), &r.御入金額},
                                 std::pair{QStringLiteral("繰越金額"), &r.繰越金額},
                                 std::pair{QStringLiteral("今回御買上額"), &r.今回御買上額},
                                 std::pair{QStringLiteral("消費税額"), &r.消費税額},
                                 std::pair{QStringLiteral("今回御請求額"), &r.今回御請求額}})
        *figure = rs->field(field).toCurrency();
    r.notes = readNotes(main, sql::T10(rs->field(QStringLiteral("締め番号")).toInt()));
    return r;
}

void UndoCutOff(Database& main, const QString& customer, const QDateTime& when) {
    Transaction t(main);
    const std::optional<StandingCutOff> last = LatestCutOff(main, customer);
    if (!last)
        throw DbError(SQLITE_CONSTRAINT, customer + QStringLiteral(": 取り消せる請求締めがありません"));
    if (!ReadPayments(main, last->請求書番号).isEmpty())
        throw DbError(SQLITE_CONSTRAINT, QStringLiteral("請求書 %1 には入金が記録されているため、締めを取り消せません")
                                             .arg(last->請求書番号));
    if (Read請求書ヘッダ(main, last->請求書番号))
        Delete請求書(main, last->請求書番号);
    main.execute(sql::T8(last->締め番号, when.toString(TimeFormat)));
    t.commit();
}
