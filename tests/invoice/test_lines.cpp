#include "helpers.h"
#include "invoice/lines.h"
#include "store/statements.h"
#include "support/testdb.h"

#include <QtTest>

class LinesTest : public QObject {
    Q_OBJECT
  private slots:
    void clearGivesThirtyBlankLines();
    void pickListFollowsMaster();
    void productLookup();
    void unitListFillsFirstFreeSlot();
    void unitListFull();
    void lineOperations_data();
    void lineOperations();
};

namespace {

QStringList codeList(Database& main, const QString& key) {
    QStringList out;
    auto rs = main.openRecordset(sql::K1(key));
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        const Value v = rs->field(txt("sname"));
        out << QString::number(rs->field(txt("code")).toInt()) + u'=' + (v.isNull() ? txt("-") : v.toText());
    }
    return out;
}

} // namespace

void LinesTest::clearGivesThirtyBlankLines() {
    TestData data;
    auto work = data.openWork();
    Clear明細ワーク(*work);
    setLine(*work, 3, Value(txt("残り")), Value(1.5), Value(txt("個")), money("10"), money("15"), true);
    work->executeRaw(txt("INSERT INTO w明細 (行番号, 品名) VALUES (31, 'extra')"));
    Clear明細ワーク(*work);

    auto rs = work->openRecordset(sql::I8());
    QCOMPARE(rs->recordCount(), 30);
    int expected = 1;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext(), ++expected) {
        QCOMPARE(rs->field(txt("行番号")), Value(std::int64_t(expected)));
        QCOMPARE(rs->field(txt("非課税")), Value(false));
        for (const char* f : {"品名", "数量", "単位", "単価", "金額"})
            QVERIFY2(rs->field(txt(f)).isNull(), f);
    }
}

void LinesTest::pickListFollowsMaster() {
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    addProduct(*main, txt("みかん"), Value(txt("箱")), money("800"), false);
    addProduct(*main, txt("あんず"), Value(), Value(), true);
    SetDD品名(*work, data.mainPath());
    const QStringList first = dump(*work, txt("w商品参照"));
    QCOMPARE(first, QStringList({txt("品名=あんず|単位=<null>|単価=<null>|非課税=True|税率=<null>"),
                                 txt("品名=みかん|単位=箱|単価=800|非課税=False|税率=<null>")}));
    // Refilling replaces the snapshot rather than adding to it.
    addProduct(*main, txt("いちご"), Value(txt("パック")), money("450.5"), false);
    SetDD品名(*work, data.mainPath());
    QCOMPARE(dump(*work, txt("w商品参照")),
             QStringList({first[0], txt("品名=いちご|単位=パック|単価=450.5|非課税=False|税率=<null>"), first[1]}));
}

void LinesTest::productLookup() {
    TestData data;
    auto main = data.openMain();
    addProduct(*main, txt("りんご"), Value(txt("個")), money("120"), false);
    addProduct(*main, txt("見本"), Value(txt("枚")), money("0"), false);
    addProduct(*main, txt("O'Neil"), Value(txt("本")), money("500"), true);
    addProduct(*main, txt("手数料"), Value(), Value(), true);

    ProductLookup p = Seek商品(*main, txt("  りんご　"));
    QCOMPARE(p.品名, txt("りんご"));
    QCOMPARE(p.単位, txt("個"));
    QCOMPARE(p.単価, Currency::fromWhole(120));
    QCOMPARE(p.非課税, false);

    p = Seek商品(*main, txt("O'Neil"));
    QCOMPARE(p.品名, txt("O'Neil"));
    QCOMPARE(p.単位, txt("本"));
    QCOMPARE(p.単価, Currency::fromWhole(500));
    QCOMPARE(p.非課税, true);

    // Unknown right after a found one: nothing of the earlier lookup comes back.
    for (const char* unknown : {"O'", "ぶどう", "りん", ""}) {
        p = Seek商品(*main, txt(unknown));
        QCOMPARE(p.品名, txt(unknown));
        QCOMPARE(p.単位, QString());
        QCOMPARE(p.単価, Currency());
        QCOMPARE(p.非課税, false);
        p = Seek商品(*main, txt("O'Neil"));
    }

    p = Seek商品(*main, txt("見本"));
    QCOMPARE(p.単位, txt("枚"));
    QCOMPARE(p.単価, Currency());

    p = Seek商品(*main, txt("手数料 "));
    QCOMPARE(p.品名, txt("手数料"));
    QCOMPARE(p.単位, QString());
    QCOMPARE(p.単価, Currency());
    QCOMPARE(p.非課税, true);
}

