// Several PCs on one server book, as separate processes of this program: numbers taken while
// registering, and a correction over another PC's correction refused.
#include "helpers.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "store/tables.h"
#include "support/testdb.h"

#include <QProcess>
#include <QTextStream>
#include <QtTest>
#include <cstdio>
#include <iostream>

namespace {

InvoiceHeader invoice(const QString& customer) {
    InvoiceHeader h;
    h.date = txt("2024/03/15");
    h.顧客名 = customer;
    h.合計 = Currency::fromWhole(1000);
    return h;
}

void oneLine(Database& work) {
    Clear明細ワーク(work);
    setLine(work, 1, Value(txt("りんご")), Value(10.0), Value(txt("個")), money("100"), money("1000"));
}

// A PC registering `count` new invoices under the next number, printing each number taken.
int registerNew(const QString& connection, int count) {
    TestData data; // this PC's own work file
    auto main = Database::connect(connection, mainTables);
    auto work = data.openWork();
    oneLine(*work);
    QTextStream out(stdout);
    for (int i = 0; i < count; ++i) {
        InvoiceHeader h = invoice(txt("同時登録"));
        h.expect = InvoiceHeader::Expect::NextNumber;
        out << Entry請求書(*main, *work, h) << Qt::endl;
    }
    return 0;
}

// A PC that reads invoice `number`, says "ready", waits for a line and registers its correction.
int correct(const QString& connection, qint32 number, const QString& customer) {
    TestData data;
    auto main = Database::connect(connection, mainTables);
    auto work = data.openWork();
    auto h = Read請求書ヘッダ(*main, number);
    Read請求書(*main, *work, number);
    QTextStream out(stdout);
    out << "ready" << Qt::endl;
    std::string go;
    std::getline(std::cin, go);
    h->顧客名 = customer;
    try {
        Entry請求書(*main, *work, *h);
        out << "ok" << Qt::endl;
    } catch (const StaleInvoice& e) {
        out << "refused " << e.text << Qt::endl;
    }
    return 0;
}

QProcess* startPc(QObject* parent, const QStringList& args) {
    auto* p = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("VORNISA_TEST_BACKEND")); // a PC's own work file is a plain file
    p->setProcessEnvironment(env);
    p->start(QCoreApplication::applicationFilePath(), args);
    return p;
}

// The delivered book on a server database of its own (this test runs on the server backend).
struct ServerBook {
    TestData data;
    std::unique_ptr<Database> main = data.openMain();
    QString connection = data.server->connection;
};

} // namespace

class ConcurrentTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (!serverBackend() || !serverTestsPossible())
            QSKIP("no PostgreSQL test server");
    }

    void fourPcsNumberOneThousandInvoices() {
        ServerBook book;
        QList<QProcess*> pcs;
        for (int i = 0; i < 4; ++i)
            pcs << startPc(this, {QStringLiteral("--register-new"), book.connection, QStringLiteral("250")});
        QList<int> numbers;
        for (QProcess* pc : pcs) {
            QVERIFY(pc->waitForFinished(-1));
            QVERIFY2(pc->exitStatus() == QProcess::NormalExit && pc->exitCode() == 0, pc->readAllStandardError());
            for (const QByteArray& line : pc->readAllStandardOutput().split('\n'))
                if (!line.isEmpty())
                    numbers << line.toInt();
        }
        std::sort(numbers.begin(), numbers.end());
        QCOMPARE(numbers.size(), 1000);
        QCOMPARE(numbers.front(), 1);
        QCOMPARE(numbers.back(), 1000);
        QVERIFY(std::adjacent_find(numbers.begin(), numbers.end()) == numbers.end());
        auto stored = book.main->openRecordset(
            txt("select count(*) as n, max(伝票番号) as last, count(distinct 伝票番号) as distinctNumbers from 請求書ヘッダ"));
        QCOMPARE(stored->field(txt("n")).toInt(), 1000);
        QCOMPARE(stored->field(txt("distinctNumbers")).toInt(), 1000);
        QCOMPARE(book.main->openRecordset(txt("select * from 自社情報"))->field(txt("最大請求書番号")).toInt(), 1000);
    }

    void twoPcsCorrectingOneInvoiceOneIsRefused() {
        ServerBook book;
        TestData local;
        auto work = local.openWork();
        oneLine(*work);
        Entry請求書(*book.main, *work, [] {
            InvoiceHeader h = invoice(txt("元の顧客"));
            h.number = 7;
            return h;
        }());
        QProcess* a = startPc(this, {QStringLiteral("--correct"), book.connection, QStringLiteral("7"), txt("A社")});
        QProcess* b = startPc(this, {QStringLiteral("--correct"), book.connection, QStringLiteral("7"), txt("B社")});
        for (QProcess* pc : {a, b}) {
            while (!pc->canReadLine())
                QVERIFY2(pc->waitForReadyRead(-1), pc->readAllStandardError());
            QCOMPARE(pc->readLine().trimmed(), QByteArray("ready"));
        }
        // Both have read the invoice as it is; both now register their correction.
        for (QProcess* pc : {a, b}) {
            pc->write("go\n");
            pc->closeWriteChannel();
        }
        QStringList results;
        for (QProcess* pc : {a, b}) {
            QVERIFY(pc->waitForFinished(-1));
            results << QString::fromUtf8(pc->readAllStandardOutput()).trimmed();
        }
        QCOMPARE(results.filter(QRegularExpression(QStringLiteral("^ok$"))).size(), 1);
        const QStringList refused = results.filter(QStringLiteral("refused"));
        QCOMPARE(refused.size(), 1);
        QVERIFY2(refused[0].contains(txt("伝票 7 は他のPCで変更されました")), qPrintable(refused[0]));
        // The winner's correction is stored, counted once; the first copy is in the history.
        const auto stored = Read請求書ヘッダ(*book.main, 7);
        QCOMPARE(stored->顧客名, results[0] == QLatin1String("ok") ? txt("A社") : txt("B社"));
        QCOMPARE(stored->更新回数, 1);
        QCOMPARE(book.main->openRecordset(txt("select * from 請求書ヘッダ履歴 where 伝票番号 = 7"))->recordCount(), 1);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--register-new"))
        return registerNew(args[2], args[3].toInt());
    if (args.size() == 5 && args[1] == QLatin1String("--correct"))
        return correct(args[2], args[3].toInt(), args[4]);
    ConcurrentTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_concurrent.moc"
