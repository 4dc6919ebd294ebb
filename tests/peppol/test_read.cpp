#include "parties.h"
#include "peppol/files.h"
#include "peppol/ubl.h"
#include "sample.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray sampleXml() {
    return pint::WriteUbl(pint::BuildDocument(SampleInvoice(), SampleCompany(), SampleCustomer()).doc);
}

QByteArray replaced(QByteArray xml, const char* from, const char* to) {
    const qsizetype at = xml.indexOf(from);
    if (at < 0 || xml.indexOf(from, at + 1) >= 0)
        qFatal("a change must hit exactly one place: %s", from);
    return xml.replace(at, qstrlen(from), to);
}

QStringList rules(const pint::ReadResult& r) {
    QStringList out;
    for (const pint::Finding& f : r.findings)
        out << f.rule;
    return out;
}

} // namespace

class TestRead : public QObject {
    Q_OBJECT
  private slots:
    void refusedBeforeAnythingIsTaken_data() {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("reason");
        const QByteArray ns = "xmlns=\"" + pint::kInvoiceNs.toUtf8() + "\" xmlns:cbc=\"" + pint::kCbcNs.toUtf8() + "\"";
        QTest::newRow("external entity") << "<?xml version=\"1.0\"?><!DOCTYPE Invoice [<!ENTITY x SYSTEM "
                                            "\"file:///etc/passwd\">]><Invoice " +
                                                ns + "><cbc:ID>&x;</cbc:ID></Invoice>"
                                         << QStringLiteral("DOCTYPE");
        QTest::newRow("internal entities")
            << "<!DOCTYPE Invoice [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
               "<Invoice " +
                   ns + "><cbc:ID>&b;</cbc:ID></Invoice>"
            << QStringLiteral("DOCTYPE");
        QTest::newRow("credit note") << "<CreditNote xmlns=\"" + pint::kUblNs.toUtf8() + "CreditNote-2\"/>"
                                     << QStringLiteral("Invoice");
        QTest::newRow("no UBL namespace") << QByteArray("<Invoice><ID>1</ID></Invoice>") << QStringLiteral("Invoice");
        QTest::newRow("not XML") << QByteArray("%PDF-1.7 ...") << QStringLiteral("XML");
        QTest::newRow("cut short") << sampleXml().left(900) << QStringLiteral("XML");
    }
    void refusedBeforeAnythingIsTaken() {
        QFETCH(QByteArray, xml);
        QFETCH(QString, reason);
        const pint::ReadResult r = pint::ReadUbl(xml);
        QVERIFY(!r.ok);
        QVERIFY2(r.reason.contains(reason), qPrintable(r.reason));
        QCOMPARE(r.doc, pint::Document{});
    }

    void filesTooLargeOrMissingAreNotRead() {
        QTemporaryDir dir;
        QFile big(dir.filePath(QStringLiteral("big.xml")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(50 * 1024 * 1024));
        big.close();
        QVERIFY(pint::ReadInvoiceFile(big.fileName()).reason.contains(QStringLiteral("大きすぎます")));
        QVERIFY(!pint::ReadInvoiceFile(dir.filePath(QStringLiteral("none.xml"))).ok);
        QVERIFY(!pint::ReadInvoiceFile(dir.path()).ok);

        QFile good(dir.filePath(QStringLiteral("good.xml")));
        QVERIFY(good.open(QIODevice::WriteOnly));
        good.write(sampleXml());
        good.close();
        const pint::ReadResult r = pint::ReadInvoiceFile(good.fileName());
        QVERIFY(r.ok);
        QCOMPARE(r.doc.seller.legalName, QStringLiteral("ヴォルニサ工房株式会社"));
    }

    // A supplier's invoice whose amounts do not add up is shown with each disagreement marked.
    void disagreementsAreMarked_data() {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QStringList>("marked");
        const QByteArray xml = sampleXml();
        QTest::newRow("payable") << replaced(xml, "JPY\">8299</cbc:PayableAmount", "JPY\">8300</cbc:PayableAmount")
                                 << QStringList{"ibr-co-16"};
        QTest::newRow("reduced-rate tax")
            << replaced(xml, "JPY\">207<", "JPY\">210<") << QStringList{"ibr-co-14", "aligned-ibrp-051-jp"};
        QTest::newRow("line amount") << replaced(xml, "JPY\">5000</cbc:LineExtensionAmount",
                                                 "JPY\">5001</cbc:LineExtensionAmount")
                                     << QStringList{"ibt-131", "ibr-co-10", "ibr-s-08"};
        QTest::newRow("unreadable amount") << replaced(xml, "JPY\">2592</cbc:Taxable", "JPY\">2,592</cbc:Taxable")
                                           << QStringList{"TaxableAmount", "ibr-aa-08", "aligned-ibrp-051-jp"};
    }
    void disagreementsAreMarked() {
        QFETCH(QByteArray, xml);
        QFETCH(QStringList, marked);
        const pint::ReadResult r = pint::ReadUbl(xml);
        QVERIFY(r.ok);
        QVERIFY(!r.sumsAgree());
        QCOMPARE(rules(r), marked);
    }

    void formFaultsAndRegistrationVerdict() {
        QByteArray xml = replaced(sampleXml(), "T8700110005901", "T8700110005902");
        xml = replaced(xml, "ClassifiedTaxCategory>\n                <cbc:ID>S<",
                       "ClassifiedTaxCategory>\n                <cbc:ID>K<");
        const pint::ReadResult r = pint::ReadUbl(xml);
        QVERIFY(r.ok);
        QCOMPARE(r.registration, RegNoCheck::BadCheckDigit); // the pattern holds, the check digit does not
        QCOMPARE(rules(r), (QStringList{"aligned-ibrp-cl-01-jp", "ibr-s-08", "ibr-k-01"}));
    }
};

int runReadTests(int argc, char** argv) {
    TestRead t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_read.moc"
