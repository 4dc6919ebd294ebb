#include "invoice/due_date.h"

#include <QtTest>

class DueDateTest : public QObject {
    Q_OBJECT
  private slots:
    // Month ends that differ in length, a leap February and the turn of the year.
    void defaultDueDates_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QDate>("invoice");
        QTest::addColumn<QDate>("due");
        const QStringList& r = DueDateRules;
        QTest::newRow("none") << r[0] << QDate(2026, 1, 15) << QDate();
        QTest::newRow("next month's end") << r[1] << QDate(2026, 1, 31) << QDate(2026, 2, 28);
        QTest::newRow("into a leap February") << r[1] << QDate(2028, 1, 1) << QDate(2028, 2, 29);
        QTest::newRow("over the year") << r[1] << QDate(2026, 12, 15) << QDate(2027, 1, 31);
        QTest::newRow("the month after next") << r[2] << QDate(2026, 12, 31) << QDate(2027, 2, 28);
        QTest::newRow("to a 30-day month") << r[2] << QDate(2026, 2, 28) << QDate(2026, 4, 30);
        QTest::newRow("30 days") << r[3] << QDate(2026, 2, 15) << QDate(2026, 3, 17);
        QTest::newRow("unknown rule") << QStringLiteral("翌月10日") << QDate(2026, 1, 15) << QDate();
        QTest::newRow("no invoice date") << r[1] << QDate() << QDate();
    }
    void defaultDueDates() {
        QFETCH(QString, rule);
        QFETCH(QDate, invoice);
        QFETCH(QDate, due);
        QCOMPARE(DefaultDueDate(rule, invoice), due);
    }
};

int runDueDateTests(int argc, char** argv) {
    DueDateTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_due_date.moc"
