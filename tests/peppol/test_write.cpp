#include "parties.h"
#include "peppol/files.h"
#include "peppol/identifiers.h"
#include "sample.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// The written XML as a tree of elements, read independently of the program's reader.
struct Node {
    QString ns, name, text;
    QXmlStreamAttributes attrs;
    QList<Node> children;
    QList<const Node*> all(const QString& child) const {
        QList<const Node*> out;
        for (const Node& c : children)
            if (c.name == child)
                out << &c;
        return out;
    }
    // The first element down a path of local names, or nullptr.
    const Node* at(const QString& path) const {
        const Node* n = this;
        for (const QString& part : path.split(u'/')) {
            const QList<const Node*> found = n->all(part);
            if (found.isEmpty())
                return nullptr;
            n = found.first();
        }
        return n;
    }
    QString operator[](const QString& path) const {
        const Node* n = at(path);
        return n ? n->text.trimmed() : QStringLiteral("<missing>");
    }
};

Node tree(const QByteArray& xml) {
    QXmlStreamReader x(xml);
    QList<Node> stack{Node{}};
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement())
            stack << Node{x.namespaceUri().toString(), x.name().toString(), QString(), x.attributes(), {}};
        else if (x.isCharacters())
            stack.last().text += x.text();
        else if (x.isEndElement()) {
            const Node done = stack.takeLast();
            stack.last().children << done;
        }
    }
    return stack.first().children.value(0);
}

void eachElement(const Node& n, const std::function<void(const Node&)>& f) {
    f(n);
    for (const Node& c : n.children)
        eachElement(c, f);
}

} // namespace

