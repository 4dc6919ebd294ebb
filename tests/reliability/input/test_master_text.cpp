#include "bad_texts.h"
#include "hints/hint_store.h"
#include "masters/customers.h"
#include "masters/helpers.h"
#include "masters/products.h"
#include "masters/settings.h"
#include "store/statements.h"
#include "support/testdb.h"

// Bad texts through the masters' work copies, the company settings and the hints: each is
// stored and found back exactly, and finding, replacing or deleting it touches no other row.
class MasterTextTest : public QObject {
    Q_OBJECT
  private slots:
    void customers_data() { badTextRows(); }
    void customers();
    void products_data() { badTextRows(); }
    void products();
    void settings_data() { badTextRows(); }
    void settings();
    void hints_data() { badTextRows(); }
    void hints();
};

namespace {

QString t(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Names a lookup that widened its match would also take.
QStringList lookalikes(const QString& name) {
    QStringList out{name + u'\'', u'\'' + name, name + u'%', name + QChar(0), name.left(name.size() - 1)};
    out.removeDuplicates();
    out.removeAll(QString());
    return out;
}

// Ticks the work row whose key is exactly name.
void tick(Database& work, const QString& table, const QString& key, const QString& name) {
    auto rs = work.openRecordset(t("select * from ") + table);
    int ticked = 0;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        if (rs->field(key).toText() == name) {
            rs->edit();
            rs->setField(t("チェック"), true);
            rs->update();
            ++ticked;
        }
    QCOMPARE(ticked, 1);
}

// One master through its work copy: register the name among its look-alikes (each also in
// the other text field), read the master back into the work copy, then delete the name alone.
template <typename Entry, typename Read, typename Delete>
void throughWorkCopy(const QString& name, const QString& master, const QString& copy, const QString& key,
                     const QString& textField, const Fields& fixed, Entry entry, Read read, Delete remove) {
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    for (const QString& n : QStringList{name} + lookalikes(name)) {
        Fields row{{key, Value(n)}, {textField, Value(n)}};
        row.insert(row.end(), fixed.begin(), fixed.end());
        addRow(*work, copy, row);
    }
    entry(*main, *work);
    const QStringList stored = sortedDump(*main, master);
    QCOMPARE(stored.size(), countRows(*work, copy));
    read(*work, data.mainPath());
    QStringList copied;
    for (const QString& r : sortedDump(*work, copy))
        copied << r.section(u'|', 1); // the tick comes first and is not in the master
    QCOMPARE(copied, stored);         // the copy in is exact, field by field
    tick(*work, copy, key, name);
    QVERIFY(remove(*main, *work));
    const QStringList left = sortedDump(*main, master);
    QCOMPARE(left.size(), stored.size() - 1);
    for (const QString& r : left)
        QVERIFY(stored.contains(r));
    QCOMPARE(countRows(*work, copy), left.size());
    auto gone = main->openRecordset(master == t("顧客マスタ") ? sql::C1(name) : sql::P1(name));
    QVERIFY(gone->eof());
}

} // namespace

void MasterTextTest::customers() {
    QFETCH(QString, text);
    throughWorkCopy(text, t("顧客マスタ"), t("w顧客マスタ"), t("顧客名"), t("顧客情報"), {}, Entry顧客情報,
                    Read顧客マスタ, Delete顧客);
}

void MasterTextTest::products() {
    QFETCH(QString, text);
    throughWorkCopy(text, t("商品マスタ"), t("w商品マスタ"), t("品名"), t("単位"),
                    {{t("単価"), Value(Currency::fromWhole(120))}, {t("非課税"), Value(true)}}, Entry商品情報,
                    Read商品マスタ, Delete商品);
}

void MasterTextTest::settings() {
    QFETCH(QString, text);
    TestData data;
    auto main = data.openMain();
    Entry設定(*main, {text, text, text, 0x123456});
    const StoredSettings s = Read設定(*main);
    QVERIFY(s.exists);
    QCOMPARE(s.自社名, std::optional<QString>(text));
    QCOMPARE(s.自社情報, std::optional<QString>(text));
    QCOMPARE(s.税区分, std::optional<QString>(text));
    QCOMPARE(s.LineColor1, std::optional<qint64>(0x123456));
    QCOMPARE(countRows(*main, t("自社情報")), 1);
}

void MasterTextTest::hints() {
    QFETCH(QString, text);
    TestData data;
    auto work = data.openWork();
    const QStringList others = lookalikes(text);
    for (const QString& o : others) {
        EntryHint(*work, o, text, t("窓"), t("other"));
        EntryHint(*work, text, o, t("窓"), t("other"));
    }
    const QStringList before = sortedDump(*work, t("ClHint"));
    EntryHint(*work, text, text, text, text);
    QCOMPARE(ReadHint(*work, text, text), std::optional<QString>(text));
    EntryHint(*work, text, text, text, text + t("!")); // replacing keeps one row
    QCOMPARE(ReadHint(*work, text, text), std::optional<QString>(text + t("!")));
    QCOMPARE(countRows(*work, t("ClHint")), before.size() + 1);
    Deleteヒント(*work, text, text);
    QVERIFY(!ReadHint(*work, text, text));
    QCOMPARE(sortedDump(*work, t("ClHint")), before);
}

QTEST_GUILESS_MAIN(MasterTextTest)
#include "test_master_text.moc"
