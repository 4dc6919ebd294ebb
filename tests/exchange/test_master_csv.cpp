#include "exchange/csv.h"
#include "exchange/master_csv.h"
#include "helpers.h"
#include "masters/customers.h"
#include "support/testdb.h"

#include <QStringEncoder>
#include <QtTest>

class TestMasterCsv : public QObject {
    Q_OBJECT
  private slots:
    void exportedProductsImportAsTheSameRows() {
        TestData data;
        auto work = data.openWork();
        const QList<Fields> rows = {
            {{"品名", QStringLiteral("ボルト, M6")}, {"単位", QStringLiteral("本")},
             {"単価", Currency::parse("12.5").value()}, {"非課税", false}},
            {{"品名", QStringLiteral("\"特注\" 部品\n二行目")}, {"単位", Value()}, {"単価", Value()}, {"非課税", true}},
            {{"品名", QStringLiteral("送料")}, {"単位", QStringLiteral("式")},
             {"単価", Currency::fromWhole(1200000)}, {"非課税", true}, {"チェック", true}},
        };
        for (const Fields& f : rows)
            addRow(*work, QStringLiteral("w商品マスタ"), f);
        const QStringList before = dump(*work, QStringLiteral("w商品マスタ"));
        const QString csv = exportProducts(*work);
        QVERIFY(csv.startsWith(QStringLiteral("品名,単位,単価,非課税,税率\r\n")));
        QVERIFY(csv.contains(QStringLiteral("送料,式,1200000,1,\r\n")));

        const CsvImport r = importProducts(*work, decodeCsvFile(encodeCsvFile(csv)));
        QCOMPARE(r.imported, 3);
        QVERIFY(r.skipped.isEmpty());
        QStringList expected = before;
        expected[2].replace(QStringLiteral("チェック=True"), QStringLiteral("チェック=False")); // the tick stays behind
        QCOMPARE(dump(*work, QStringLiteral("w商品マスタ")), expected);
    }

    void exportedCustomersImportAsTheSameRows() {
        TestData data;
        auto work = data.openWork();
        addRow(*work, QStringLiteral("w顧客マスタ"),
               {{"顧客名", QStringLiteral("山田商店")}, {"顧客情報", QStringLiteral("〒100-0001\n東京都, 千代田区")}});
        addRow(*work, QStringLiteral("w顧客マスタ"), {{"顧客名", Value()}, {"顧客情報", QStringLiteral("名無し")}});
        addRow(*work, QStringLiteral("w顧客マスタ"), {{"顧客名", QStringLiteral("O'Brien")}, {"顧客情報", Value()}});
        // Cells a spreadsheet would run go out as text and come back as they were.
        addRow(*work, QStringLiteral("w顧客マスタ"),
               {{"顧客名", QStringLiteral("=HYPERLINK(\"http://x\",\"a\")")}, {"顧客情報", QStringLiteral("@SUM(1)")}});
        QStringList before = dump(*work, QStringLiteral("w顧客マスタ"));
        before.removeAt(1); // a row without a name is no customer and is not written
        const QString csv = exportCustomers(*work);
        QVERIFY2(csv.contains(QStringLiteral("\"'=HYPERLINK(")) && csv.contains(QStringLiteral("\"'@SUM(1)\"")),
                 qPrintable(csv));
        const CsvImport r = importCustomers(*work, {csv});
        QCOMPARE(r.imported, 3);
        QCOMPARE(dump(*work, QStringLiteral("w顧客マスタ")), before);
    }

