#include "book/history.h"
#include "book/search.h"
#include "helpers.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "masters/wipe.h"
#include "support/testdb.h"

#include <QtTest>

class HistoryTest : public QObject {
    Q_OBJECT
  private slots:
    void correctionsAndDeletionKeepEveryCopy();
    void failureAfterTheHistoryWriteLeavesNeither();
    void wipeKeepsEveryInvoiceApartFromLaterOnes();
    void versionsKeepWhatTheyWereIssuedWith();
};

namespace {

InvoiceHeader header(qint32 number, const QString& customer, qint64 total) {
    InvoiceHeader h;
    h.number = number;
    h.date = txt("2024/03/15");
    h.顧客名 = customer;
    h.顧客情報 = txt("東京都\n千代田区");
    h.税抜計 = Currency::fromWhole(total);
    h.消費税 = std::nullopt; // a blank box stays Null in the copy too
    h.合計 = Currency::fromWhole(total);
    return h;
}

void writeLines(Database& work, int count, const char* name) {
    Clear明細ワーク(work);
    for (int r = 1; r <= count; ++r)
        setLine(work, r, Value(txt(name) + QString::number(r)), Value(2.5), Value(txt("個")), money("100"),
                money("250"), r == 2);
}

// Rows of a table for one number, the history's own columns left out, so a copy compares
// equal to the row it was copied from.
QStringList rowsOf(Database& main, const QString& table, qint32 number, int version = -1) {
    QStringList out;
    for (const QString& row : dump(main, table)) {
        QStringList cells = row.split(u'|');
        if (!cells.contains(txt("伝票番号=") + QString::number(number)))
            continue;
        if (version >= 0 && !cells.contains(txt("版=") + QString::number(version)))
            continue;
        cells.removeIf([](const QString& c) {
            return c.startsWith(txt("版=")) || c.startsWith(txt("変更種別=")) || c.startsWith(txt("変更日時=")) ||
                   c.startsWith(txt("世代="));
        });
        out << cells.join(u'|');
    }
    return out;
}

QStringList history(Database& main) {
    return dump(main, txt("請求書ヘッダ履歴")) + dump(main, txt("請求書履歴"));
}

} // namespace

void HistoryTest::correctionsAndDeletionKeepEveryCopy() {
    TestData d;
    auto main = d.openMain();
    auto work = d.openWork();
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    // Three copies of invoice 7 are issued, then it is deleted; invoice 9 is left alone.
    QList<QStringList> headers, lines;
    const QList<std::pair<int, qint64>> copies = {{3, 1000}, {1, 2000}, {4, 3000}};
    for (const auto& [count, total] : copies) {
        writeLines(*work, count, "版");
        Entry請求書(*main, *work, header(7, txt("山田商店 ") + QString::number(total), total));
        if (headers.isEmpty()) { // a first registration, and deleting a number that holds nothing, leave none
            Delete請求書(*main, 8);
            QVERIFY(history(*main).isEmpty());
        }
        headers << rowsOf(*main, txt("請求書ヘッダ"), 7);
        lines << rowsOf(*main, txt("請求書"), 7);
    }
    writeLines(*work, 2, "他");
    Entry請求書(*main, *work, header(9, txt("他社"), 500));
    Delete請求書(*main, 7);
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    QVERIFY(rowsOf(*main, txt("請求書ヘッダ"), 7).isEmpty());
    const auto versions = Read履歴(*main, 7, 1);
    QCOMPARE(versions.size(), std::size_t(3)); // nothing is stored under 7 now
    for (int v = 1; v <= 3; ++v) {
        const InvoiceVersion& got = versions[v - 1];
        QCOMPARE(got.版, v);
        QCOMPARE(got.変更種別, v < 3 ? txt("訂正") : txt("削除"));
        const QDateTime when = QDateTime::fromString(got.変更日時, txt("yyyy/MM/dd HH:mm:ss"));
        QVERIFY2(when >= before && when <= after, qPrintable(got.変更日時));
        // Every column of the copy as it was stored, and its lines.
        QCOMPARE(rowsOf(*main, txt("請求書ヘッダ履歴"), 7, v), headers[v - 1]);
        QCOMPARE(rowsOf(*main, txt("請求書履歴"), 7, v), lines[v - 1]);
        QCOMPARE(Read履歴明細(*main, 7, 1, v).size(), std::size_t(copies[v - 1].first));
        QVERIFY(got.消費税.isNull());
        QCOMPARE(got.合計.toCurrency(), Currency::fromWhole(copies[v - 1].second));
    }
    QCOMPARE(Read履歴(*main, 9, 1).size(), std::size_t(1)); // only the copy stored now
    QCOMPARE(Read履歴(*main, 9, 1).back().版, 0);
    QCOMPARE(Read履歴明細(*main, 9, 1, 0).size(), std::size_t(2));

    // The number used again starts no new count: the next copy replaced is version 4.
    writeLines(*work, 1, "再");
    Entry請求書(*main, *work, header(7, txt("再発行"), 100));
    QVERIFY(rowsOf(*main, txt("請求書ヘッダ履歴"), 7, 4).isEmpty());
    Entry請求書(*main, *work, header(7, txt("再発行"), 200));
    QCOMPARE(Read履歴(*main, 7, 1).size(), std::size_t(5));
    QCOMPARE(Read履歴(*main, 7, 1)[3].版, 4);
    QCOMPARE(Read履歴(*main, 7, 1)[3].顧客名, txt("再発行"));
}