void LinesTest::unitListFillsFirstFreeSlot() {
    TestData data;
    auto main = data.openMain();
    // Slots are taken in code order, not in the order the rows were made.
    main->executeRaw(txt("INSERT INTO コードマスタ (kcode, code, sname) VALUES "
                         "('色', 5, NULL), ('色', 1, '赤'), ('色', 3, NULL), ('形', 2, NULL)"));
    QVERIFY(AddCodeValue(*main, txt("色"), txt("青")));
    QCOMPARE(codeList(*main, txt("色")), QStringList({txt("1=赤"), txt("3=青"), txt("5=-")}));
    QVERIFY(!AddCodeValue(*main, txt("色"), txt("青")));
    QVERIFY(!AddCodeValue(*main, txt("色"), txt("赤")));
    QCOMPARE(codeList(*main, txt("色")), QStringList({txt("1=赤"), txt("3=青"), txt("5=-")}));
    QCOMPARE(codeList(*main, txt("形")), QStringList({txt("2=-")}));

    // The delivered unit list: the first unit goes to slot 1, a repeat goes nowhere.
    QVERIFY(AddCodeValue(*main, txt("単位"), txt("個")));
    QVERIFY(!AddCodeValue(*main, txt("単位"), txt("個")));
    QVERIFY(AddCodeValue(*main, txt("単位"), txt("箱")));
    const QStringList units = codeList(*main, txt("単位"));
    QCOMPARE(units.mid(0, 3), QStringList({txt("1=個"), txt("2=箱"), txt("3=-")}));
    QCOMPARE(units.filter(txt("=個")).size(), 1);
    QCOMPARE(units.filter(txt("=-")).size(), units.size() - 2);

    QVERIFY(!AddCodeValue(*main, txt("ない"), txt("個")));
    QCOMPARE(codeList(*main, txt("ない")), QStringList());
}

void LinesTest::unitListFull() {
    TestData data;
    auto main = data.openMain();
    main->executeRaw(txt("INSERT INTO コードマスタ (kcode, code, sname) VALUES ('色', 1, '赤'), ('色', 2, NULL)"));
    QVERIFY(AddCodeValue(*main, txt("色"), txt("緑")));
    const QStringList before = dumpMain(*main);
    QVERIFY(!AddCodeValue(*main, txt("色"), txt("黄")));
    QCOMPARE(dumpMain(*main), before);
}

namespace {
// The names of lines 1 to 30 as one text, "-" for a line without a name.
QString names(Database& work) {
    QStringList out;
    auto rs = work.openRecordset(sql::I8());
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        out << (rs->field(txt("品名")).isNull() ? txt("-") : rs->field(txt("品名")).toText());
    return out.join(u' ');
}
QString lines(const QStringList& first, int blanks) {
    QStringList out = first;
    for (int i = 0; i < blanks; ++i)
        out << txt("-");
    return out.join(u' ');
}
} // namespace

void LinesTest::lineOperations_data() {
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("line");
    QTest::addColumn<bool>("line30Used"); // line 30 holds a unit only, or nothing
    QTest::addColumn<bool>("done");
    QTest::addColumn<QString>("after");
    QTest::newRow("clear line 2") << "clear" << 2 << false << true << lines({"A", "-", "C"}, 27);
    QTest::newRow("insert at 2") << "insert" << 2 << false << true << lines({"A", "-", "B", "C"}, 26);
    QTest::newRow("insert below the last") << "insert" << 4 << false << true << lines({"A", "B", "C"}, 27);
    QTest::newRow("insert refused") << "insert" << 1 << true << false << lines({"A", "B", "C"}, 27);
    QTest::newRow("delete line 1") << "delete" << 1 << false << true << lines({"B", "C"}, 28);
    QTest::newRow("delete moves line 30 up") << "delete" << 3 << true << true << lines({"A", "B"}, 28);
    QTest::newRow("line out of range") << "delete" << 31 << false << true << lines({"A", "B", "C"}, 27);
}

void LinesTest::lineOperations() {
    QFETCH(QString, op);
    QFETCH(int, line);
    QFETCH(bool, line30Used);
    QFETCH(bool, done);
    QFETCH(QString, after);
    TestData data;
    auto work = data.openWork();
    Clear明細ワーク(*work);
    setLine(*work, 1, Value(txt("A")), Value(2.5), Value(txt("個")), money("100"), money("250"), true);
    setLine(*work, 2, Value(txt("B")), Value(), Value(), Value(), money("80"));
    setLine(*work, 3, Value(txt("C")), Value(1.0), Value(), money("5"), money("5"));
    if (line30Used)
        setLine(*work, 30, Value(), Value(), Value(txt("箱")), Value(), Value());
    const QStringList before = dump(*work, txt("w明細"));
    bool result = true;
    if (op == txt("clear"))
        Clear明細行(*work, line);
    else if (op == txt("insert"))
        result = Insert明細行(*work, line);
    else
        Delete明細行(*work, line);
    QCOMPARE(result, done);
    if (!done) {
        QCOMPARE(dump(*work, txt("w明細")), before);
        return;
    }
    QCOMPARE(names(*work), after);
    // Lines keep their numbers 1 to 30; a moved line takes every field along; a new line is blank.
    const QStringList rows = dump(*work, txt("w明細"));
    QCOMPARE(rows.size(), 30);
    for (int i = 0; i < 30; ++i)
        QVERIFY(rows[i].startsWith(txt("行番号=%1|").arg(i + 1)));
    const int a = after.split(u' ').indexOf(txt("A"));
    if (a >= 0)
        QCOMPARE(rows[a].section(u'|', 1), before[0].section(u'|', 1));
    const int blank = after.split(u' ').indexOf(txt("-"));
    QVERIFY(rows[blank].section(u'|', 1).startsWith(
        txt("品名=<null>|数量=<null>|単位=<null>|単価=<null>|金額=<null>|非課税=False")));
    if (op == txt("delete") && line30Used)
        QVERIFY(rows[28].contains(txt("単位=箱")));
}

int runLinesTests(int argc, char** argv) {
    LinesTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_lines.moc"