    // Columns in another order, an unknown column, a Shift_JIS file from a spreadsheet.
    void shiftJisWithColumnsInAnyOrder() {
        TestData data;
        auto main = data.openMain();
        auto work = data.openWork();
        const QString text = QStringLiteral("単価,メモ,\" 品名 \",非課税\r\n"
                                            "\"￥1,200\",何でも,㈱特製①ネジ,〇\r\n"
                                            "\\980,,ナット,\r\n");
        QStringEncoder sjis("windows-31j");
        const CsvImport r = importProducts(*work, decodeCsvFile(sjis.encode(text)));
        QCOMPARE(r.imported, 2);
        QCOMPARE(dump(*work, QStringLiteral("w商品マスタ")),
                 (QStringList{QStringLiteral("チェック=False|品名=㈱特製①ネジ|単位=<null>|単価=1200|非課税=True|税率=<null>"),
                              QStringLiteral("チェック=False|品名=ナット|単位=<null>|単価=980|非課税=False|税率=<null>")}));
        QCOMPARE(countRows(*main, QStringLiteral("商品マスタ")), 0); // the master is never touched
    }

    void brokenRowsAreSkippedAndNamedByLine() {
        TestData data;
        auto work = data.openWork();
        const QString text = QStringLiteral("品名,単位,単価,非課税\n"  // 1
                                            "良い,個,100,0\n"          // 2
                                            ",個,100,0\n"              // 3 no name
                                            "\"説明\n付き\",個,50,1\n" // 4-5 good, two lines
                                            "高い,個,時価,0\n"         // 6 price no number
                                            "\n"                       // 7 blank: ignored
                                            "多い,個,1,0,余り\n"       // 8 too many columns
                                            ",,,\n"                    // 9 empty row: ignored
                                            "免税,個,1,たぶん\n"       // 10 unreadable flag
                                            "少ない\n"                 // 11 fewer columns: fine
                                            "\"閉じない,1\n"           // 12 unterminated quote …
                                            "後,個,1,0\n"              // 13 … swallows the rows after it
                                            "最後,個,2,0\n");          // 14
        const CsvImport r = importProducts(*work, {text});
        QCOMPARE(skippedLinesText(r.skipped),
                 QStringLiteral("3行目、6行目、8行目、10行目、12～14行目（\" が閉じていません）"));
        QCOMPARE(r.imported, 3);
        QCOMPARE(countRows(*work, QStringLiteral("w商品マスタ")), 3);
        QVERIFY(dump(*work, QStringLiteral("w商品マスタ"))[1].contains(QStringLiteral("品名=説明\n付き")));
    }

