#include "invoice/lines.h"

#include "invoice/qualified.h"
#include "invoice/rounding.h"
#include "store/database.h"
#include "store/statements.h"

namespace {
constexpr int LineCount = 30;
} // namespace

void Clear明細ワーク(Database& work) {
    Transaction t(work);
    work.execute(sql::I10());
    auto rs = work.openRecordset(sql::I11());
    for (int i = 0; i < LineCount; ++i) {
        rs->addNew();
        rs->setField(QStringLiteral("行番号"), i + 1);
        rs->setField(QStringLiteral("非課税"), false);
        rs->setField(QStringLiteral("単価"), Value());
        rs->setField(QStringLiteral("数量"), Value());
        rs->setField(QStringLiteral("金額"), Value());
        rs->update();
    }
    rs->close();
    t.commit();
}

void SetDD品名(Database& work, const QString& mainDbPath) {
    Transaction t(work);
    work.execute(sql::P9());
    work.execute(sql::P10(mainDbPath));
    t.commit();
}

ProductLookup Seek商品(Database& main, const QString& typedName) {
    ProductLookup found;
    found.品名 = typedName.trimmed();
    auto rs = main.openRecordset(sql::P1(found.品名));
    if (!rs->eof()) {
        found.単位 = rs->field(QStringLiteral("単位")).toText();
        found.単価 = rs->field(QStringLiteral("単価")).toCurrency();
        found.非課税 = rs->field(QStringLiteral("非課税")).toBool();
        found.税率 = LineRate(rs->field(QStringLiteral("税率")), found.非課税);
    }
    rs->close();
    return found;
}

bool AddCodeValue(Database& main, const QString& listKey, const QString& value) {
    // Reading and filling the slot under one lock, so the value never lands twice.
    Transaction t(main);
    auto rs = main.openRecordset(sql::K1(listKey));
    const QString sname = QStringLiteral("sname");
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        const Value v = rs->field(sname);
        if (!v.isNull() && v.toText() == value)
            return false;
    }
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        if (rs->field(sname).isNull()) {
            rs->edit();
            rs->setField(sname, value);
            rs->update();
            t.commit();
            return true;
        }
    }
    return false;
}

bool InRange(RangeColumn c, const QString& cellText) {
    if (cellText.trimmed().isEmpty())
        return true;
    const auto v = CellNumber(cellText);
    if (!v)
        return false;
    double limit = 0;
    switch (c) {
    case RangeColumn::Quantity:
        limit = 999999.99;
        break;
    case RangeColumn::Price:
        limit = 99999999.99;
        break;
    case RangeColumn::Amount:
        limit = 9999999999.0;
        break;
    }
    return !(*v > limit || *v < -limit);
}
