#include "exchange/csv.h"
#include "exchange/master_csv.h"

#include <QStringEncoder>
#include <QtTest>

using Records = QList<QPair<int, QStringList>>;
Q_DECLARE_METATYPE(Records)

class TestCsv : public QObject {
    Q_OBJECT
  private slots:
    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Records>("expected"); // line, fields
        QTest::newRow("plain, CRLF") << QStringLiteral("a,b\r\nc,d\r\n")
                                     << Records{{1, {"a", "b"}}, {2, {"c", "d"}}};
        QTest::newRow("no final break") << QStringLiteral("a,b\nc,") << Records{{1, {"a", "b"}}, {2, {"c", ""}}};
        QTest::newRow("comma and doubled quote in quotes")
            << QStringLiteral("\"x,y\",\"say \"\"hi\"\"\"\n") << Records{{1, {"x,y", "say \"hi\""}}};
        QTest::newRow("line breaks in quotes move the line count")
            << QStringLiteral("h\n\"one\ntwo\r\nthree\",z\nnext\n")
            << Records{{1, {"h"}}, {2, {"one\ntwo\nthree", "z"}}, {5, {"next"}}};
        QTest::newRow("blank lines are no records but count") << QStringLiteral("h\n\n\nx\n")
                                                               << Records{{1, {"h"}}, {4, {"x"}}};
        QTest::newRow("empty quoted field") << QStringLiteral("\"\",a\n") << Records{{1, {"", "a"}}};
        QTest::newRow("quote inside a bare field is kept") << QStringLiteral("5\"inch,b\n")
                                                            << Records{{1, {"5\"inch", "b"}}};
        QTest::newRow("lone CR breaks a line") << QStringLiteral("a\rb\r") << Records{{1, {"a"}}, {2, {"b"}}};
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(Records, expected);
        Records got;
        for (const CsvRecord& r : parseCsv(text)) {
            QVERIFY(!r.unterminated);
            got.append({r.line, r.fields});
        }
        QCOMPARE(got, expected);
    }

    void unterminatedQuoteIsMarked() {
        const QList<CsvRecord> r = parseCsv(QStringLiteral("h\nok\n\"open,\nrest\nmore\n"));
        QCOMPARE(r.size(), 3);
        QVERIFY(!r[1].unterminated);
        QVERIFY(r[2].unterminated);
        QCOMPARE(r[2].line, 3);
        QCOMPARE(r[2].lastLine, 5); // the lines it swallowed
    }

    void writtenFieldsReadBackTheSame() {
        const QList<QStringList> records = {
            {"名前", "情報"},
            {"株式会社\"テスト\"", "〒100-0001\n東京都千代田区1,2,3"},
            {" 前後に空白 ", ""},
            {"a\"\"b", ",\n,"},
        };
        const QString text = writeCsv(records);
        QVERIFY(text.endsWith(QStringLiteral("\r\n")));
        QList<QStringList> back;
        for (const CsvRecord& r : parseCsv(text))
            back << r.fields;
        QCOMPARE(back, records);
    }

    void decoding_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("品名,単価\n㈱テスト①,￥1\\n");
        QStringEncoder sjis("windows-31j");
        QTest::addColumn<QString>("expected");
        QTest::newRow("UTF-8 with BOM") << encodeCsvFile(text) << text;
        QTest::newRow("UTF-8 without BOM") << text.toUtf8() << text;
        QTest::newRow("Shift_JIS") << QByteArray(sjis.encode(text)) << text;
        QTest::newRow("ASCII") << QByteArray("a,b\n") << QStringLiteral("a,b\n");
    }
    void decoding() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(decodeCsvFile(bytes).text, expected);
    }

    // What a spreadsheet would run is written as text; export and import give it back whole.
    void formulaCellsAreWrittenAsText_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("written");
        const char* rows[][2] = {{"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""}, {"+81 3", "\"'+81 3\""},
                                 {"-2+3", "\"'-2+3\""}, {"@SUM(A1)", "\"'@SUM(A1)\""}, {"\tcmd", "\"'\tcmd\""},
                                 {"\rcmd", "\"'\rcmd\""}, {"'=already", "\"''=already\""}, {"''", "\"'''\""},
                                 {"-1500", "-1500"}, {"-0.5", "-0.5"}, {"'quoted'", "'quoted'"}, {"a=b", "a=b"}};
        for (const auto& [cell, written] : rows)
            QTest::newRow(cell) << QString::fromUtf8(cell) << QString::fromUtf8(written);
    }
    void formulaCellsAreWrittenAsText() {
        QFETCH(QString, cell);
        QFETCH(QString, written);
        QCOMPARE(writeCsv({{cell}}), written + QStringLiteral("\r\n"));
        // The reader keeps a line break inside a field as LF.
        QCOMPARE(unguardFormula(parseCsv(written).value(0).fields.value(0)), QString(cell).replace(u'\r', u'\n'));
    }

    void prices_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // empty: not a price
        const char* rows[][2] = {{"1200", "1200"}, {"1,234,567", "1234567"}, {"¥1,200", "1200"}, {"￥ 980", "980"},
                                 {"\\500", "500"}, {"１，２００円", "1200"}, {"12.5", "12.5"}, {"-300", "-300"},
                                 {"時価", ""}, {"1.2.3", ""}, {"¥", ""}};
        for (const auto& [text, expected] : rows)
            QTest::newRow(text) << QString::fromUtf8(text) << QString::fromUtf8(expected);
    }
    void prices() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const auto c = readPrice(text);
        QCOMPARE(c ? c->toString() : QString(), expected);
    }

    void flags_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // 1 yes, 0 no, -1 unreadable
        for (const char* yes : {"1", "TRUE", "true", "〇", "○"})
            QTest::newRow(yes) << QString::fromUtf8(yes) << 1;
        for (const char* no : {"0", "FALSE", "False", "", "空"})
            QTest::newRow(*no ? no : "empty") << QString::fromUtf8(no) << 0;
        QTest::newRow("other") << QStringLiteral("はい") << -1;
    }
    void flags() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const auto b = readFlag(text);
        QCOMPARE(b ? int(*b) : -1, expected);
    }
};

int runCsvTests(int argc, char** argv) {
    TestCsv t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_csv.moc"