    void fileWithoutNameColumnChangesNothing_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("no header name") << QStringLiteral("名前,単価\nA,1\n");
        QTest::newRow("empty file") << QString();
        QTest::newRow("nothing readable") << QStringLiteral("品名,単価\n,1\nB,x\n");
    }
    void fileWithoutNameColumnChangesNothing() {
        QFETCH(QString, text);
        TestData data;
        auto work = data.openWork();
        addRow(*work, QStringLiteral("w商品マスタ"), {{"品名", QStringLiteral("既存")}});
        try {
            const CsvImport r = importProducts(*work, {text});
            QCOMPARE(r.imported, 0);
            QCOMPARE(r.skipped.size(), 2);
        } catch (const CsvError& e) {
            QVERIFY(e.text.contains(QStringLiteral("「品名」")));
        }
        QCOMPARE(countRows(*work, QStringLiteral("w商品マスタ")), 1);
    }

    // A row in another encoding than the file's, or with a stray byte, is named, not stored
    // garbled; a header that cannot be read is said to be so, not to lack its column.
    void garbledRowsAreNamed() {
        TestData data;
        auto work = data.openWork();
        QStringEncoder sjis("windows-31j");
        const QString head = QStringLiteral("品名\n鈴木\n"), last = QStringLiteral("佐藤\n");
        for (const QByteArray& bytes : {sjis.encode(head) + QStringLiteral("山田\n").toUtf8() + sjis.encode(last),
                                        head.toUtf8() + "\x82\x20\n" + last.toUtf8(),
                                        encodeCsvFile(head) + "a\xff\n" + last.toUtf8()}) {
            const CsvImport r = importProducts(*work, decodeCsvFile(bytes));
            QCOMPARE(skippedLinesText(r.skipped), QStringLiteral("3行目（文字化け）"));
            QCOMPARE(r.imported, 2);
        }
        try {
            importProducts(*work, decodeCsvFile(QByteArray("\x95\x69\x96\xbc\xff\n")));
            QFAIL("an unreadable header was taken");
        } catch (const CsvError& e) {
            QVERIFY2(e.text.startsWith(QStringLiteral("1行目の見出しの文字を読み取れません。")), qPrintable(e.text));
        }
    }

    // A file over the limits is refused; a long import reports its progress; the space a large
    // import took goes back once it is cleared.
    void largeImportsAreBounded() {
        TestData data;
        auto work = data.openWork();
        const QString tooMany = QStringLiteral("顧客名\n") + QStringLiteral("x\n").repeated(CsvMaxRows + 1);
        QVERIFY_THROWS_EXCEPTION(CsvError, importCustomers(*work, {tooMany}));
        QTemporaryFile big;
        QVERIFY(big.open() && big.resize(CsvMaxBytes + 1)); // sparse: no disk taken
        QVERIFY_THROWS_EXCEPTION(CsvError, readCsvFile(big.fileName()));

        QString rows = QStringLiteral("顧客名,顧客情報\n");
        for (int i = 0; i < 40000; ++i)
            rows += QStringLiteral("顧客%1,東京都千代田区丸の内一丁目%1番地\n").arg(i);
        int told = 0; // stopping it is the window's test
        QCOMPARE(importCustomers(*work, {rows}, [&](int) { return ++told; }).imported, 40000);
        QCOMPARE(told, 20);
        const auto fileSize = [&] {
            work->executeRaw(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            return QFileInfo(data.workPath()).size();
        };
        const qint64 full = fileSize();
        // The rows other grids hold keep their rowids: the grids write back by them.
        work->executeRaw(QStringLiteral("INSERT INTO w明細 (行番号) VALUES (1), (2); DELETE FROM w明細 WHERE 行番号 = 1"));
        const QStringList rowids = work->textColumn(QStringLiteral("select rowid as id from w明細"), QStringLiteral("id"));
        Clear顧客情報(*work);
        QVERIFY2(fileSize() * 10 < full, qPrintable(QStringLiteral("%1 -> %2").arg(full).arg(fileSize())));
        QCOMPARE(work->textColumn(QStringLiteral("select rowid as id from w明細"), QStringLiteral("id")), rowids);
    }

    // The tax rate column is taken where the work copy has one, ignored where it has not.
    void taxRateFollowsTheWorkCopy() {
        TestData data;
        auto work = data.openWork();
        const QString text = QStringLiteral("品名,税率\nA,8\nB,10%\nC,\nD,5\n");
        // A work copy from before the rate column: the column is ignored, every row comes in.
        work->executeRaw(QStringLiteral("DROP TRIGGER w商品マスタ_変更; ALTER TABLE w商品マスタ DROP COLUMN 税率"));
        work->forgetColumns();
        CsvImport r = importProducts(*work, {text});
        QCOMPARE(r.imported, 4);
        work->executeRaw(QStringLiteral("ALTER TABLE w商品マスタ ADD COLUMN 税率 INTEGER"));
        work->forgetColumns();
        r = importProducts(*work, {text});
        QCOMPARE(skippedLinesText(r.skipped), QStringLiteral("5行目"));
        QStringList rates;
        for (const QString& row : dump(*work, QStringLiteral("w商品マスタ")))
            rates << row.section(QStringLiteral("税率="), 1);
        QCOMPARE(rates, (QStringList{"8", "10", "<null>"}));
        QVERIFY(exportProducts(*work).startsWith(QStringLiteral("品名,単位,単価,非課税,税率\r\n")));
    }
};

int runMasterCsvTests(int argc, char** argv) {
    TestMasterCsv t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_master_csv.moc"