// The wipe puts every invoice it removes into the history as it stood; an invoice that later
// gets one of their numbers has a history of its own, and the list tells them apart.
void HistoryTest::wipeKeepsEveryInvoiceApartFromLaterOnes() {
    TestData d;
    auto main = d.openMain();
    auto work = d.openWork();
    writeLines(*work, 2, "前");
    Entry請求書(*main, *work, header(7, txt("旧顧客"), 100));
    Entry請求書(*main, *work, header(7, txt("旧顧客"), 200)); // corrected once
    Entry請求書(*main, *work, header(9, txt("削除先"), 300));
    Delete請求書(*main, 9);
    const QStringList stood = rowsOf(*main, txt("請求書ヘッダ"), 7);
    Data初期化(*main, QDateTime(QDate(2024, 6, 1), QTime(10, 0)));
    QVERIFY(dump(*main, txt("請求書ヘッダ")).isEmpty());
    QCOMPARE(rowsOf(*main, txt("請求書ヘッダ履歴"), 7, 2), stood); // every column as it stood
    QCOMPARE(Read履歴明細(*main, 7, 1, 2).size(), std::size_t(2));

    writeLines(*work, 1, "新");
    Entry請求書(*main, *work, header(7, txt("新顧客"), 500));
    Entry請求書(*main, *work, header(7, txt("新顧客"), 600));
    QStringList versions;
    for (const int generation : {1, 2})
        for (const InvoiceVersion& v : Read履歴(*main, 7, generation))
            versions << QStringLiteral("%1:%2 %3 %4").arg(generation).arg(v.版).arg(v.版 ? v.変更種別 : txt("現在"), v.顧客名);
    QCOMPARE(versions, (QStringList{txt("1:1 訂正 旧顧客"), txt("1:2 初期化 旧顧客"), txt("2:1 訂正 新顧客"),
                                    txt("2:0 現在 新顧客")}));
    QCOMPARE(Read履歴(*main, 7, 1).back().変更日時, txt("2024/06/01 10:00:00"));

    BookQuery all;
    all.withDeleted = true;
    QStringList listed;
    for (const BookRow& r : Search伝票(*main, all, {BookColumn::伝票番号, false}, 0, -1))
        listed << QStringLiteral("%1 %2 %3").arg(r.伝票番号).arg(r.顧客名, r.状態());
    QCOMPARE(listed, (QStringList{txt("7 旧顧客 初期化済み"), txt("7 新顧客 訂正 1回"), txt("9 削除先 削除済み")}));
    QCOMPARE(Search伝票明細(*main, all).size(), std::size_t(1 + 2 + 2));
}

void HistoryTest::failureAfterTheHistoryWriteLeavesNeither() {
    struct Case {
        const char* name;
        const char* trigger; // makes the statement after the history write fail
        std::function<void(Database&, Database&)> change;
    };
    const QList<Case> cases = {
        {"correction", "CREATE TRIGGER fault BEFORE DELETE ON 請求書ヘッダ BEGIN SELECT RAISE(ABORT, 'fault'); END",
         [](Database& m, Database& w) { Entry請求書(m, w, header(7, txt("訂正後"), 9)); }},
        {"deletion", "CREATE TRIGGER fault BEFORE DELETE ON 請求書 BEGIN SELECT RAISE(ABORT, 'fault'); END",
         [](Database& m, Database&) { Delete請求書(m, 7); }},
        // The history write itself failing stops the change as well.
        {"history refused", "CREATE TRIGGER fault BEFORE INSERT ON 請求書履歴 BEGIN SELECT RAISE(ABORT, 'fault'); END",
         [](Database& m, Database&) { Delete請求書(m, 7); }},
    };
    for (const Case& c : cases) {
        TestData d;
        auto main = d.openMain();
        auto work = d.openWork();
        writeLines(*work, 3, "品");
        Entry請求書(*main, *work, header(7, txt("山田商店"), 1000));
        main->executeRaw(QString::fromUtf8(c.trigger));
        const QStringList before = dumpMain(*main);
        QVERIFY_THROWS_EXCEPTION(DbError, c.change(*main, *work));
        QVERIFY2(dumpMain(*main) == before, c.name);
        QVERIFY2(history(*main).isEmpty(), c.name);
        QVERIFY2(!main->inTransaction(), c.name);
    }
}

void HistoryTest::versionsKeepWhatTheyWereIssuedWith() {
    TestData d;
    auto main = d.openMain();
    auto work = d.openWork();
    writeLines(*work, 2, "品");
    // Issued with everything set and the old account, then corrected after the account changed.
    InvoiceHeader first = header(7, txt("山田工業"), 1000), second = header(7, txt("山田工業"), 1200);
    first.件名 = txt("四月分 保守点検");
    first.支払期限 = txt("2024/04/30");
    first.備考 = txt("一行目\n二行目");
    first.振込先 = txt("旧銀行 本店 普通 1111111 カ）ヴォルニサ");
    first.敬称 = txt("御中");
    second.振込先 = txt("新銀行 駅前支店 普通 2222222\n当座 3333333");
    second.敬称 = QString(); // none
    Entry請求書(*main, *work, first);
    Entry請求書(*main, *work, second);
    const auto v = Read履歴(*main, 7, 1);
    const auto now = Read請求書ヘッダ(*main, 7);
    QCOMPARE(v.size(), std::size_t(2));
    QCOMPARE((QStringList{v[0].件名, v[0].支払期限, v[0].備考, v[0].振込先, v[0].敬称, v[1].振込先, v[1].敬称, now->件名,
                          now->振込先, now->敬称}),
             (QStringList{first.件名, first.支払期限, first.備考, first.振込先, first.敬称, second.振込先, QString(),
                          QString(), second.振込先, QString()}));
}

QTEST_GUILESS_MAIN(HistoryTest)
#include "test_history.moc"
