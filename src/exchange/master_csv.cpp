#include "exchange/master_csv.h"

#include "exchange/csv.h"
#include "store/statements.h"

#include <QHash>

namespace {

const QString Tick = QStringLiteral("チェック");

struct WorkCopy {
    QString table;
    QString key;
    QString (*rows)();  // every row in the order the page shows them
    QString (*clear)(); // empties the work copy
    QString (*edit)();  // the work copy as an updatable record set
};

const WorkCopy customers{QStringLiteral("w顧客マスタ"), QStringLiteral("顧客名"), sql::E1, sql::C3, sql::C8};
const WorkCopy products{QStringLiteral("w商品マスタ"), QStringLiteral("品名"), sql::E2, sql::P2, sql::P7};

QString cellText(const Value& v) {
    if (v.isBool())
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return v.toText();
}

QString exportCopy(const WorkCopy& w, Database& work) {
    QStringList header;
    for (const auto& [name, type] : work.columns(w.table))
        if (name != Tick)
            header << name;
    QList<QStringList> records{header};
    auto rs = work.openRecordset(w.rows());
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        // A row without a name is not a master row; registering skips it too.
        if (rs->field(w.key).toText().trimmed().isEmpty())
            continue;
        QStringList r;
        for (const QString& name : header)
            r << cellText(rs->field(name));
        records << r;
    }
    return writeCsv(records);
}

// One cell read into its column's type; nullopt when it cannot be read.
std::optional<Value> readCell(const QString& field, const QString& type, const QString& text) {
    const QString t = text.trimmed();
    if (type == QLatin1String("CURRENCY")) {
        if (t.isEmpty())
            return Value();
        const auto c = readPrice(t);
        return c ? std::optional<Value>(*c) : std::nullopt;
    }
    if (type == QLatin1String("BOOLEAN")) {
        const auto b = readFlag(t);
        return b ? std::optional<Value>(*b) : std::nullopt;
    }
    if (type == QLatin1String("INTEGER")) {
        if (t.isEmpty())
            return Value();
        QString digits = t.normalized(QString::NormalizationForm_KC);
        if (digits.endsWith(u'%'))
            digits.chop(1);
        bool ok = false;
        const qint64 v = digits.trimmed().toLongLong(&ok);
        // A tax rate is one of the two the books know.
        if (!ok || (field == QStringLiteral("税率") && v != 10 && v != 8))
            return std::nullopt;
        return Value(static_cast<std::int64_t>(v));
    }
    if (type == QLatin1String("DOUBLE")) {
        if (t.isEmpty())
            return Value();
        bool ok = false;
        const double v = t.normalized(QString::NormalizationForm_KC).toDouble(&ok);
        return ok ? std::optional<Value>(v) : std::nullopt;
    }
    return t.isEmpty() ? Value() : Value(text);
}

CsvImport importCopy(const WorkCopy& w, Database& work, const QString& text) {
    const QList<CsvRecord> records = parseCsv(text);
    QHash<QString, QString> types; // the work copy's columns the CSV may fill
    for (const auto& [name, type] : work.columns(w.table))
        if (name != Tick)
            types.insert(name, type);
    if (records.isEmpty() || !records[0].fields.contains(w.key))
        throw CsvError(QStringLiteral("1行目の見出しに「") + w.key +
                       QStringLiteral("」の列がありません。1行目に項目名を入れてください。"));
    const QStringList header = records[0].fields;
    QList<std::pair<int, QString>> mapped; // CSV column, field; the first of a repeated name wins
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header[i].trimmed();
        if (types.contains(name) &&
            std::none_of(mapped.begin(), mapped.end(), [&](const auto& m) { return m.second == name; }))
            mapped.append({i, name});
    }

    CsvImport result;
    std::vector<std::vector<std::pair<QString, Value>>> rows;
    for (qsizetype r = 1; r < records.size(); ++r) {
        const CsvRecord& rec = records[r];
        if (std::all_of(rec.fields.begin(), rec.fields.end(), [](const QString& f) { return f.trimmed().isEmpty(); }))
            continue; // an empty row a spreadsheet left behind
        bool readable = !rec.unterminated && rec.fields.size() <= header.size();
        std::vector<std::pair<QString, Value>> row;
        for (const auto& [col, name] : mapped) {
            if (!readable)
                break;
            const auto v = readCell(name, types.value(name), rec.fields.value(col));
            if (!v || (name == w.key && v->isNull()))
                readable = false;
            else
                row.emplace_back(name, *v);
        }
        if (!readable) {
            result.skippedLines << rec.line;
            continue;
        }
        rows.push_back(std::move(row));
    }
    if (rows.empty())
        return result; // nothing readable: the page keeps what it shows

    Transaction tx(work, TxStart::Deferred);
    work.execute(w.clear());
    auto rs = work.openRecordset(w.edit());
    for (const auto& row : rows) {
        rs->addNew();
        for (const auto& [name, v] : row)
            rs->setField(name, v);
        rs->update();
    }
    tx.commit();
    result.imported = static_cast<int>(rows.size());
    return result;
}

} // namespace

QString exportCustomers(Database& work) {
    return exportCopy(customers, work);
}
QString exportProducts(Database& work) {
    return exportCopy(products, work);
}
CsvImport importCustomers(Database& work, const QString& text) {
    return importCopy(customers, work, text);
}
CsvImport importProducts(Database& work, const QString& text) {
    return importCopy(products, work, text);
}

std::optional<Currency> readPrice(const QString& text) {
    // Full-width digits, commas and ￥ become their plain forms.
    QString t = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (t.endsWith(u'円'))
        t.chop(1);
    for (const QChar c : {QChar(u'¥'), QChar(u'\\'), QChar(u','), QChar(u' ')})
        t.remove(c);
    if (t.isEmpty())
        return std::nullopt;
    return Currency::parse(t);
}

std::optional<bool> readFlag(const QString& text) {
    const QString t = text.trimmed().normalized(QString::NormalizationForm_KC).toUpper();
    // 〇 (the kanji zero) is what the sheets use; ○ (a circle) is how many type it.
    if (t == QLatin1String("1") || t == QLatin1String("TRUE") || t == QStringLiteral("〇") || t == QStringLiteral("○"))
        return true;
    if (t.isEmpty() || t == QLatin1String("0") || t == QLatin1String("FALSE") || t == QStringLiteral("空"))
        return false;
    return std::nullopt;
}

QString skippedLinesText(const QList<int>& lines) {
    constexpr int Shown = 30; // a box taller than the screen helps nobody
    QStringList parts;
    for (qsizetype i = 0; i < lines.size() && i < Shown; ++i)
        parts << QString::number(lines[i]) + QStringLiteral("行目");
    QString text = parts.join(QStringLiteral("、"));
    if (lines.size() > Shown)
        text += QStringLiteral("、ほか") + QString::number(lines.size() - Shown) + QStringLiteral("行");
    return text;
}
