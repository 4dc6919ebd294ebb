#include "helpers.h"

#include <algorithm>

void addRow(Database& db, const QString& table, const Fields& fields) {
    auto rs = db.openRecordset(QStringLiteral("select * from ") + table);
    rs->addNew();
    for (const auto& [name, value] : fields)
        rs->setField(name, value);
    rs->update();
}

namespace {
QString show(const Value& v) {
    if (v.isNull())
        return QStringLiteral("<null>");
    if (v.isBool())
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (v.isCurrency())
        return v.toCurrency().toString();
    return v.toText();
}
} // namespace

QStringList dump(Database& db, const QString& table) {
    // What another PC may have changed is checked on its own (test_concurrent_masters).
    static const QStringList bookkeeping = {QStringLiteral("更新回数"), QStringLiteral("読込名"), QStringLiteral("変更")};
    QStringList out;
    auto rs = db.openRecordset(QStringLiteral("select * from ") + table);
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        QStringList cells;
        for (const QString& f : rs->fieldNames())
            if (!bookkeeping.contains(f))
                cells << f + u'=' + show(rs->field(f));
        out << cells.join(u'|');
    }
    return out;
}

QStringList sorted(QStringList rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList sortedDump(Database& db, const QString& table) {
    return sorted(dump(db, table));
}

int countRows(Database& db, const QString& table) {
    return static_cast<int>(dump(db, table).size());
}
