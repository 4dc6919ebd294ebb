#include "figures/figures.h"
#include "support/testdb.h"
#include "support/typing.h"
#include "ui/bound_table.h"
#include "ui/data_grid.h"
#include "ui/number_box.h"

#include <QSignalSpy>
#include <QtTest>

class GridTest : public QObject {
    Q_OBJECT
  private slots:
    void userEditsNotifyOnceProgrammaticWritesNever();
    void typedTextTakesTheColumnType();
    void masterRowsAddAndRemove();
    void newRowBecomesStoredRow();
    void removingRowsIsAllOrNothing();
    void unchangedValueRunsNoRule_data();
    void unchangedValueRunsNoRule();
    void displayFormat();
    void numberBoxHoldsNumberOrNothing();
};

void GridTest::userEditsNotifyOnceProgrammaticWritesNever() {
    TestData data;
    auto work = data.openWork();
    for (int i = 1; i <= 3; ++i)
        work->executeRaw(QStringLiteral("INSERT INTO w明細 (行番号) VALUES (%1)").arg(i));
    BoundTable t;
    t.setDatabase(work.get());
    t.setRecordSource(QStringLiteral("w明細"));
    t.refresh();
    QCOMPARE(t.rowCount(), 3);
    QSignalSpy spy(&t, &BoundTable::afterColUpdate);
    const int name = t.fieldIndex(QStringLiteral("品名"));
    QVERIFY(t.setData(t.index(1, name), QStringLiteral("鉛筆"), Qt::EditRole));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy[0][0].toInt(), 1);
    t.setValue(1, name, QStringLiteral("消しゴム"));
    QCOMPARE(spy.count(), 1);
    // Both writes reached the table, on the right row.
    auto rs = work->openRecordset(QStringLiteral("select * from w明細 where 行番号 = 2"));
    QCOMPARE(rs->field(QStringLiteral("品名")).toText(), QStringLiteral("消しゴム"));
    QVERIFY(work->openRecordset(QStringLiteral("select * from w明細 where 行番号 = 1"))
                ->field(QStringLiteral("品名"))
                .isNull());
}

void GridTest::typedTextTakesTheColumnType() {
    TestData data;
    auto work = data.openWork();
    work->executeRaw(QStringLiteral("INSERT INTO w明細 (行番号) VALUES (1)"));
    BoundTable t;
    t.setDatabase(work.get());
    t.setRecordSource(QStringLiteral("w明細"));
    t.refresh();
    const int price = t.fieldIndex(QStringLiteral("単価"));
    const int qty = t.fieldIndex(QStringLiteral("数量"));
    t.setData(t.index(0, price), QStringLiteral("1,234.5"), Qt::EditRole);
    QCOMPARE(t.value(0, price).toCurrency(), Currency::fromRaw(12345000));
    t.setData(t.index(0, qty), QStringLiteral("abc"), Qt::EditRole);
    QVERIFY(t.value(0, qty).isNull()); // what the column cannot hold is stored empty
    t.setData(t.index(0, qty), QStringLiteral("2.5"), Qt::EditRole);
    QCOMPARE(t.value(0, qty).toDouble(), 2.5);
    const int flag = t.fieldIndex(QStringLiteral("非課税"));
    t.setData(t.index(0, flag), Qt::Checked, Qt::CheckStateRole);
    QVERIFY(t.value(0, flag).toBool());
}

void GridTest::masterRowsAddAndRemove() {
    TestData data;
    auto work = data.openWork();
    BoundTable t;
    t.setDatabase(work.get());
    t.setRecordSource(QStringLiteral("w顧客マスタ"));
    t.refresh();
    QVERIFY(!t.insertRows(0, 1)); // only when row editing is allowed
    t.setRowEditing(true);
    QVERIFY(t.insertRows(0, 2));
    const int name = t.fieldIndex(QStringLiteral("顧客名"));
    t.setData(t.index(1, name), QStringLiteral("B社"), Qt::EditRole);
    t.setData(t.index(0, name), QStringLiteral("A社"), Qt::EditRole);
    QVERIFY(t.removeRows(1, 1));
    t.refresh();
    QCOMPARE(t.recordCount(), 1);
    QCOMPARE(t.value(0, name).toText(), QStringLiteral("A社"));
    QVERIFY(!t.value(0, t.fieldIndex(QStringLiteral("チェック"))).toBool());
    QCOMPARE(t.rowCount(), 2); // and the new row after it
}

void GridTest::newRowBecomesStoredRow() {
    TestData data;
    auto work = data.openWork();
    BoundTable t;
    t.setRowEditing(true);
    t.setDatabase(work.get());
    t.setRecordSource(QStringLiteral("w商品マスタ"));
    t.refresh();
    QCOMPARE(t.rowCount(), 1); // an empty copy still offers its new row
    QVERIFY(t.isNewRow(0));
    QCOMPARE(t.headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("*"));
    const int name = t.fieldIndex(QStringLiteral("品名"));
    const int price = t.fieldIndex(QStringLiteral("単価"));
    QVERIFY(t.setData(t.index(0, name), QString(), Qt::EditRole));
    QCOMPARE(t.recordCount(), 0); // nothing typed, nothing stored
    QSignalSpy inserted(&t, &QAbstractItemModel::rowsInserted);
    QVERIFY(t.setData(t.index(0, price), QStringLiteral("1,200"), Qt::EditRole));
    QCOMPARE(t.recordCount(), 1);
    QCOMPARE(t.rowCount(), 2);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted[0][1].toInt(), 1); // the fresh new row appears below the typed one
    QVERIFY(t.setData(t.index(0, name), QStringLiteral("鉛筆"), Qt::EditRole));
    QVERIFY(t.setData(t.index(1, t.fieldIndex(QStringLiteral("チェック"))), Qt::Checked, Qt::CheckStateRole));
    auto rs = work->openRecordset(QStringLiteral("select * from w商品マスタ order by rowid"));
    QCOMPARE(rs->recordCount(), 2);
    QCOMPARE(rs->field(QStringLiteral("品名")).toText(), QStringLiteral("鉛筆"));
    QCOMPARE(rs->field(QStringLiteral("単価")).toCurrency(), Currency::fromWhole(1200));
    QVERIFY(!rs->field(QStringLiteral("非課税")).toBool());
    rs->moveNext();
    QVERIFY(rs->field(QStringLiteral("チェック")).toBool());
}

