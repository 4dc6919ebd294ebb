#include "helpers.h"
#include "masters/images.h"
#include "masters/settings.h"
#include "messages/msg.h"
#include "support/testdb.h"

#include <QColorDialog>
#include <QPainter>
#include <QtTest>

namespace {
const QString Company = QStringLiteral("自社情報");

CompanySettings page(const QString& name, const QString& info, const QString& tax, qint64 colour) {
    CompanySettings s;
    s.自社名 = name;
    s.自社情報 = info;
    s.税区分 = tax;
    s.LineColor1 = colour;
    return s;
}

QList<QColor> customColours() {
    QList<QColor> out;
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        out << QColorDialog::customColor(i);
    return out;
}
} // namespace

class TestSettings : public QObject {
    Q_OBJECT
    std::unique_ptr<TestData> data;
    std::unique_ptr<Database> main;

  private slots:
    void init() {
        data = std::make_unique<TestData>();
        main = data->openMain();
    }
    void cleanup() {
        setColorDialogHook({});
        main.reset();
        data.reset();
    }

    void savingWithoutRecordCreatesIt() {
        Entry設定(*main, page("ヴォルニサ商事", "東京都港区", "内税", 255));
        QCOMPARE(dump(*main, Company), QStringList({"自社名=ヴォルニサ商事|自社情報=東京都港区|税区分=内税|"
                                                    "LineColor1=255|最大請求書番号=<null>|登録番号=<null>|税率方式=10%・8%|端数処理=四捨五入"
                                                    "|振込先=<null>|支払期限既定=なし|日付表記=西暦|PeppolID=<null>|郵便番号=<null>|住所=<null>"
         "|最大見積書番号=<null>|最大納品書番号=<null>|最大領収書番号=<null>|締め明細印刷=False"}));
    }

    void savingKeepsTheCounterAndTheSingleRecord() {
        addRow(*main, Company, {{"自社名", QStringLiteral("旧社名")}, {"最大請求書番号", 41}});
        Entry設定(*main, page("新社名", "", "非課税", 1));
        Entry設定(*main, page("新社名２", "大阪", "外税", 16777215));
        QCOMPARE(dump(*main, Company),
                 QStringList({"自社名=新社名２|自社情報=大阪|税区分=外税|LineColor1=16777215|最大請求書番号=41|"
                              "登録番号=<null>|税率方式=10%・8%|端数処理=四捨五入|振込先=<null>|支払期限既定=なし|"
                              "日付表記=西暦|PeppolID=<null>|郵便番号=<null>|住所=<null>"
         "|最大見積書番号=<null>|最大納品書番号=<null>|最大領収書番号=<null>|締め明細印刷=False"}));
    }

    void savingThatFailsChangesNothing() {
        addRow(*main, Company, {{"自社名", QStringLiteral("旧社名")}, {"最大請求書番号", 7}});
        main->executeRaw(
            QStringLiteral("CREATE TRIGGER frozen BEFORE UPDATE ON 自社情報 BEGIN SELECT RAISE(ABORT, 'frozen'); END"));
        const QStringList before = dump(*main, Company);
        QVERIFY_THROWS_EXCEPTION(DbError, Entry設定(*main, page("新社名", "x", "内税", 3)));
        QCOMPARE(dump(*main, Company), before);
        QVERIFY(!main->inTransaction());
    }

    void readWithoutRecord() {
        const StoredSettings s = Read設定(*main);
        QVERIFY(!s.exists);
        QVERIFY(!s.自社名 && !s.自社情報 && !s.税区分 && !s.LineColor1);
    }

    void schemeInForce_data() {
        QTest::addColumn<QString>("stored"); // "-": no settings record; "": a record without a scheme
        QTest::addColumn<QString>("scheme");
        QTest::newRow("new data folder, or wiped") << "-" << Scheme10_8;
        QTest::newRow("record from before the schemes") << "" << Scheme5;
        QTest::newRow("10%・8% chosen") << Scheme10_8 << Scheme10_8;
        QTest::newRow("unknown scheme") << "8%" << Scheme5;
    }
    void schemeInForce() {
        QFETCH(QString, stored);
        QFETCH(QString, scheme);
        if (stored != QLatin1String("-"))
            addRow(*main, Company,
                   {{"自社名", QStringLiteral("社名")}, {"税率方式", stored.isEmpty() ? Value() : Value(stored)}});
        QCOMPARE(SchemeInForce(Read設定(*main)), scheme);
    }

    void readNullFieldsAsMissing() {
        addRow(*main, Company, {{"最大請求書番号", 3}});
        const StoredSettings s = Read設定(*main);
        QVERIFY(s.exists);
        QVERIFY(!s.自社名);
        QVERIFY(!s.自社情報);
        QVERIFY(!s.税区分);
        QVERIFY(!s.LineColor1);
    }

    void readBackWhatWasSaved() {
        Entry設定(*main, page("O'Neill 商会", "", "非課税", 255));
        const StoredSettings s = Read設定(*main);
        QVERIFY(s.exists);
        QCOMPARE(s.自社名, std::optional<QString>(QStringLiteral("O'Neill 商会")));
        // An empty box is stored as empty text, not as a missing value.
        QCOMPARE(s.自社情報, std::optional<QString>(QString()));
        QCOMPARE(s.税区分, std::optional<QString>(QStringLiteral("非課税")));
        QCOMPARE(s.LineColor1, std::optional<qint64>(255));
    }