class TestWrite : public QObject {
    Q_OBJECT
  private slots:
    // The sample invoice at 10 % and 8 %, element by element against the rules the writer meets.
    void twoRateInvoice() {
        const pint::Built built = pint::BuildDocument(SampleInvoice(), SampleCompany(), SampleCustomer());
        QVERIFY2(built.missing.isEmpty(), qPrintable(built.missing.join(u'\n')));
        const QByteArray xml = pint::WriteUbl(built.doc);
        QVERIFY(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        const Node root = tree(xml);
        QCOMPARE(root.ns, pint::kInvoiceNs);
        QCOMPARE(root.name, QStringLiteral("Invoice"));

        // Top-level elements in the order of the UBL 2.1 Invoice schema.
        QStringList order;
        for (const Node& c : root.children)
            order << c.name;
        QCOMPARE(order, (QStringList{"CustomizationID", "ProfileID", "ID", "IssueDate", "DueDate", "InvoiceTypeCode",
                                     "Note", "DocumentCurrencyCode", "InvoicePeriod", "AccountingSupplierParty",
                                     "AccountingCustomerParty", "TaxTotal", "LegalMonetaryTotal", "InvoiceLine",
                                     "InvoiceLine"}));
        const QList<std::pair<const char*, QString>> expected = {
            {"CustomizationID", "urn:peppol:pint:billing-1@jp-1"}, // aligned-ibrp-001-jp
            {"ProfileID", "urn:peppol:bis:billing"},               // aligned-ibrp-002-jp
            {"ID", "101"},
            {"IssueDate", "2024-04-15"},
            {"DueDate", "2024-05-31"},
            {"InvoiceTypeCode", "380"},
            {"Note", "※は軽減税率対象"}, // the text-only line
            {"DocumentCurrencyCode", "JPY"},
            {"InvoicePeriod/StartDate", "2024-04-15"}, // aligned-ibrp-052
            {"InvoicePeriod/EndDate", "2024-04-15"},
            {"AccountingSupplierParty/Party/EndpointID", "8700110005901"},
            {"AccountingSupplierParty/Party/PartyName/Name", "ヴォルニサ工房株式会社"},
            {"AccountingSupplierParty/Party/PostalAddress/StreetName", "東京都千代田区千代田1-1"},
            {"AccountingSupplierParty/Party/PostalAddress/PostalZone", "100-0001"},
            {"AccountingSupplierParty/Party/PostalAddress/Country/IdentificationCode", "JP"},
            {"AccountingSupplierParty/Party/PartyTaxScheme/CompanyID", "T8700110005901"}, // aligned-ibr-jp-01, -04
            {"AccountingSupplierParty/Party/PartyTaxScheme/TaxScheme/ID", "VAT"},         // aligned-ibr-jp-03
            {"AccountingSupplierParty/Party/PartyLegalEntity/RegistrationName", "ヴォルニサ工房株式会社"},
            {"AccountingCustomerParty/Party/EndpointID", "T4010001008830"},
            {"AccountingCustomerParty/Party/PostalAddress/Country/IdentificationCode", "JP"},
            {"AccountingCustomerParty/Party/PartyLegalEntity/RegistrationName", "株式会社サンプル商事"},
            {"TaxTotal/TaxAmount", "707"},
            {"LegalMonetaryTotal/LineExtensionAmount", "7592"},
            {"LegalMonetaryTotal/TaxExclusiveAmount", "7592"},
            {"LegalMonetaryTotal/TaxInclusiveAmount", "8299"},
            {"LegalMonetaryTotal/PayableAmount", "8299"},
        };
        for (const auto& [path, text] : expected)
            QCOMPARE(root[QString::fromUtf8(path)], text);
        QCOMPARE(root.at("AccountingSupplierParty/Party/EndpointID")->attrs.value("schemeID"), QStringLiteral("0188"));
        QCOMPARE(root.at("AccountingCustomerParty/Party/EndpointID")->attrs.value("schemeID"), QStringLiteral("0221"));
        QVERIFY(!root.at("AccountingCustomerParty/Party/PartyTaxScheme"));

        // One subtotal per category and rate: S at 10, AA (reduced rate) at 8, the tax as printed.
        const QList<const Node*> subtotals = root.at("TaxTotal")->all("TaxSubtotal");
        QCOMPARE(subtotals.size(), 2);
        const QStringList sub[] = {{"5000", "500", "S", "10"}, {"2592", "207", "AA", "8"}};
        const QStringList line[] = {{"1", "10", "XBX", "5000", "コピー用紙", "S", "10", "500"},
                                    {"2", "4", "H87", "2592", "緑茶", "AA", "8", "648"}};
        for (int i = 0; i < 2; ++i) {
            const Node& s = *subtotals[i];
            QCOMPARE((QStringList{s["TaxableAmount"], s["TaxAmount"], s["TaxCategory/ID"], s["TaxCategory/Percent"]}),
                     sub[i]);
            QCOMPARE(s["TaxCategory/TaxScheme/ID"], QStringLiteral("VAT"));
            const Node& l = *root.all("InvoiceLine")[i];
            QCOMPARE((QStringList{l["ID"], l["InvoicedQuantity"],
                                  l.at("InvoicedQuantity")->attrs.value("unitCode").toString(),
                                  l["LineExtensionAmount"], l["Item/Name"], l["Item/ClassifiedTaxCategory/ID"],
                                  l["Item/ClassifiedTaxCategory/Percent"], l["Price/PriceAmount"]}),
                     line[i]);
        }

        // No empty element (a leaf has text, a group has elements); every amount in whole yen.
        static const QRegularExpression wholeYen(QStringLiteral("^-?[0-9]+$"));
        int amounts = 0;
        eachElement(root, [&](const Node& n) {
            QVERIFY2(!n.children.isEmpty() || !n.text.trimmed().isEmpty(), qPrintable(n.name));
            if (n.attrs.hasAttribute("currencyID")) {
                ++amounts;
                QCOMPARE(n.attrs.value("currencyID"), QStringLiteral("JPY"));
                QVERIFY2(wholeYen.match(n.text).hasMatch(), qPrintable(n.name + u' ' + n.text));
            }
        });
        QCOMPARE(amounts, 13);

        // Our own file reads back equal, meeting every rule, its registration number checked.
        const pint::ReadResult back = pint::ReadUbl(xml);
        QVERIFY(back.ok);
        QCOMPARE(back.doc, built.doc);
        QCOMPARE(back.findings, QList<pint::Finding>{});
        QCOMPARE(back.registration, RegNoCheck::Ok);

        QTemporaryDir dir;
        const pint::Exported out = pint::ExportInvoice(SampleInvoice(), SampleCompany(), SampleCustomer(), dir.path());
        QCOMPARE(out.path, dir.filePath(QStringLiteral("101_株式会社サンプル商事.xml")));
        QFile file(out.path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), xml);
    }