void GridTest::removingRowsIsAllOrNothing() {
    TestData data;
    auto work = data.openWork();
    for (const char* n : {"A社", "B社", "C社"})
        work->executeRaw(QStringLiteral("INSERT INTO w顧客マスタ (顧客名) VALUES ('%1')").arg(QString::fromUtf8(n)));
    BoundTable t;
    t.setRowEditing(true);
    t.setDatabase(work.get());
    t.setRecordSource(QStringLiteral("w顧客マスタ"));
    t.refresh();
    work->executeRaw(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON w顧客マスタ WHEN OLD.顧客名 = 'C社' "
                                    "BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    QSignalSpy failed(&t, &BoundTable::writeFailed);
    QVERIFY(!t.removeRecords({0, 2}));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(t.recordCount(), 3);
    QCOMPARE(work->openRecordset(QStringLiteral("select * from w顧客マスタ"))->recordCount(), 3);
    // The new row is never removed; the stored ones go together.
    QVERIFY(t.removeRecords({1, 0, 3}));
    QCOMPARE(t.recordCount(), 1);
    QCOMPARE(t.value(0, t.fieldIndex(QStringLiteral("顧客名"))).toText(), QStringLiteral("C社"));
    QCOMPARE(work->openRecordset(QStringLiteral("select * from w顧客マスタ"))->recordCount(), 1);
}

void GridTest::unchangedValueRunsNoRule_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("ruleRuns");
    QTest::newRow("same name") << "品名" << "鉛筆" << "鉛筆" << false;
    QTest::newRow("name with blanks") << "品名" << "鉛筆" << " 鉛筆" << true;
    QTest::newRow("same quantity") << "数量" << "2.5" << "2.5" << false;
    QTest::newRow("quantity written otherwise") << "数量" << "2.5" << "2.50" << false;
    QTest::newRow("other quantity") << "数量" << "2.5" << "3" << true;
    QTest::newRow("price with comma") << "単価" << "1000" << "1,000" << false;
    QTest::newRow("other price") << "単価" << "1000" << "1001" << true;
    QTest::newRow("empty stays empty") << "金額" << "" << "" << false;
    QTest::newRow("emptied") << "金額" << "80" << "" << true;
    QTest::newRow("non-number over empty") << "数量" << "" << "abc" << true;
}

void GridTest::unchangedValueRunsNoRule() {
    QFETCH(QString, field);
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, ruleRuns);
    TestData data;
    auto work = data.openWork();
    work->executeRaw(QStringLiteral("INSERT INTO w明細 (行番号) VALUES (1)"));
    BoundTable t;
    t.setDatabase(work.get());
    t.setRecordSource(QStringLiteral("w明細"));
    t.refresh();
    const int c = t.fieldIndex(field);
    t.setData(t.index(0, c), stored, Qt::EditRole);
    QSignalSpy spy(&t, &BoundTable::afterColUpdate);
    QVERIFY(t.setData(t.index(0, c), typed, Qt::EditRole));
    QCOMPARE(spy.count(), ruleRuns ? 1 : 0);
}

void GridTest::displayFormat() {
    QCOMPARE(figures::formatThousands(1234567), QStringLiteral("1,234,567"));
    QCOMPARE(figures::formatThousands(0), QString());
    QCOMPARE(figures::formatThousands(2.5), QStringLiteral("3"));
    QCOMPARE(figures::formatThousands(-1234.4), QStringLiteral("-1,234"));
}

void GridTest::numberBoxHoldsNumberOrNothing() {
    NumberBox b;
    QVERIFY(!b.value());
    b.setValue(Currency::fromRaw(12345000));
    QCOMPARE(b.text(), QStringLiteral("1,235"));
    QCOMPARE(b.value()->raw(), 12345000); // the value keeps its decimals
    b.clearValue();
    QVERIFY(b.text().isEmpty() && !b.value());
    b.setValue(Currency());
    QCOMPARE(b.text(), QStringLiteral("0"));

    // A plain box takes full-width figures, from keys or the input method, as their ASCII forms.
    NumberBox plain(NumberBox::Format::Plain);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("１，０００"));
    QApplication::sendEvent(&plain, &commit);
    QCOMPARE(plain.text(), QStringLiteral("1,000"));
    QCOMPARE(plain.value(), Currency::fromWhole(1000));
    plain.clear();
    typeText(&plain, QStringLiteral("ー５．"));
    QCOMPARE(plain.text(), QStringLiteral("-5")); // a point has no place in a whole number
}

QTEST_MAIN(GridTest)
#include "test_grid.moc"
