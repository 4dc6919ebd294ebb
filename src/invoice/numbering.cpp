#include "invoice/numbering.h"

#include "book/kinds.h"
#include "invoice/qualified.h"

#include "store/database.h"
#include "store/statements.h"

#include <cstdint>
#include <optional>

namespace {

std::optional<std::int64_t> wholeNumber(const QString& text) {
    bool ok = false;
    const qlonglong n = text.trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return static_cast<std::int64_t>(n);
}

} // namespace

QString Proc管理(Database& main, const QString& item, const QString& mode, const QString& value) {
    if (!CounterItems.contains(item))
        return QString();
    const bool get = mode == QStringLiteral("Get");
    const bool set = mode == QStringLiteral("Set");
    if (!get && !set)
        return QString();

    Transaction t(main);
    auto rs = main.openRecordset(sql::S1());
    QString result;
    if (rs->eof()) {
        if (get) {
            result = QStringLiteral("1");
        } else if (const auto v = wholeNumber(value)) {
            // The record begins a new book's settings: a record without a scheme would read as a
            // book from before schemes existed.
            rs->addNew();
            rs->setField(item, *v);
            rs->setField(QStringLiteral("税率方式"), Scheme10_8);
            rs->update();
        }
    } else {
        rs->moveFirst();
        const Value stored = rs->field(item);
        const bool blank = stored.isNull() || (stored.isText() && stored.toText().isEmpty());
        if (get) {
            result = blank ? QStringLiteral("1") : QString::number(stored.toInt() + 1);
        } else if (const auto v = wholeNumber(value)) {
            // A counter never set takes the registered number, so the next offer is past it.
            if (blank || stored.toInt() < *v) {
                rs->edit();
                rs->setField(item, *v);
                rs->update();
            }
        }
    }
    rs->close();
    t.commit();
    return result;
}
