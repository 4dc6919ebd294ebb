#include "helpers.h"
#include "masters/wipe.h"
#include "store/tables.h"
#include "support/testdb.h"

#include <QtTest>

namespace {
const QStringList Wiped = {QStringLiteral("顧客マスタ"), QStringLiteral("商品マスタ"), QStringLiteral("自社情報"),
                           QStringLiteral("請求書"), QStringLiteral("請求書ヘッダ")};
} // namespace

class TestWipe : public QObject {
    Q_OBJECT
    std::unique_ptr<TestData> data;
    std::unique_ptr<Database> main, work;

    // One row in every table of both files.
    void fillEverything() {
        addRow(*main, "顧客マスタ", {{"顧客名", QStringLiteral("山田商店")}});
        addRow(*main, "商品マスタ", {{"品名", QStringLiteral("ボルト")}});
        addRow(*main, "自社情報", {{"自社名", QStringLiteral("自社")}, {"最大請求書番号", 12}});
        addRow(*main, "請求書", {{"伝票番号", 12}, {"行番号", 1}, {"品名", QStringLiteral("ボルト")}});
        addRow(*main, "請求書ヘッダ", {{"伝票番号", 12}, {"顧客名", QStringLiteral("山田商店")}});
        addRow(*main, "コードマスタ",
               {{"kcode", QStringLiteral("単位")}, {"code", 1}, {"sname", QStringLiteral("個")}});
        addRow(*work, "w明細", {{"行番号", 1}});
        addRow(*work, "w顧客マスタ", {{"顧客名", QStringLiteral("山田商店")}});
        addRow(*work, "w商品マスタ", {{"品名", QStringLiteral("ボルト")}});
        addRow(*work, "w商品参照", {{"品名", QStringLiteral("ボルト")}});
        addRow(*work, "ClHint",
               {{"FormName", QStringLiteral("FrmVornisa")},
                {"CtlName", QStringLiteral("cmdHint")},
                {"Contents", QStringLiteral("メモ")}});
    }
    QHash<QString, QStringList> snapshot() {
        QHash<QString, QStringList> s;
        for (const QString& t : mainTables)
            s.insert("main." + t, dump(*main, t));
        for (const QString& t : workTables)
            s.insert("work." + t, dump(*work, t));
        return s;
    }

  private slots:
    void init() {
        data = std::make_unique<TestData>();
        main = data->openMain();
        work = data->openWork();
        fillEverything();
    }
    void cleanup() {
        work.reset();
        main.reset();
        data.reset();
    }

    void emptiesExactlyTheFiveTables() {
        QHash<QString, QStringList> expected = snapshot();
        for (const QString& t : Wiped) {
            QVERIFY2(!expected["main." + t].isEmpty(), qPrintable(t));
            expected["main." + t].clear();
        }
        Data初期化(*main);
        QCOMPARE(snapshot(), expected);
        QVERIFY(dump(*main, "コードマスタ").contains("kcode=単位|code=1|sname=個"));
    }

    void emptyTablesWipeAgain() {
        Data初期化(*main);
        Data初期化(*main);
        for (const QString& t : Wiped)
            QCOMPARE(countRows(*main, t), 0);
    }

    void failingDeleteChangesNothing() {
        main->executeRaw(QStringLiteral(
            "CREATE TRIGGER keep BEFORE DELETE ON 請求書 BEGIN SELECT RAISE(ABORT, 'invoices kept'); END"));
        const QHash<QString, QStringList> before = snapshot();
        try {
            Data初期化(*main);
            QFAIL("the refused delete must fail the wipe");
        } catch (const DbError& e) {
            QVERIFY2(e.text.contains("invoices kept"), qPrintable(e.text));
        }
        // 顧客マスタ, 商品マスタ and 自社情報 were emptied before the failure; all must be back.
        QCOMPARE(snapshot(), before);
        QVERIFY(!main->inTransaction());
    }
};

int runWipeTests(int argc, char** argv) {
    TestWipe t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_wipe.moc"
