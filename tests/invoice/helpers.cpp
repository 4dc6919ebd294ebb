#include "helpers.h"

#include "store/statements.h"
#include "store/tables.h"

#include <stdexcept>

void setLine(Database& work, int row, const Value& name, const Value& qty, const Value& unit, const Value& price,
             const Value& amount, bool exempt) {
    auto rs = work.openRecordset(sql::I8());
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        if (rs->field(txt("行番号")).toInt() == row)
            break;
    if (rs->eof())
        throw std::runtime_error("no such work row");
    rs->edit();
    rs->setField(txt("品名"), name);
    rs->setField(txt("数量"), qty);
    rs->setField(txt("単位"), unit);
    rs->setField(txt("単価"), price);
    rs->setField(txt("金額"), amount);
    rs->setField(txt("非課税"), exempt);
    rs->update();
}

QStringList dump(Database& db, const QString& table) {
    QStringList out;
    auto rs = db.openRecordset(txt("select * from ") + table);
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        QStringList cells;
        for (const QString& f : rs->fieldNames()) {
            const Value v = rs->field(f);
            cells << f + u'=' + (v.isNull() ? txt("<null>") : v.toText());
        }
        out << cells.join(u'|');
    }
    return out;
}

QStringList dumpMain(Database& main) {
    QStringList out;
    for (const QString& t : mainTables)
        out << u'[' + t + u']' << dump(main, t);
    return out;
}

void addProduct(Database& main, const QString& name, const Value& unit, const Value& price, bool exempt) {
    auto rs = main.openRecordset(sql::P1(name));
    rs->addNew();
    rs->setField(txt("品名"), name);
    rs->setField(txt("単位"), unit);
    rs->setField(txt("単価"), price);
    rs->setField(txt("非課税"), exempt);
    rs->update();
}
