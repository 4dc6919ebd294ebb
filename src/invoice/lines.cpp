#include "invoice/lines.h"

#include "invoice/qualified.h"
#include "invoice/rounding.h"
#include "store/database.h"
#include "store/statements.h"

#include <functional>
#include <vector>

namespace {
const QString LineNumber = QStringLiteral("行番号");
const QString Exempt = QStringLiteral("非課税");

// One work line: its fields by name, its number left out, so lines can move between numbers.
using Line = std::vector<std::pair<QString, Value>>;

Line blankLine(const QStringList& fields) {
    Line l;
    for (const QString& f : fields)
        if (f != LineNumber)
            l.emplace_back(f, f == Exempt ? Value(false) : Value());
    return l;
}

// What the user fills in; other fields may carry defaults on an empty line.
bool holdsData(const Line& l) {
    static const QStringList typed = {QStringLiteral("品名"), QStringLiteral("数量"), QStringLiteral("単位"),
                                      QStringLiteral("単価"), QStringLiteral("金額")};
    for (const auto& [field, v] : l) {
        if (field == Exempt ? v.toBool() : typed.contains(field) && !v.isNull())
            return true;
    }
    return false;
}

// Reads the lines in number order, lets `change` rearrange them (false: leave everything) and
// writes back only the lines that differ, each staying under its number.
bool rewriteLines(Database& work, const std::function<bool(std::vector<Line>&, const QStringList&)>& change) {
    Transaction t(work);
    auto rs = work.openRecordset(sql::I8());
    const QStringList fields = rs->fieldNames();
    std::vector<Line> before;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        Line l;
        for (const QString& f : fields)
            if (f != LineNumber)
                l.emplace_back(f, rs->field(f));
        before.push_back(std::move(l));
    }
    std::vector<Line> after = before;
    if (!change(after, fields))
        return false;
    std::size_t i = 0;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext(), ++i) {
        if (after[i] == before[i])
            continue;
        rs->edit();
        for (const auto& [f, v] : after[i])
            rs->setField(f, v);
        rs->update();
    }
    t.commit();
    return true;
}

// The index of a line number among the lines read, or -1 when there is no such line.
int lineIndex(const std::vector<Line>& lines, int line) {
    return line >= 1 && line <= static_cast<int>(lines.size()) ? line - 1 : -1;
}
} // namespace

void Clear明細ワーク(Database& work) {
    Transaction t(work);
    work.execute(sql::I10());
    auto rs = work.openRecordset(sql::I11());
    for (int i = 0; i < InvoiceLineCount; ++i) {
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

void Clear明細行(Database& work, int line) {
    rewriteLines(work, [line](std::vector<Line>& lines, const QStringList& fields) {
        const int i = lineIndex(lines, line);
        if (i < 0)
            return false;
        lines[i] = blankLine(fields);
        return true;
    });
}

void Delete明細行(Database& work, int line) {
    rewriteLines(work, [line](std::vector<Line>& lines, const QStringList& fields) {
        const int i = lineIndex(lines, line);
        if (i < 0)
            return false;
        lines.erase(lines.begin() + i);
        lines.push_back(blankLine(fields));
        return true;
    });
}

bool Insert明細行(Database& work, int line) {
    bool room = true;
    rewriteLines(work, [line, &room](std::vector<Line>& lines, const QStringList& fields) {
        const int i = lineIndex(lines, line);
        if (i < 0)
            return false;
        if (holdsData(lines.back())) {
            room = false;
            return false;
        }
        lines.pop_back();
        lines.insert(lines.begin() + i, blankLine(fields));
        return true;
    });
    return room;
}

WorkLines CopyLines(Database& work) {
    WorkLines copy;
    rewriteLines(work, [&copy](std::vector<Line>& lines, const QStringList&) {
        copy = lines;
        return false;
    });
    return copy;
}

void PutLines(Database& work, const WorkLines& lines) {
    rewriteLines(work, [&lines](std::vector<Line>& now, const QStringList&) {
        if (now.size() != lines.size())
            return false;
        now = lines;
        return true;
    });
}
