#include "journal/stored.h"

#include "book/history.h"
#include "store/database.h"
#include "store/statements.h"

namespace {

const QString DateFormat = QStringLiteral("yyyy/MM/dd");

QDate dateOf(const Value& v) {
    return QDate::fromString(v.toText(), DateFormat);
}

} // namespace

JournalNames ReadJournalNames(Database& main, JournalFormat f) {
    QHash<QString, QString> rows;
    auto rs = main.openRecordset(sql::J1(JournalFormatNames[int(f)]));
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        rows.insert(rs->field(QStringLiteral("項目")).toText(), rs->field(QStringLiteral("名称")).toText());
    return NamesFromRows(f, rows);
}

void SaveJournalNames(Database& main, const QList<JournalNames>& names) {
    Transaction tx(main);
    for (int i = 0; i < JournalFormatNames.size() && i < names.size(); ++i) {
        const QString& format = JournalFormatNames[i];
        const JournalNames standard = DefaultNames(JournalFormat(i));
        main.execute(sql::J2(format));
        auto rs = main.openRecordset(sql::J3());
        for (const NameItem& item : NameItems()) {
            const QString name = (names[i].*item.name).trimmed();
            if (name.isEmpty() || name == standard.*item.name)
                continue;
            rs->addNew();
            rs->setField(QStringLiteral("形式"), format);
            rs->setField(QStringLiteral("項目"), item.項目);
            rs->setField(QStringLiteral("名称"), name);
            rs->update();
        }
    }
    tx.commit();
}

QList<JournalExportRecord> ReadJournalExports(Database& main) {
    QList<JournalExportRecord> out;
    auto rs = main.openRecordset(sql::J4());
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        out << JournalExportRecord{
            rs->field(QStringLiteral("形式")).toText(), dateOf(rs->field(QStringLiteral("期間開始"))),
            dateOf(rs->field(QStringLiteral("期間終了"))),
            QDateTime::fromString(rs->field(QStringLiteral("出力日時")).toText(), ChangeTimeFormat)};
    return out;
}

void RecordJournalExport(Database& main, const JournalExportRecord& r) {
    Transaction tx(main);
    auto rs = main.openRecordset(sql::J5());
    rs->addNew();
    rs->setField(QStringLiteral("形式"), r.形式);
    rs->setField(QStringLiteral("期間開始"), r.期間開始.toString(DateFormat));
    rs->setField(QStringLiteral("期間終了"), r.期間終了.toString(DateFormat));
    rs->setField(QStringLiteral("出力日時"), r.出力日時.toString(ChangeTimeFormat));
    rs->update();
    tx.commit();
}

QList<InvoiceChange> ReadInvoiceChanges(Database& main) {
    QList<InvoiceChange> out;
    auto rs = main.openRecordset(sql::J6());
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        out << InvoiceChange{static_cast<qint32>(rs->field(QStringLiteral("伝票番号")).toInt()),
                             dateOf(rs->field(QStringLiteral("日付"))),
                             QDateTime::fromString(rs->field(QStringLiteral("変更日時")).toText(), ChangeTimeFormat)};
    return out;
}

QList<Payment> ReadPeriodPayments(Database& main, const BookQuery& q, const QDate& from, const QDate& to) {
    QList<Payment> out;
    auto rs = main.openRecordset(PeriodPaymentsStatement(q, from, to));
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        out << Payment{QDate::fromString(rs->field(QStringLiteral("入金日")).toText(), QStringLiteral("yyyy/MM/dd")),
                       rs->field(QStringLiteral("顧客名")).toText(),
                       static_cast<qint32>(rs->field(QStringLiteral("伝票番号")).toInt()),
                       rs->field(QStringLiteral("入金額")).toCurrency(),
                       rs->field(QStringLiteral("振込手数料")).toCurrency(),
                       rs->field(QStringLiteral("入金方法")).toText() == QStringLiteral("現金")};
    return out;
}
