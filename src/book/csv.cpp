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

} // namespace

QList<QStringList> bookCsvRows(const std::vector<BookRow>& rows) {
    QList<QStringList> out{{QStringLiteral("伝票番号"), QStringLiteral("日付"), QStringLiteral("顧客名"),
                            QStringLiteral("税抜計"), QStringLiteral("消費税"), QStringLiteral("合計"),
                            QStringLiteral("状態"), QStringLiteral("件名"), QStringLiteral("支払期限")}};
    for (const BookRow& r : rows)
        out << QStringList{QString::number(r.伝票番号), r.日付,        r.顧客名,   amount(r.税抜計),
                           amount(r.消費税),            amount(r.合計), r.状態(), r.件名, r.支払期限};
    return out;
}

QList<QStringList> bookLineCsvRows(const std::vector<BookLine>& lines) {
    QList<QStringList> out{{QStringLiteral("伝票番号"), QStringLiteral("行番号"), QStringLiteral("品名"),
                            QStringLiteral("数量"), QStringLiteral("単位"), QStringLiteral("単価"),
                            QStringLiteral("金額"), QStringLiteral("非課税")}};
    for (const BookLine& l : lines)
        out << QStringList{QString::number(l.伝票番号), plain(l.行番号), plain(l.品名), plain(l.数量),
                           plain(l.単位),                plain(l.単価),   plain(l.金額), plain(l.非課税)};
    return out;
}

QString linesCsvPath(const QString& listPath) {
    const QFileInfo info(listPath);
    const QString base = info.suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0
                             ? info.completeBaseName()
                             : info.fileName();
    return info.dir().filePath(base + QStringLiteral("_明細.csv"));
}
