#include "journal/formats.h"

#include "exchange/csv.h"

#include <QSaveFile>
#include <QStringEncoder>

#include <utility>

namespace {

QString day(QDate d) {
    return d.isValid() ? d.toString(QStringLiteral("yyyy/MM/dd")) : QString();
}
QString yen(Currency c) {
    return c.toString();
}
QString yen(const std::optional<Currency>& c) {
    return c ? c->toString() : QString();
}
std::optional<Currency> negated(const std::optional<Currency>& c) {
    return c ? std::optional(Currency() - *c) : std::nullopt;
}

// No program takes a negative amount: such a row is posted the other way round.
JournalRow upright(JournalRow r) {
    if (r.金額 >= Currency())
        return r;
    std::swap(r.借方科目, r.貸方科目);
    std::swap(r.借方補助, r.貸方補助);
    std::swap(r.借方税区分, r.貸方税区分);
    std::swap(r.借方税額, r.貸方税額);
    r.借方税額 = negated(r.借方税額);
    r.貸方税額 = negated(r.貸方税額);
    r.金額 = Currency() - r.金額;
    return r;
}

// 弥生会計 (support.yayoi-kk.co.jp, 「弥生インポート形式」 page_id=18545): 25 columns and no heading;
// 識別フラグ 2111 for a one-line slip, 2110 / 2100 / 2101 for the first, middle and last line of a
// longer one; タイプ 3 (振替伝票); 調整 "no". 期日 is the due date of a bill of exchange, not of a sale,
// so it stays empty.
QList<QStringList> yayoi(const Slip& s) {
    QList<QStringList> out;
    const qsizetype n = s.rows.size();
    for (qsizetype i = 0; i < n; ++i) {
        const JournalRow r = upright(s.rows[i]);
        const QString flag = n == 1       ? QStringLiteral("2111")
                             : i == 0     ? QStringLiteral("2110")
                             : i == n - 1 ? QStringLiteral("2101")
                                          : QStringLiteral("2100");
        const QString blank;
        out << QStringList{flag, blank, blank, day(s.date)} +
                   QStringList{r.借方科目, r.借方補助, blank, r.借方税区分, yen(r.金額), yen(r.借方税額)} +
                   QStringList{r.貸方科目, r.貸方補助, blank, r.貸方税区分, yen(r.金額), yen(r.貸方税額)} +
                   QStringList{s.摘要,
                               blank,
                               blank,
                               QStringLiteral("3"),
                               blank,
                               blank,
                               QStringLiteral("0"),
                               QStringLiteral("0"),
                               QStringLiteral("no")};
    }
    return out;
}

// freee (support.freee.co.jp/hc/ja/articles/202847320 「取引・口座振替のインポート」): the heading of
// its sample file kept as it is. A sale is an unsettled 収入 (freee debits 売掛金 itself) per rate,
// the customer as 取引先 and the due date as 決済期日. A receipt is a settled 収入 on 売掛金 for what the
// customer paid off, into the account it came to; the fee the customer kept is a settled 支出 from
// the same account, which leaves the account with what actually arrived.
const QStringList kFreeeHeading = {QStringLiteral("収支区分"),
                                   QStringLiteral("管理番号"),
                                   QStringLiteral("発生日"),
                                   QStringLiteral("決済期日"),
                                   QStringLiteral("取引先コード"),
                                   QStringLiteral("取引先"),
                                   QStringLiteral("勘定科目"),
                                   QStringLiteral("税区分"),
                                   QStringLiteral("金額"),
                                   QStringLiteral("税計算区分"),
                                   QStringLiteral("税額"),
                                   QStringLiteral("備考"),
                                   QStringLiteral("品目"),
                                   QStringLiteral("部門"),
                                   QStringLiteral("メモタグ（複数指定可、カンマ区切り）"),
                                   QStringLiteral("セグメント1"),
                                   QStringLiteral("セグメント2"),
                                   QStringLiteral("セグメント3"),
                                   QStringLiteral("決済日"),
                                   QStringLiteral("決済口座"),
                                   QStringLiteral("決済金額")};

QStringList freeeRow(const QString& kind, const Slip& s, const QString& account, const QString& category,
                     Currency amount, const std::optional<Currency>& tax, bool settled) {
    QStringList r{kind,    s.番号,   day(s.date), s.期日 ? day(*s.期日) : QString(),        QString(), s.取引先,
                  account, category, yen(amount), tax ? QStringLiteral("内税") : QString(), yen(tax),  s.摘要};
    r << QString() << QString() << QString() << QString() << QString() << QString();
    r << (settled ? day(s.date) : QString()) << (settled ? s.口座 : QString()) << (settled ? yen(amount) : QString());
    return r;
}

QList<QStringList> freee(const Slip& s) {
    QList<QStringList> out;
    const QString income = QStringLiteral("収入");
    if (s.kind == Slip::Kind::Sale) {
        for (const JournalRow& r : s.rows)
            out << freeeRow(income, s, r.貸方科目, r.貸方税区分, r.金額, r.貸方税額, false);
        return out;
    }
    Currency cleared;
    for (const JournalRow& r : s.rows)
        cleared = cleared + r.金額;
    const JournalRow& first = s.rows.first();
    out << freeeRow(income, s, first.貸方科目, first.貸方税区分, cleared, std::nullopt, true);
    for (const JournalRow& r : s.rows)
        if (r.借方科目 != s.口座)
            out << freeeRow(QStringLiteral("支出"), s, r.借方科目, r.借方税区分, r.金額, r.借方税額, true);
    return out;
}

// マネーフォワード クラウド会計 (biz.moneyforward.com/support/account/guide/import-books/ib01.html
// 「仕訳帳」をインポートする): the heading of its sample format, A to AA; the lines of a slip share its
// 取引No and date and balance, which makes them one compound entry.
const QStringList kMoneyForwardHeading = {
    QStringLiteral("取引No"),         QStringLiteral("取引日"),         QStringLiteral("借方勘定科目"),
    QStringLiteral("借方補助科目"),   QStringLiteral("借方部門"),       QStringLiteral("借方取引先"),
    QStringLiteral("借方税区分"),     QStringLiteral("借方インボイス"), QStringLiteral("借方金額(円)"),
    QStringLiteral("借方税額"),       QStringLiteral("貸方勘定科目"),   QStringLiteral("貸方補助科目"),
    QStringLiteral("貸方部門"),       QStringLiteral("貸方取引先"),     QStringLiteral("貸方税区分"),
    QStringLiteral("貸方インボイス"), QStringLiteral("貸方金額(円)"),   QStringLiteral("貸方税額"),
    QStringLiteral("摘要"),           QStringLiteral("仕訳メモ"),       QStringLiteral("タグ"),
    QStringLiteral("MF仕訳タイプ"),   QStringLiteral("決算整理仕訳"),   QStringLiteral("作成日時"),
    QStringLiteral("作成者"),         QStringLiteral("最終更新日時"),   QStringLiteral("最終更新者")};

QList<QStringList> moneyForward(const Slip& s, int number) {
    QList<QStringList> out;
    for (const JournalRow& row : s.rows) {
        const JournalRow r = upright(row);
        const QString blank;
        // Account, sub-account, department, partner, tax category, invoice kind, amount, tax: debit, then credit.
        QStringList f =
            QStringList{QString::number(number), day(s.date)} +
            QStringList{r.借方科目, r.借方補助, blank, blank, r.借方税区分, blank, yen(r.金額), yen(r.借方税額)} +
            QStringList{r.貸方科目, r.貸方補助, blank, blank, r.貸方税区分, blank, yen(r.金額), yen(r.貸方税額)} +
            QStringList{s.摘要};
        while (f.size() < kMoneyForwardHeading.size())
            f << QString();
        out << f;
    }
    return out;
}

// Shift_JIS as Japanese Windows writes it (CP932). The characters other systems type for the same
// marks (the wave dash, minus sign, …) become the ones CP932 has; anything else it lacks is named.
QString toCp932Marks(QString text) {
    static const std::pair<char16_t, char16_t> marks[] = {
        {u'\u301C', u'\uFF5E'}, {u'\u2212', u'\uFF0D'}, {u'\u2016', u'\u2225'}, {u'\u2014', u'\u2015'},
        {u'\u00A2', u'\uFFE0'}, {u'\u00A3', u'\uFFE1'}, {u'\u00AC', u'\uFFE2'}};
    for (const auto& [from, to] : marks)
        text.replace(QChar(from), QChar(to));
    return text;
}

QString lackingInCp932(const QString& text) {
    QString lacking;
    const QList<uint> points = text.toUcs4();
    for (const uint p : points) {
        const QString c = QString::fromUcs4(reinterpret_cast<const char32_t*>(&p), 1);
        QStringEncoder enc("windows-31j");
        const QByteArray ignored = enc.encode(c);
        if (enc.hasError() && !lacking.contains(c))
            lacking += c;
    }
    return lacking;
}

} // namespace

