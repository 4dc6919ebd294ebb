#include "exchange/master_csv.h"

#include "exchange/csv.h"
#include "messages/msg.h"
#include "store/statements.h"
#include "store/tables.h"

#include <QHash>

namespace {

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
        if (!WorkCopyMarks.contains(name))
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

// How often a long import tells how far it has come (and may be stopped): in records.
constexpr int ProgressEvery = 2000;

// Whether the file holds more rows than CsvMaxRows after the header, told before anything
// changes; nullopt when the user stopped the count. A file with few enough line breaks cannot
// have more; only otherwise are its records counted, with progress, as they take a while.
std::optional<bool> tooManyRows(const QString& text, const CsvProgress& progress) {
    if (text.count(u'\n') + text.count(u'\r') < CsvMaxRows)
        return false;
    CsvReader reader(text);
    CsvRecord rec;
    int records = 0;
    while (reader.next(rec)) {
        if (++records > CsvMaxRows + 1)
            return true;
        if (progress && records % ProgressEvery == 0 && !progress(static_cast<int>(reader.position() * 1000 / reader.size())))
            return std::nullopt;
    }
    return false;
}

// Whether any line of the record is one that did not decode cleanly.
bool garbled(const CsvRecord& rec, const QList<int>& badLines) {
    const auto it = std::lower_bound(badLines.begin(), badLines.end(), rec.line);
    return it != badLines.end() && *it <= rec.lastLine;
}

CsvImport importCopy(const WorkCopy& w, Database& work, const DecodedCsv& file, const CsvProgress& progress) {
    QHash<QString, QString> types; // the work copy's columns the CSV may fill
    for (const auto& [name, type] : work.columns(w.table))
        if (!WorkCopyMarks.contains(name))
            types.insert(name, type);
    CsvReader reader(file.text);
    CsvRecord rec;
    QStringList header;
    if (reader.next(rec)) {
        if (garbled(rec, file.badLines))
            throw CsvError(msg::text(QStringLiteral("文言"), QStringLiteral("見出し文字化け")));
        for (const QString& name : rec.fields)
            header << unguardFormula(name).trimmed();
    }
    if (!header.contains(w.key))
        throw CsvError(QStringLiteral("1行目の見出しに「") + w.key +
                       QStringLiteral("」の列がありません。1行目に項目名を入れてください。"));
    QList<std::pair<int, QString>> mapped; // CSV column, field; the first of a repeated name wins
    for (int i = 0; i < header.size(); ++i)
        if (types.contains(header[i]) &&
            std::none_of(mapped.begin(), mapped.end(), [&](const auto& m) { return m.second == header[i]; }))
            mapped.append({i, header[i]});

    CsvImport result;
    const std::optional<bool> tooMany = tooManyRows(file.text, progress);
    if (!tooMany) {
        result.cancelled = true;
        return result;
    }
    if (*tooMany)
        throw CsvError(msg::text(QStringLiteral("文言"), QStringLiteral("大きすぎ"), QStringLiteral("このファイル")));

    // The rows go in as they are read, so a large file is never held whole; whatever stops the
    // import (a cancel, a failed write) rolls the work copy back.
    Transaction tx(work, TxStart::Deferred);
    work.execute(w.clear());
    auto rs = work.openRecordset(w.edit());
    int rows = 0;
    while (reader.next(rec)) {
        if (progress && ++rows % ProgressEvery == 0 &&
            !progress(static_cast<int>(reader.position() * 1000 / reader.size()))) {
            result.cancelled = true;
            return result;
        }
        if (std::all_of(rec.fields.begin(), rec.fields.end(), [](const QString& f) { return f.trimmed().isEmpty(); }))
            continue; // an empty row a spreadsheet left behind
        if (garbled(rec, file.badLines)) {
            result.skipped << SkippedRows{rec.line, rec.lastLine, true};
            continue;
        }
        bool readable = !rec.unterminated && rec.fields.size() <= header.size();
        std::vector<std::pair<QString, Value>> row;
        for (const auto& [col, name] : mapped) {
            if (!readable)
                break;
            const auto v = readCell(name, types.value(name), unguardFormula(rec.fields.value(col)));
            if (!v || (name == w.key && v->isNull()))
                readable = false;
            else
                row.emplace_back(name, *v);
        }
        if (!readable) {
            result.skipped << SkippedRows{rec.line, rec.unterminated ? rec.lastLine : rec.line, false};
            continue;
        }
        rs->addNew();
        for (const auto& [name, v] : row)
            rs->setField(name, v);
        rs->update();
        ++result.imported;
    }
    if (result.imported > 0) // nothing readable: the page keeps what it shows
        tx.commit();
    return result;
}

} // namespace

QString exportCustomers(Database& work) {
    return exportCopy(customers, work);
}
QString exportProducts(Database& work) {
    return exportCopy(products, work);
}
CsvImport importCustomers(Database& work, const DecodedCsv& file, const CsvProgress& progress) {
    return importCopy(customers, work, file, progress);
}
CsvImport importProducts(Database& work, const DecodedCsv& file, const CsvProgress& progress) {
    return importCopy(products, work, file, progress);
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

QString skippedLinesText(const QList<SkippedRows>& skipped) {
    constexpr int Shown = 30; // a box taller than the screen helps nobody
    const QString words = QStringLiteral("文言");
    QStringList parts;
    for (qsizetype i = 0; i < skipped.size() && i < Shown; ++i) {
        const SkippedRows& s = skipped[i];
        QString part = s.last > s.first
                           ? msg::text(words, QStringLiteral("行範囲"), QStringLiteral("%1～%2").arg(s.first).arg(s.last))
                           : msg::text(words, QStringLiteral("行"), QString::number(s.first));
        if (s.garbled)
            part = msg::text(words, QStringLiteral("文字化け"), part);
        parts << part;
    }
    QString text = parts.join(QStringLiteral("、"));
    qint64 more = 0; // lines, not entries: a swallowed range counts each of its lines
    for (qsizetype i = Shown; i < skipped.size(); ++i)
        more += skipped[i].last - skipped[i].first + 1;
    if (more > 0)
        text += msg::text(words, QStringLiteral("ほか"), QString::number(more));
    return text;
}
