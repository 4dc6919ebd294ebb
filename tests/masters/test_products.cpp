#include "helpers.h"
#include "masters/products.h"
#include "support/testdb.h"

#include <QtTest>

namespace {
const QString Master = QStringLiteral("商品マスタ");
const QString Work = QStringLiteral("w商品マスタ");

Value yen(const char* decimal) {
    return *Currency::parse(QString::fromUtf8(decimal));
}
QString row(const QString& name, const QString& unit, const QString& price, bool exempt) {
    return "品名=" + name + "|単位=" + unit + "|単価=" + price + "|非課税=" + (exempt ? "True" : "False") +
           "|税率=<null>";
}
QString workRow(const QString& name, const QString& unit, const QString& price, bool exempt, bool ticked) {
    return (ticked ? "チェック=True|" : "チェック=False|") + row(name, unit, price, exempt);
}
} // namespace

class TestProducts : public QObject {
    Q_OBJECT
    std::unique_ptr<TestData> data;
    std::unique_ptr<Database> main, work;

    void master(const QString& name, const QString& unit, const Value& price, bool exempt) {
        addRow(*main, Master, {{"品名", name}, {"単位", unit}, {"単価", price}, {"非課税", exempt}});
    }
    void typed(const Value& name, const Value& unit, const Value& price, bool exempt, bool ticked = false) {
        addRow(*work, Work,
               {{"品名", name}, {"単位", unit}, {"単価", price}, {"非課税", exempt}, {"チェック", ticked}});
    }

  private slots:
    void init() {
        data = std::make_unique<TestData>();
        main = data->openMain();
        work = data->openWork();
    }
    void cleanup() {
        work.reset();
        main.reset();
        data.reset();
    }

    void readCopiesEveryFieldSortedUnticked() {
        master("ボルト", "本", yen("12.5"), false);
        master("アンカー", "個", yen("300"), true);
        Read商品マスタ(*work, data->mainPath());
        QCOMPARE(dump(*work, Work), QStringList({workRow("アンカー", "個", "300", true, false),
                                                 workRow("ボルト", "本", "12.5", false, false)}));
    }

    void registerReplacesUnitPriceAndExemptionWithoutDuplicate() {
        master("ボルト", "本", yen("10"), false);
        typed(QStringLiteral("ボルト"), QStringLiteral("箱"), yen("1200.25"), true);
        typed(QStringLiteral("ナット"), Value(), Value(), false);
        Entry商品情報(*main, *work);
        QCOMPARE(sortedDump(*main, Master),
                 sorted({"品名=ナット|単位=<null>|単価=<null>|非課税=False|税率=<null>", row("ボルト", "箱", "1200.25", true)}));
    }

    void editedNameAddsNewAndKeepsOld() {
        master("ボルト", "本", yen("10"), false);
        Read商品マスタ(*work, data->mainPath());
        work->executeRaw(QStringLiteral("UPDATE w商品マスタ SET 品名 = 'ボルトM8'"));
        Entry商品情報(*main, *work);
        QCOMPARE(sortedDump(*main, Master),
                 sorted({row("ボルト", "本", "10", false), row("ボルトM8", "本", "10", false)}));
    }

    void rowsWithoutNameAreNotWritten() {
        typed(Value(), QStringLiteral("本"), yen("1"), false);
        typed(QString(), QStringLiteral("個"), yen("2"), false);
        Entry商品情報(*main, *work);
        QCOMPARE(countRows(*main, Master), 0);
    }

    void clearThenRegisterWritesNothing() {
        master("ボルト", "本", yen("10"), false);
        Read商品マスタ(*work, data->mainPath());
        Clear商品情報(*work);
        QCOMPARE(countRows(*work, Work), 0);
        Entry商品情報(*main, *work);
        QCOMPARE(dump(*main, Master), QStringList({row("ボルト", "本", "10", false)}));
    }

    void deleteWithoutTickDoesNothing() {
        master("ボルト", "本", yen("10"), false);
        Read商品マスタ(*work, data->mainPath());
        QVERIFY(!Delete商品(*main, *work));
        QCOMPARE(countRows(*main, Master), 1);
        QCOMPARE(countRows(*work, Work), 1);
    }

    void deleteTwoTickedLeavesMasterAndWorkCopy() {
        master("アンカー", "個", yen("300"), false);
        master("ナット", "個", yen("5"), false);
        master("ボルト", "本", yen("10"), false);
        Read商品マスタ(*work, data->mainPath());
        work->executeRaw(QStringLiteral("UPDATE w商品マスタ SET チェック = 1 WHERE 品名 IN ('アンカー', 'ボルト')"));
        QVERIFY(Delete商品(*main, *work));
        QCOMPARE(dump(*main, Master), QStringList({row("ナット", "個", "5", false)}));
        QCOMPARE(dump(*work, Work), QStringList({workRow("ナット", "個", "5", false, false)}));
    }

    void apostropheNamesAreExact() {
        const QString name = QStringLiteral("6' ladder");
        master(name, "台", yen("9800"), false);
        master("ボルト", "本", yen("10"), false);
        Read商品マスタ(*work, data->mainPath());
        work->executeRaw(QStringLiteral("UPDATE w商品マスタ SET 単価 = 99000000 WHERE 品名 = '6'' ladder'"));
        Entry商品情報(*main, *work);
        QCOMPARE(sortedDump(*main, Master), sorted({row(name, "台", "9900", false), row("ボルト", "本", "10", false)}));
        work->executeRaw(QStringLiteral("UPDATE w商品マスタ SET チェック = 1 WHERE 品名 = '6'' ladder'"));
        QVERIFY(Delete商品(*main, *work));
        QCOMPARE(dump(*main, Master), QStringList({row("ボルト", "本", "10", false)}));
    }

    void registerFailingHalfWayChangesNothing() {
        master("ボルト", "本", yen("10"), false);
        const QStringList before = dump(*main, Master);
        typed(QStringLiteral("ボルト"), QStringLiteral("箱"), yen("1000"), true);
        typed(QStringLiteral("BAD"), QStringLiteral("個"), yen("1"), false);
        main->executeRaw(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON 商品マスタ WHEN NEW.品名 = 'BAD' "
                                        "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QVERIFY_THROWS_EXCEPTION(DbError, Entry商品情報(*main, *work));
        QCOMPARE(dump(*main, Master), before);
    }
};

int runProductTests(int argc, char** argv) {
    TestProducts t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_products.moc"