    // 内税: the printed tax shared over the lines, largest remainder first; lines whose quantity and
    // price do not multiply out exactly, a fractional quantity and a discount line.
    void netLinesAndOddPrices_data() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QStringList>("amounts");    // LineExtensionAmount per line
        QTest::addColumn<QStringList>("quantities"); // InvoicedQuantity / PriceAmount / BaseQuantity per line
        QTest::addColumn<QString>("tax");
        QTest::newRow("外税") << QStringLiteral("外税") << QStringList{"1000", "149", "250", "-500"}
                              << QStringList{"2/500/", "1.5/149/1.5", "2.5/100/", "-1/500/"} << QStringLiteral("90");
        // 1,000 + 149 + 250 − 500 = 899 tax-inclusive: tax 899 × 10 / 110 = 81.7 → 82, shared
        // 91.2, 13.6, 22.8, −45.6 → 91, 13, 22, −46 (= 80) and the two yen left to .8 and .6.
        QTest::newRow("内税") << QStringLiteral("内税") << QStringList{"909", "135", "227", "-454"}
                              << QStringList{"2/909/2", "1.5/135/1.5", "2.5/227/2.5", "-1/454/"}
                              << QStringLiteral("82");
    }
    void netLinesAndOddPrices() {
        QFETCH(QString, category);
        QFETCH(QStringList, amounts);
        QFETCH(QStringList, quantities);
        QFETCH(QString, tax);
        IssuedInvoice inv = SampleInvoice();
        inv.header.税区分 = category;
        inv.header.端数処理 = RoundHalf;
        inv.lines = {{"作業", 2.0, "式", Currency::fromWhole(500), Currency::fromWhole(1000), 10},
                     {"部品", 1.5, "個", Currency::fromWhole(99), Currency::fromWhole(149), 10},
                     {"配線", 2.5, "m", Currency::fromWhole(100), Currency::fromWhole(250), 10},
                     {"値引き", 1.0, QString(), Currency::fromWhole(-500), Currency::fromWhole(-500), 10}};
        const RateSums s{Currency::fromWhole(899), Currency(), Currency(), true, false};
        const QualifiedTotals q = CalcQualified(s, category, RoundHalf);
        inv.header.対象10 = q.対象10;
        inv.header.消費税10 = q.消費税10;
        inv.header.対象8 = inv.header.消費税8 = std::nullopt;
        inv.header.合計 = q.合計;
        const pint::Built built = pint::BuildDocument(inv, SampleCompany(), SampleCustomer());
        QVERIFY2(built.missing.isEmpty(), qPrintable(built.missing.join(u'\n')));
        QStringList gotAmounts, gotQuantities;
        for (const pint::Line& l : built.doc.lines) {
            gotAmounts << l.amount.toString();
            gotQuantities << l.quantity + u'/' + l.price.toString() + u'/' + l.baseQuantity;
        }
        QCOMPARE(gotAmounts, amounts);
        QCOMPARE(gotQuantities, quantities);
        QCOMPARE(built.doc.taxTotal.toString(), tax);
        QCOMPARE(built.doc.payable, *q.合計);
        QCOMPARE(built.doc.lines[0].unitCode, QStringLiteral("LS"));
        const pint::ReadResult back = pint::ReadUbl(pint::WriteUbl(built.doc));
        QCOMPARE(back.doc, built.doc);
        QCOMPARE(back.findings, QList<pint::Finding>{});
    }

    // An invoice that cannot make a conforming document names what it lacks, and no file appears.
    void refusals_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("named");
        QTest::newRow("「5%」") << 0 << QStringLiteral("「5%」の請求書です");
        QTest::newRow("税区分 非課税") << 1 << QStringLiteral("税区分「非課税」");
        QTest::newRow("no registration number") << 2 << QStringLiteral("自社の登録番号");
        QTest::newRow("registration check digit")
            << 3 << QStringLiteral("自社の登録番号（正しい登録番号ではありません");
        QTest::newRow("customer without identifier") << 4 << QStringLiteral("顧客「株式会社サンプル商事」の Peppol ID");
        QTest::newRow("customer identifier check digit")
            << 5 << QStringLiteral("顧客「株式会社サンプル商事」の Peppol ID");
        QTest::newRow("company without identifier") << 6 << QStringLiteral("自社の Peppol ID");
    }
    void refusals() {
        QFETCH(int, fault);
        QFETCH(QString, named);
        IssuedInvoice inv = SampleInvoice();
        pint::Company company = SampleCompany();
        pint::Customer customer = SampleCustomer();
        switch (fault) {
        case 0:
            inv.header.税率方式 = Scheme5;
            break;
        case 1:
            inv.header.税区分 = QStringLiteral("非課税");
            break;
        case 2:
            inv.header.登録番号.clear();
            break;
        case 3:
            inv.header.登録番号 = QStringLiteral("T8700110005902");
            break;
        case 4:
            customer.PeppolID.clear();
            break;
        case 5:
            customer.PeppolID = QStringLiteral("0188:1234567890123");
            break;
        default:
            company.PeppolID.clear();
        }
        QTemporaryDir dir;
        const pint::Exported out = pint::ExportInvoice(inv, company, customer, dir.path());
        QVERIFY(out.path.isEmpty());
        QVERIFY2(out.missing.join(u'\n').contains(named), qPrintable(out.missing.join(u'\n')));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
    }

    void participantIdsAndUnits() {
        const auto id = [](const char* scheme, const char* value) {
            return std::optional(pint::ParticipantId{scheme, value});
        };
        QCOMPARE(pint::ParseParticipantId("0188:8700110005901"), id("0188", "8700110005901"));
        QCOMPARE(pint::ParseParticipantId("８７００１１０００５９０１"), id("0188", "8700110005901"));
        QCOMPARE(pint::ParseParticipantId("0221:t4010-001-008830"), id("0221", "T4010001008830"));
        QCOMPARE(pint::ParseParticipantId("T4010001008830"), id("0221", "T4010001008830"));
        for (const char* bad :
             {"", "0188:1234567890123", "0088:4012345678901", "0221:4010001008830", "0188:870011000590"})
            QVERIFY2(!pint::ParseParticipantId(QString::fromUtf8(bad)), bad);
        const QList<std::pair<const char*, const char*>> units = {
            {"個", "H87"}, {"式", "LS"}, {"㎡", "MTK"}, {"ｋｇ", "KGM"}, {"袋", "XBG"}, {"", "C62"}, {"坪", "C62"}};
        for (const auto& [unit, code] : units)
            QCOMPARE(pint::UnitCode(QString::fromUtf8(unit)), QString::fromUtf8(code));
        const QString name = pint::InvoiceFileName(12, QStringLiteral("..\\..\\A/B:C*?."));
        QCOMPARE(name, QStringLiteral("12__.._A_B_C__.xml"));
    }
};

int runWriteTests(int argc, char** argv) {
    TestWrite t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_write.moc"
