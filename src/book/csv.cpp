#include "book/csv.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Money as a plain number, so that a spreadsheet can add it up; blank for none.
QString amount(const std::optional<Currency>& v) {
    return v ? v->toString() : QString();
}

QString plain(const Value& v) {
    if (v.isNull())
        return QString();
    if (v.isCurrency())
        return v.toCurrency().toString();
    if (v.isBool())
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return v.toText();
}

// Lines are stored numbered from 0; the accountant counts them from 1.
QString lineNumber(const Value& stored) {
    return stored.isNull() ? QString() : QString::number(stored.toInt() + 1);
}

// The rate in percent: a line of a "10%・8%" invoice carries its own (10, 8, 0 when exempt);
// a line stored without one belongs to a "5%" invoice.
int rate(const BookLine& l) {
    if (!l.税率.isNull())
        return static_cast<int>(l.税率.toInt());
    return l.非課税.toBool() ? 0 : 5;
}

} // namespace

QList<QStringList> bookCsvRows(const std::vector<BookRow>& rows) {
    // The kind, the source and the payments come last: columns a spreadsheet already reads stay
    // where they were.
    QList<QStringList> out{{QStringLiteral("伝票番号"), QStringLiteral("日付"), QStringLiteral("顧客名"),
                            QStringLiteral("税抜計"), QStringLiteral("消費税"), QStringLiteral("合計"),
                            QStringLiteral("状態"), QStringLiteral("件名"), QStringLiteral("支払期限"),
                            QStringLiteral("10%対象"), QStringLiteral("10%消費税"), QStringLiteral("8%対象"),
                            QStringLiteral("8%消費税"), QStringLiteral("世代"), QStringLiteral("種別"),
                            QStringLiteral("元伝票"), QStringLiteral("入金額"), QStringLiteral("残高"),
                            QStringLiteral("入金状態")}};
    for (const BookRow& r : rows)
        out << QStringList{QString::number(r.伝票番号), r.日付,      r.顧客名,          amount(r.税抜計),
                           amount(r.消費税),            amount(r.合計), r.状態(),         r.件名,
                           r.支払期限,                  amount(r.対象10), amount(r.消費税10), amount(r.対象8),
                           amount(r.消費税8),           QString::number(r.世代), r.種別, r.元伝票(),
                           amount(r.入金額),            amount(r.残高),          r.入金状態};
    return out;
}

QList<QStringList> bookLineCsvRows(const std::vector<BookLine>& lines) {
    QList<QStringList> out{{QStringLiteral("伝票番号"), QStringLiteral("行番号"), QStringLiteral("品名"),
                            QStringLiteral("数量"), QStringLiteral("単位"), QStringLiteral("単価"),
                            QStringLiteral("金額"), QStringLiteral("非課税"), QStringLiteral("税率"),
                            QStringLiteral("世代"), QStringLiteral("種別")}};
    for (const BookLine& l : lines)
        out << QStringList{QString::number(l.伝票番号), lineNumber(l.行番号), plain(l.品名), plain(l.数量),
                           plain(l.単位),                plain(l.単価),         plain(l.金額), plain(l.非課税),
                           QString::number(rate(l)),    QString::number(l.世代), l.種別};
    return out;
}

QString linesCsvPath(const QString& listPath) {
    const QFileInfo info(listPath);
    const QString base = info.suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0
                             ? info.completeBaseName()
                             : info.fileName();
    return info.dir().filePath(base + QStringLiteral("_明細.csv"));
}
