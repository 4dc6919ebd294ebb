#include "helpers.h"
#include "invoice/numbering.h"
#include "store/statements.h"
#include "support/testdb.h"

#include <QtTest>

class NumberingTest : public QObject {
    Q_OBJECT
  private slots:
    void noCompanyRecord();
    void nullCounterTakesRegisteredNumber();
    void counterOnlyRises();
    void otherItemsAndModes();
};

namespace {

const QString Item = txt("最大請求書番号");
QString get(Database& main) {
    return Proc管理(main, Item, txt("Get"), txt("0"));
}
QString set(Database& main, const QString& v) {
    return Proc管理(main, Item, txt("Set"), v);
}

void addCompany(Database& main, const Value& counter) {
    auto rs = main.openRecordset(sql::S1());
    rs->addNew();
    rs->setField(txt("自社名"), Value(txt("山田商店")));
    rs->setField(txt("税区分"), Value(txt("内税")));
    rs->setField(Item, counter);
    rs->update();
}

} // namespace

void NumberingTest::noCompanyRecord() {
    TestData data;
    auto main = data.openMain();
    QCOMPARE(get(*main), txt("1"));
    QCOMPARE(dump(*main, txt("自社情報")), QStringList()); // offering reserves nothing
    QCOMPARE(set(*main, txt("1")), QString());
    // The record begins a new book, so it carries today's scheme.
    QCOMPARE(dump(*main, txt("自社情報")),
             QStringList({txt("自社名=<null>|自社情報=<null>|税区分=<null>|LineColor1=<null>|最大請求書番号=1|登録番号=<null>|税率方式=10%・8%|端数処理=<null>|振込先=<null>|支払期限既定=<null>|日付表記=<null>|PeppolID=<null>|郵便番号=<null>|住所=<null>"
                                  "|最大見積書番号=<null>|最大納品書番号=<null>|最大領収書番号=<null>|締め明細印刷=False")}));
    QCOMPARE(get(*main), txt("2"));
}

void NumberingTest::nullCounterTakesRegisteredNumber() {
    TestData data;
    auto main = data.openMain();
    addCompany(*main, Value());
    QCOMPARE(get(*main), txt("1"));
    set(*main, txt("5"));
    QCOMPARE(get(*main), txt("6"));
    QCOMPARE(dump(*main, txt("自社情報")),
             QStringList({txt("自社名=山田商店|自社情報=<null>|税区分=内税|LineColor1=<null>|最大請求書番号=5|登録番号=<null>|"
                              "税率方式=<null>|端数処理=<null>|振込先=<null>|支払期限既定=<null>|日付表記=<null>|PeppolID=<null>|郵便番号=<null>|住所=<null>"
                                  "|最大見積書番号=<null>|最大納品書番号=<null>|最大領収書番号=<null>|締め明細印刷=False")}));
}

void NumberingTest::counterOnlyRises() {
    TestData data;
    auto main = data.openMain();
    addCompany(*main, Value(41));
    QCOMPARE(get(*main), txt("42"));
    QCOMPARE(get(*main), txt("42"));
    set(*main, txt("100"));
    QCOMPARE(get(*main), txt("101"));
    set(*main, txt("7"));
    QCOMPARE(get(*main), txt("101"));
    set(*main, txt("100"));
    QCOMPARE(get(*main), txt("101"));
    set(*main, txt("101"));
    QCOMPARE(get(*main), txt("102"));
    QCOMPARE(dump(*main, txt("自社情報")).size(), 1);
}

void NumberingTest::otherItemsAndModes() {
    TestData data;
    auto main = data.openMain();
    QCOMPARE(Proc管理(*main, txt("最大伝票番号"), txt("Get"), txt("0")), QString());
    QCOMPARE(Proc管理(*main, txt("最大伝票番号"), txt("Set"), txt("9")), QString());
    QCOMPARE(Proc管理(*main, Item, txt("get"), txt("9")), QString());
    QCOMPARE(Proc管理(*main, Item, txt("Put"), txt("9")), QString());
    QCOMPARE(dump(*main, txt("自社情報")), QStringList());
    addCompany(*main, Value(3));
    set(*main, QString()); // nothing to raise it to
    Proc管理(*main, txt("最大伝票番号"), txt("Set"), txt("9"));
    QCOMPARE(get(*main), txt("4"));
}

int runNumberingTests(int argc, char** argv) {
    NumberingTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_numbering.moc"
