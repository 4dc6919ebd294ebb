#include "helpers.h"
#include "masters/customers.h"
#include "support/testdb.h"

#include <QtTest>

namespace {
const QString Master = QStringLiteral("顧客マスタ");
const QString Work = QStringLiteral("w顧客マスタ");

QString row(const QString& name, const QString& info) {
    return "顧客名=" + name + "|顧客情報=" + info +
           "|敬称=様|PeppolID=<null>|郵便番号=<null>|住所=<null>|締日=<null>|支払月=<null>|支払日=<null>|請求方法=都度";
}
QString workRow(const QString& name, const QString& info, bool ticked) {
    return (ticked ? "チェック=True|" : "チェック=False|") + row(name, info);
}
} // namespace

class TestCustomers : public QObject {
    Q_OBJECT
    std::unique_ptr<TestData> data;
    std::unique_ptr<Database> main, work;

    void master(const QString& name, const QString& info) {
        addRow(*main, Master, {{"顧客名", name}, {"顧客情報", info}});
    }
    void typed(const Value& name, const QString& info, bool ticked = false) {
        addRow(*work, Work, {{"顧客名", name}, {"顧客情報", info}, {"チェック", ticked}});
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

    void readReplacesWorkCopyWithSortedUntickedMaster() {
        master("山田商店", "東京都");
        master("あおば工業", "大阪府");
        master("かもめ社", "");
        typed(QStringLiteral("残り物"), "古い", true);
        Read顧客マスタ(*work, data->mainPath());
        QCOMPARE(dump(*work, Work), QStringList({workRow("あおば工業", "大阪府", false), workRow("かもめ社", "", false),
                                                 workRow("山田商店", "東京都", false)}));
        QCOMPARE(countRows(*main, Master), 3);
    }

    void registerReplacesDetailsWithoutDuplicate() {
        master("山田商店", "旧住所");
        master("鈴木商会", "名古屋");
        typed(QStringLiteral("山田商店"), "新住所");
        typed(QStringLiteral("佐藤屋"), "札幌");
        Entry顧客情報(*main, *work);
        QCOMPARE(sortedDump(*main, Master),
                 sorted({row("佐藤屋", "札幌"), row("山田商店", "新住所"), row("鈴木商会", "名古屋")}));
        // Registering leaves the page as typed.
        QCOMPARE(countRows(*work, Work), 2);
    }

    void registerAfterReadWritesTheEditedRows() {
        master("山田商店", "東京都");
        master("鈴木商会", "名古屋");
        master("佐藤屋", "札幌");
        Read顧客マスタ(*work, data->mainPath());
        work->executeRaw(QStringLiteral("UPDATE w顧客マスタ SET 顧客情報 = '那覇' WHERE 顧客名 = '鈴木商会'"));
        work->executeRaw(QStringLiteral("UPDATE w顧客マスタ SET 顧客情報 = NULL WHERE 顧客名 = '佐藤屋'"));
        Entry顧客情報(*main, *work);
        QCOMPARE(sortedDump(*main, Master),
                 sorted({row("佐藤屋", "<null>"), row("山田商店", "東京都"), row("鈴木商会", "那覇")}));
    }

    void nameHeldTwiceHasItsFirstRowWritten() {
        master("山田商店", "東京都");
        master("山田商店", "大阪府");
        typed(QStringLiteral("山田商店"), "大阪府");
        Entry顧客情報(*main, *work);
        QCOMPARE(dump(*main, Master), QStringList({row("山田商店", "大阪府"), row("山田商店", "大阪府")}));
    }

    void registerTwiceIsStable() {
        typed(QStringLiteral("山田商店"), "東京都");
        Entry顧客情報(*main, *work);
        Entry顧客情報(*main, *work);
        QCOMPARE(dump(*main, Master), QStringList({row("山田商店", "東京都")}));
    }

    void editedNameAddsNewAndKeepsOld() {
        master("山田商店", "東京都");
        Read顧客マスタ(*work, data->mainPath());
        {
            auto rs = work->openRecordset(QStringLiteral("select * from w顧客マスタ"));
            rs->moveFirst();
            rs->edit();
            rs->setField("顧客名", QStringLiteral("山田商店本店"));
            rs->update();
        }
        Entry顧客情報(*main, *work);
        QCOMPARE(sortedDump(*main, Master), sorted({row("山田商店", "東京都"), row("山田商店本店", "東京都")}));
    }

    void rowsWithoutNameAreNotWritten() {
        typed(Value(), "名無し");
        typed(QString(), "空");
        typed(QStringLiteral("山田商店"), "東京都");
        Entry顧客情報(*main, *work);
        QCOMPARE(dump(*main, Master), QStringList({row("山田商店", "東京都")}));
    }

    void clearThenRegisterWritesNothing() {
        master("山田商店", "東京都");
        master("鈴木商会", "名古屋");
        Read顧客マスタ(*work, data->mainPath());
        const QStringList before = dump(*main, Master);
        Clear顧客情報(*work);
        QCOMPARE(countRows(*work, Work), 0);
        Entry顧客情報(*main, *work);
        QCOMPARE(dump(*main, Master), before);
    }

    void deleteWithoutTickDoesNothing() {
        master("山田商店", "東京都");
        Read顧客マスタ(*work, data->mainPath());
        const QStringList masterBefore = dump(*main, Master), workBefore = dump(*work, Work);
        QVERIFY(!Delete顧客(*main, *work));
        QCOMPARE(dump(*main, Master), masterBefore);
        QCOMPARE(dump(*work, Work), workBefore);
    }

    void deleteTwoTickedLeavesMasterAndWorkCopy() {
        master("あおば工業", "大阪府");
        master("かもめ社", "神戸");
        master("山田商店", "東京都");
        Read顧客マスタ(*work, data->mainPath());
        work->executeRaw(QStringLiteral("UPDATE w顧客マスタ SET チェック = 1 WHERE 顧客名 <> 'かもめ社'"));
        QVERIFY(Delete顧客(*main, *work));
        QCOMPARE(dump(*main, Master), QStringList({row("かもめ社", "神戸")}));
        QCOMPARE(dump(*work, Work), QStringList({workRow("かもめ社", "神戸", false)}));
    }

    void apostropheNamesAreExact() {
        const QString obrien = QStringLiteral("O'Brien's");
        const QString sneaky = QStringLiteral("x' or '1'='1");
        master(obrien, "旧");
        master(sneaky, "罠");
        master("山田商店", "東京都");
        Read顧客マスタ(*work, data->mainPath());
        QCOMPARE(countRows(*work, Work), 3);
        work->executeRaw(QStringLiteral("UPDATE w顧客マスタ SET 顧客情報 = '新' WHERE 顧客名 = 'O''Brien''s'"));
        Entry顧客情報(*main, *work);
        QCOMPARE(sortedDump(*main, Master), sorted({row(obrien, "新"), row(sneaky, "罠"), row("山田商店", "東京都")}));
        // Deleting the name that looks like a condition must take only that row.
        work->executeRaw(QStringLiteral("UPDATE w顧客マスタ SET チェック = 1 WHERE 顧客名 = 'x'' or ''1''=''1'"));
        QVERIFY(Delete顧客(*main, *work));
        QCOMPARE(sortedDump(*main, Master), sorted({row(obrien, "新"), row("山田商店", "東京都")}));
        work->executeRaw(QStringLiteral("UPDATE w顧客マスタ SET チェック = 1 WHERE 顧客名 = 'O''Brien''s'"));
        QVERIFY(Delete顧客(*main, *work));
        QCOMPARE(dump(*main, Master), QStringList({row("山田商店", "東京都")}));
        QCOMPARE(dump(*work, Work), QStringList({workRow("山田商店", "東京都", false)}));
    }

    void registerFailingHalfWayChangesNothing() {
        master("山田商店", "旧住所");
        const QStringList before = dump(*main, Master);
        typed(QStringLiteral("山田商店"), "新住所"); // an edit before the failure
        typed(QStringLiteral("佐藤屋"), "札幌");     // an insert before the failure
        typed(QStringLiteral("BAD"), "拒否");
        typed(QStringLiteral("鈴木商会"), "名古屋");
        main->executeRaw(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON 顧客マスタ WHEN NEW.顧客名 = 'BAD' "
                                        "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        try {
            Entry顧客情報(*main, *work);
            QFAIL("the refused row must fail the register");
        } catch (const DbError& e) {
            QVERIFY2(e.text.contains("refused"), qPrintable(e.text));
        }
        QCOMPARE(dump(*main, Master), before);
        QVERIFY(!main->inTransaction());
        // Once the cause is gone the same page registers in full.
        main->executeRaw(QStringLiteral("DROP TRIGGER refuse"));
        Entry顧客情報(*main, *work);
        QCOMPARE(countRows(*main, Master), 4);
    }

    void deleteFailingChangesNeitherTable() {
        master("あおば工業", "大阪府");
        master("山田商店", "東京都");
        Read顧客マスタ(*work, data->mainPath());
        work->executeRaw(QStringLiteral("UPDATE w顧客マスタ SET チェック = 1"));
        main->executeRaw(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON 顧客マスタ WHEN OLD.顧客名 = '山田商店' "
                                        "BEGIN SELECT RAISE(ABORT, 'kept'); END"));
        const QStringList masterBefore = dump(*main, Master), workBefore = dump(*work, Work);
        QVERIFY_THROWS_EXCEPTION(DbError, Delete顧客(*main, *work));
        QCOMPARE(dump(*main, Master), masterBefore);
        QCOMPARE(dump(*work, Work), workBefore);
    }
};

int runCustomerTests(int argc, char** argv) {
    TestCustomers t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_customers.moc"