JournalFile RenderJournal(JournalFormat f, const QList<Slip>& slips) {
    JournalFile out;
    QList<QStringList> records;
    if (f == JournalFormat::Freee)
        records << kFreeeHeading;
    else if (f == JournalFormat::MoneyForward)
        records << kMoneyForwardHeading;
    int number = 0;
    for (const Slip& s : slips) {
        if (f == JournalFormat::Yayoi) {
            const QList<QStringList> rows = yayoi(s);
            QStringList cells;
            for (const QStringList& r : rows)
                cells << r;
            const QString lacking = lackingInCp932(toCp932Marks(cells.join(QString())));
            if (!lacking.isEmpty())
                out.problems << QStringLiteral("%1: 弥生会計の文字コード（Shift_JIS）にない文字「%2」があります")
                                    .arg(s.摘要, lacking);
            records << rows;
        } else if (f == JournalFormat::Freee) {
            records << freee(s);
        } else {
            records << moneyForward(s, ++number);
        }
    }
    if (!out.problems.isEmpty())
        return out;
    // Quoted and guarded as every CSV the program writes.
    const QString text = writeCsv(records);
    if (f == JournalFormat::Yayoi) {
        QStringEncoder enc("windows-31j");
        out.bytes = enc.encode(toCp932Marks(text));
    } else {
        out.bytes = encodeCsvFile(text);
    }
    return out;
}

JournalFile MakeJournal(JournalFormat f, const QList<IssuedInvoice>& invoices, const QList<Payment>& payments,
                        const JournalNames& names) {
    const Posted posted = Post(invoices, payments, names);
    if (!posted.problems.isEmpty())
        return JournalFile{QByteArray(), posted.problems};
    return RenderJournal(f, posted.slips);
}

bool WriteJournalFile(const QString& path, const QByteArray& bytes, QString* reason) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (reason)
        *reason = file.errorString();
    return false;
}