    void coloursAsLongsHaveRedInTheLowByte() {
        QCOMPARE(LongFromColor(QColor(255, 0, 0)), qint64(255));
        QCOMPARE(LongFromColor(QColor(0, 0, 255)), qint64(16711680));
        QCOMPARE(LongFromColor(QColor(209, 209, 205)), qint64(13488593));
        QCOMPARE(LongFromColor(QColor(255, 128, 128)), qint64(8421631));
        QCOMPARE(LongFromColor(Qt::white), qint64(16777215));
        QCOMPARE(ColorFromLong(255), QColor(255, 0, 0));
        QCOMPARE(ColorFromLong(0), QColor(0, 0, 0));
        QCOMPARE(ColorFromLong(0x030201), QColor(1, 2, 3));
        for (qint64 v : {0LL, 1LL, 8421631LL, 13488593LL, 16777215LL})
            QCOMPARE(LongFromColor(ColorFromLong(v)), v);
    }

    void colourChooserCancelGivesMinusOne() {
        int calls = 0;
        QColor seenInitial;
        setColorDialogHook([&](QWidget*, const QColor& initial) -> std::optional<QColor> {
            ++calls;
            seenInitial = initial;
            return std::nullopt;
        });
        QCOMPARE(ChooseLineColor(nullptr, 255), qint64(-1));
        QCOMPARE(calls, 1);
        QCOMPARE(seenInitial, QColor(255, 0, 0));
    }

    void colourChooserReturnsThePick() {
        setColorDialogHook([](QWidget*, const QColor&) -> std::optional<QColor> { return QColor(255, 0, 0); });
        QCOMPARE(ChooseLineColor(nullptr, 0), qint64(255));
        setColorDialogHook([](QWidget*, const QColor&) -> std::optional<QColor> { return QColor(10, 20, 30); });
        QCOMPARE(ChooseLineColor(nullptr, 0), qint64(10 + 20 * 256 + 30 * 65536));
    }

    void everyCallStartsWithWhiteCustomColours() {
        QColorDialog::setCustomColor(5, Qt::blue); // left over from elsewhere
        QList<QList<QColor>> seen;
        setColorDialogHook([&](QWidget*, const QColor&) -> std::optional<QColor> {
            seen << customColours();
            // The user defines custom colours in the dialog; they must not outlive it.
            QColorDialog::setCustomColor(0, Qt::green);
            QColorDialog::setCustomColor(15, Qt::red);
            return QColor(Qt::green);
        });
        ChooseLineColor(nullptr, 0);
        ChooseLineColor(nullptr, 0);
        QCOMPARE(seen.size(), 2);
        const QList<QColor> white(16, QColor(Qt::white));
        QCOMPARE(QColorDialog::customCount(), 16);
        QCOMPARE(seen[0], white);
        QCOMPARE(seen[1], white);
    }

    // A 10,000 × 10,000 scan and a wide photo are scaled into their boxes, a transparent seal stays
    // transparent; a file that is not a readable PNG or JPEG, or too big, is refused and changes nothing.
    void companyImages() {
        const auto save = [&](const char* name, const QImage& image) {
            const QString path = data->folder() + QString::fromUtf8(name);
            return image.save(path) ? path : QString();
        };
        QImage huge(10000, 10000, QImage::Format_Mono), photo(2000, 500, QImage::Format_RGB32);
        huge.fill(1);
        photo.fill(Qt::blue);
        QVERIFY(Import画像(*main, CompanyImage::印影, save("huge.png", huge)).isEmpty());
        QCOMPARE(Read画像(*main, CompanyImage::印影).size(), QSize(496, 496));
        QVERIFY(Import画像(*main, CompanyImage::ロゴ, save("logo.jpg", photo)).isEmpty());
        QCOMPARE(Read画像(*main, CompanyImage::ロゴ).size(), QSize(945, 236));
        QImage seal(300, 300, QImage::Format_ARGB32);
        seal.fill(Qt::transparent);
        QPainter(&seal).fillRect(100, 100, 100, 100, Qt::red);
        QVERIFY(Import画像(*main, CompanyImage::印影, save("seal.png", seal)).isEmpty());

        QFile text(data->folder() + QStringLiteral("seal.txt")), big(data->folder() + QStringLiteral("big.png"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("印影") && big.open(QIODevice::WriteOnly) &&
                big.resize(ImageMaxFileBytes + 1));
        text.close();
        for (const auto& [path, why] : {std::pair{text.fileName(), "読めない"}, std::pair{save("seal.bmp", seal), "読めない"},
                                        std::pair{big.fileName(), "大きすぎ"}}) {
            QCOMPARE(Import画像(*main, CompanyImage::印影, path), QString::fromUtf8(why));
            const QImage kept = Read画像(*main, CompanyImage::印影);
            QVERIFY(kept.size() == QSize(300, 300) && kept.pixelColor(10, 10).alpha() == 0 &&
                    kept.pixelColor(150, 150) == QColor(Qt::red));
            QVERIFY(msg::lookup(QStringLiteral("画像"), QString::fromUtf8(why), path));
        }
    }
};

int runSettingsTests(int argc, char** argv) {
    TestSettings t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_settings.moc"
