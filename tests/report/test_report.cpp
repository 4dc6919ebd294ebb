#include "messages/msg.h"
#include "report/invoice_layout.h"
#include "figures/figures.h"
#include "report/number_format.h"
#include "report/preview.h"
#include "report/summary_report.h"
#include "report/text_fit.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolBar>
#include <QXmlStreamReader>
#include <QtTest>
#include <cmath>

namespace {

// Layout geometry in twips, as the printed form is drawn; a PDF point is 20 twips.
constexpr double kTopMargin = 900;
constexpr double kLeftMargin = 300;
constexpr double kHeaderHeight = 3540;
constexpr double kRowHeight = 370;
constexpr int kRowsPerPage = 30;

double pt(double twips) {
    return twips / 20.0;
}
// A header control's rectangle on the page, in points.
QRectF headerBox(double l, double t, double w, double h) {
    return {pt(kLeftMargin + l), pt(kTopMargin + t), pt(w), pt(h)};
}
double rowTop(int row) {
    return kTopMargin + kHeaderHeight + row * kRowHeight;
}
QRectF rowBox(int row, double l, double t, double w, double h) {
    return {pt(kLeftMargin + l), pt(rowTop(row) + t), pt(w), pt(h)};
}

struct Word {
    QString text;
    QRectF box; // points, origin at the top-left of the page
};

struct ToolResult {
    bool ok = false;
    QByteArray out;
    QString error;
};

ToolResult runTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    ToolResult r;
    if (!p.waitForFinished(60000)) {
        r.error = program + QStringLiteral(" did not finish: ") + p.errorString();
        return r;
    }
    r.out = p.readAllStandardOutput();
    r.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!r.ok)
        r.error = program + QStringLiteral(" failed: ") + QString::fromUtf8(p.readAllStandardError());
    return r;
}

std::vector<Word> wordsOf(const QString& pdf, int page) {
    const ToolResult r = runTool(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                  QString::number(page), QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    std::vector<Word> words;
    if (!r.ok) {
        qWarning() << r.error;
        return words;
    }
    QXmlStreamReader xml(r.out);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("word")) {
            const auto a = xml.attributes();
            const double x0 = a.value(QLatin1String("xMin")).toDouble();
            const double y0 = a.value(QLatin1String("yMin")).toDouble();
            const double x1 = a.value(QLatin1String("xMax")).toDouble();
            const double y1 = a.value(QLatin1String("yMax")).toDouble();
            words.push_back({xml.readElementText(), QRectF(QPointF(x0, y0), QPointF(x1, y1))});
        }
    }
    return words;
}

// Words whose centre lies inside a region, in reading order.
std::vector<Word> wordsIn(const std::vector<Word>& words, const QRectF& region) {
    std::vector<Word> found;
    for (const Word& w : words)
        if (region.contains(w.box.center()))
            found.push_back(w);
    return found;
}

QString joined(const std::vector<Word>& words) {
    QStringList parts;
    for (const Word& w : words)
        parts << w.text;
    return parts.join(QLatin1Char(' '));
}

QImage raster(const QString& pdf, int page, int dpi, bool gray, const QRect& cropPx = {}) {
    const QString prefix = pdf + QStringLiteral(".p%1.r%2").arg(page).arg(dpi);
    QStringList args{QStringLiteral("-f"),          QString::number(page), QStringLiteral("-l"), QString::number(page),
                     QStringLiteral("-singlefile"), QStringLiteral("-r"),  QString::number(dpi)};
    args << (gray ? QStringLiteral("-gray") : QStringLiteral("-png"));
    if (cropPx.isValid())
        args << QStringLiteral("-x") << QString::number(cropPx.x()) << QStringLiteral("-y")
             << QString::number(cropPx.y()) << QStringLiteral("-W") << QString::number(cropPx.width())
             << QStringLiteral("-H") << QString::number(cropPx.height());
    args << pdf << prefix;
    const ToolResult r = runTool(QStringLiteral("pdftoppm"), args);
    if (!r.ok) {
        qWarning() << r.error;
        return {};
    }
    return QImage(prefix + (gray ? QStringLiteral(".pgm") : QStringLiteral(".png")));
}

// Centres (points) of long horizontal rules below a given height: rows of the image that are dark across
// nearly the whole span between x0 and x1.
std::vector<double> horizontalRules(const QImage& gray, int dpi, double fromPt, double x0Pt, double x1Pt) {
    const double scale = dpi / 72.0;
    const int xa = int(x0Pt * scale), xb = int(x1Pt * scale);
    std::vector<double> centres;
    int runStart = -1;
    for (int y = int(fromPt * scale); y <= gray.height(); ++y) {
        bool rule = false;
        if (y < gray.height()) {
            int dark = 0;
            for (int x = xa; x < xb; ++x)
                dark += qGray(gray.pixel(x, y)) < 200;
            rule = dark > 0.95 * (xb - xa);
        }
        if (rule && runStart < 0)
            runStart = y;
        if (!rule && runStart >= 0) {
            centres.push_back((runStart + y) / 2.0 / scale);
            runStart = -1;
        }
    }
    return centres;
}

// Number of separate horizontal bars in a glyph image: rows where one unbroken stroke spans most of the
// glyph's width (serifs at the top of the arms leave a gap, so they do not count).
// A yen sign has two; a backslash has none.
int horizontalBars(const QImage& img) {
    int left = img.width(), right = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    if (right < left)
        return 0;
    const int inkWidth = right - left + 1;
    int bars = 0;
    bool inBar = false;
    for (int y = 0; y < img.height(); ++y) {
        int run = 0, longest = 0;
        for (int x = left; x <= right; ++x) {
            run = qGray(img.pixel(x, y)) < 128 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        const bool bar = longest > 0.6 * inkWidth;
        if (bar && !inBar)
            ++bars;
        inBar = bar;
    }
    return bars;
}

PrintValues sampleValues() {
    PrintValues v;
    v.prn日付 = QStringLiteral("2026年12月07日");
    v.prn顧客情報 = QStringLiteral("〒100-0001\n東京都千代田区千代田1-1\nTEL 03-1234-5678");
    v.prn顧客名 = QStringLiteral("株式会社テスト商事");
    v.prn自社名 = QStringLiteral("有限会社ヴォルニサ");
    v.prn自社情報 = QStringLiteral("〒150-0001\n東京都渋谷区神宮前1-2-3\nTEL 03-9876-5432");
    v.prn税抜計 = 12000;
    v.prn消費税 = 1200;
    v.prn合計 = 13200;
    v.prn請求金額 = 13200;
    return v;
}

std::vector<DetailRecord> sampleRecords() {
    return {
        {QStringLiteral("特製りんご"), 2.5, QStringLiteral("ダース箱入"), 1234567, 3086418},
        {QStringLiteral("みかん"), 10, QStringLiteral("kg"), 300, 3000},
        {QStringLiteral("ぶどう"), 1, QStringLiteral("箱"), 5000, 5000},
    };
}

std::vector<DetailRecord> numberedRecords(int n) {
    std::vector<DetailRecord> recs;
    for (int i = 1; i <= n; ++i)
        recs.push_back({QStringLiteral("品目%1").arg(i), i, QStringLiteral("個"), 100, 100 * i});
    return recs;
}

// An invoice that pushes every box: ten-digit figures, names and address blocks far too long.
const QString kLongName =
    QString(QStringLiteral("株式会社ロングネーム商事東日本営業本部第一営業部特販課")).repeated(3).left(60);

PrintValues longValues() {
    PrintValues v = sampleValues();
    v.prn伝票番号 = QStringLiteral("45");
    v.prn顧客名 = v.prn自社名 = kLongName;
    v.prn顧客情報 = v.prn自社情報 = QStringLiteral("東京都千代田区千代田一丁目一番一号 千代田ビル十階\n").repeated(12);
    v.prn税抜計 = 1122334455;
    v.prn消費税 = 112233445;
    v.prn合計 = v.prn請求金額 = 1234567900;
    return v;
}

// A control of the printed layout, by name.
report::Control layoutControl(const QString& name) {
    report::Section header, detail, footer;
    report::buildInvoiceLayout(header, detail, footer);
    const report::Control* c = header.find(name);
    return c ? *c : *detail.find(name);
}

} // namespace

Q_DECLARE_METATYPE(PrintValues)

class TestReport : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir;

    QString makePdf(const QString& name, const PrintValues& v, const std::vector<DetailRecord>& recs) {
        const QString path = dir.filePath(name + QStringLiteral(".pdf"));
        rpt請求書 report(v, recs);
        return report.exportPdf(path) ? path : QString();
    }

  private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void thousandsFormat_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero prints nothing") << QVariant(0) << QString();
        QTest::newRow("rounds to zero") << QVariant(0.4) << QString();
        QTest::newRow("negative rounds to zero") << QVariant(-0.4) << QString();
        QTest::newRow("null") << QVariant() << QString();
        QTest::newRow("below a thousand") << QVariant(999) << QStringLiteral("999");
        QTest::newRow("one thousand") << QVariant(1000) << QStringLiteral("1,000");
        QTest::newRow("millions") << QVariant(1234567) << QStringLiteral("1,234,567");
        QTest::newRow("half rounds up") << QVariant(2.5) << QStringLiteral("3");
        QTest::newRow("below half rounds down") << QVariant(2.49) << QStringLiteral("2");
        QTest::newRow("carry into a new group") << QVariant(999999.5) << QStringLiteral("1,000,000");
        QTest::newRow("negative") << QVariant(-1234.5) << QStringLiteral("-1,235");
        QTest::newRow("numeric text") << QVariant(QStringLiteral("15000")) << QStringLiteral("15,000");
        QTest::newRow("other text passes") << QVariant(QStringLiteral("一式")) << QStringLiteral("一式");
        QTest::newRow("beyond 32 bits") << QVariant(12345678901.0) << QStringLiteral("12,345,678,901");
    }
    void thousandsFormat() {
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        QCOMPARE(figures::formatThousands(value), expected);
    }

    void dateReformat_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("printed");
        QTest::newRow("box text") << QStringLiteral("2026年12月07日") << QStringLiteral("2026/12/07");
        QTest::newRow("unpadded") << QStringLiteral("2027年1月5日") << QStringLiteral("2027/01/05");
        QTest::newRow("no date") << QString() << QString();
        QTest::newRow("blank") << QStringLiteral("  ") << QString();
    }
    void dateReformat() {
        QFETCH(QString, shown);
        QFETCH(QString, printed);
        QCOMPARE(report::reformatDate(shown), printed);
    }

    // Dates in the era at each change of era; before 1873 the eras counted other days.
    void warekiDates() {
        const std::pair<QDate, const char*> rows[] = {
            {QDate(1872, 12, 31), "1872/12/31"},     {QDate(1873, 1, 1), "明治6年1月1日"},
            {QDate(1912, 7, 29), "明治45年7月29日"}, {QDate(1912, 7, 30), "大正元年7月30日"},
            {QDate(1926, 12, 24), "大正15年12月24日"}, {QDate(1926, 12, 25), "昭和元年12月25日"},
            {QDate(1989, 1, 7), "昭和64年1月7日"},   {QDate(1989, 1, 8), "平成元年1月8日"},
            {QDate(2019, 4, 30), "平成31年4月30日"}, {QDate(2019, 5, 1), "令和元年5月1日"},
            {QDate(2019, 12, 31), "令和元年12月31日"}, {QDate(2026, 1, 15), "令和8年1月15日"},
        };
        for (const auto& [date, printed] : rows)
            QCOMPARE(report::printedDate(date, true), QString::fromUtf8(printed));
    }

    // What the page says for a few invoices: the number always, each addition only when the
    // invoice has it, on one page inside its printable area, the seal and logo whole at 600 dpi.
    void printedTexts_data() {
        QTest::addColumn<PrintValues>("values");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        PrintValues plain = sampleValues(), all, longest;
        plain.prn伝票番号 = QStringLiteral("12");
        all = plain;
        all.prn件名 = QStringLiteral("店舗改装工事");
        all.prn支払期限 = QDate(2027, 1, 31);
        all.prn振込先 = QStringLiteral("○○銀行 本店 普通 1234567 カ）ヴォルニサ");
        all.prn備考 = QStringLiteral("振込手数料はご負担ください。");
        all.prn敬称 = QStringLiteral("御中");
        all.prn和暦 = true;
        all.prn印影 = QImage(496, 496, QImage::Format_ARGB32);
        all.prn印影.fill(QColor(200, 0, 0, 128));
        all.prnロゴ = QImage(945, 354, QImage::Format_RGB32);
        all.prnロゴ.fill(Qt::blue);
        // Everything at its longest on a qualified invoice with 30 lines.
        longest = all;
        longest.prn伝票番号 = QStringLiteral("123456");
        longest.prn件名 = kLongName;
        longest.prn振込先 = longest.prn備考 = QStringLiteral("一行目の文\n二行目の文\n三行目の文\n四行目の文");
        longest.prn敬称.clear();
        longest.prn和暦 = false;
        longest.prn適格 = true;
        longest.prn登録番号 = QStringLiteral("T7000012050002");
        longest.prn対象10 = 8000;
        longest.prn消費税10 = 800;
        const QStringList extras = {QStringLiteral("件名"), QStringLiteral("お支払期限"), QStringLiteral("お振込先"),
                                    QStringLiteral("備考")};
        QTest::newRow("none of them") << plain
                                      << QStringList{QStringLiteral("No. 00012"), QStringLiteral("日付 2026/12/07"),
                                                     QStringLiteral("株式会社テスト商事 様")}
                                      << extras + QStringList{QStringLiteral("御中")};
        QTest::newRow("all, 和暦") << all
                                 << extras + QStringList{QStringLiteral("日付 令和8年12月7日"),
                                                         QStringLiteral("株式会社テスト商事 御中"),
                                                         QStringLiteral("件名 店舗改装工事"),
                                                         QStringLiteral("お支払期限 令和9年1月31日"), all.prn振込先,
                                                         all.prn備考}
                                 << QStringList{QStringLiteral("様"), QStringLiteral("2026/12/07")};
        QTest::newRow("qualified, longest")
            << longest
            << QStringList{QStringLiteral("No. 123456"),
                           QStringLiteral("登録番号 T7000012050002"), QStringLiteral("※は軽減税率対象"),
                           QStringLiteral("10%対象 ¥8,000 消費税 ¥800"), QStringLiteral("品目30"),
                           QStringLiteral("四行目の文 四行目の文"), kLongName.left(20), kLongName.right(10),
                           QStringLiteral("お支払期限 2027/01/31")}
            << QStringList{QStringLiteral("…"), QStringLiteral("様"), QStringLiteral("御中")};
    }
    void printedTexts() {
        QFETCH(PrintValues, values);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        rpt請求書 report(values, numberedRecords(values.prn適格 ? 30 : 3));
        QCOMPARE(report.pageCount(), 1);
        const QString pdf = dir.filePath(QStringLiteral("texts-%1.pdf").arg(QTest::currentDataTag()));
        QVERIFY(report.exportPdf(pdf));
        const ToolResult text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        const QString page = QString::fromUtf8(text.out).replace(QStringLiteral("￥"), QStringLiteral("¥")).simplified();
        for (const QString& t : present)
            QVERIFY2(page.contains(t), qPrintable(t));
        for (const QString& t : absent)
            QVERIFY2(!page.contains(t), qPrintable(t));
        const QSizeF a4(QPageSize(QPageSize::A4).size(QPageSize::Point));
        for (const Word& w : wordsOf(pdf, 1))
            QVERIFY2(w.box.top() >= pt(kTopMargin) && w.box.bottom() <= a4.height() - pt(1100) &&
                         w.box.left() >= pt(kLeftMargin) && w.box.right() <= a4.width(),
                     qPrintable(w.text));
        // Images as `pdfimages -list` gives them: width, height and x-ppi.
        const ToolResult images = runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
        QStringList found, expected;
        for (const QString& line : QString::fromUtf8(images.out).split(u'\n').mid(2))
            if (const QStringList f = line.simplified().split(u' '); f.size() > 13 && f[2] == QLatin1String("image"))
                found << f[3] + u'x' + f[4] + u'@' + f[12];
        if (!values.prn印影.isNull())
            expected << QStringLiteral("496x496@600") << QStringLiteral("945x354@600");
        QCOMPARE(found, expected);
    }

    void layoutFontsResolveToJapaneseFaces_data() {
        QTest::addColumn<QString>("layoutFamily");
        QTest::newRow("mincho") << QStringLiteral("ＭＳ Ｐ明朝");
        QTest::newRow("gothic") << QStringLiteral("ＭＳ ゴシック");
    }
    void layoutFontsResolveToJapaneseFaces() {
        QFETCH(QString, layoutFamily);
        const QString family = resolvedFamily(layoutFamily);
        QVERIFY2(family.contains(QLatin1String("IPA")) || family.contains(QLatin1String("Noto")), qPrintable(family));
        QVERIFY2(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese), qPrintable(family));
    }

    void pagesFollowTheData_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("pages");
        QTest::newRow("none") << 0 << 1;
        QTest::newRow("few") << 3 << 1;
        QTest::newRow("exactly one page") << 30 << 1;
        QTest::newRow("one over") << 31 << 2;
        QTest::newRow("exactly two pages") << 60 << 2;
        QTest::newRow("three pages") << 61 << 3;
    }
    void pagesFollowTheData() {
        QFETCH(int, records);
        QFETCH(int, pages);
        rpt請求書 report(sampleValues(), numberedRecords(records));
        QCOMPARE(report.pageCount(), pages);
        // The last page is always filled up to the full number of ruled rows.
        QCOMPARE(report.LineCnt, kRowsPerPage);
    }

    void pdfIsOneA4PortraitPageWithJapaneseFonts() {
        const QString pdf = makePdf(QStringLiteral("a4"), sampleValues(), sampleRecords());
        QVERIFY(!pdf.isEmpty());
        const ToolResult info = runTool(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.ok, qPrintable(info.error));
        const QString text = QString::fromUtf8(info.out);
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(text));
        const auto m = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(text);
        QVERIFY2(m.hasMatch(), qPrintable(text));
        QVERIFY(std::abs(m.captured(1).toDouble() - 595.3) < 1.0);
        QVERIFY(std::abs(m.captured(2).toDouble() - 841.9) < 1.0);

        const ToolResult fonts = runTool(QStringLiteral("pdffonts"), {pdf});
        QVERIFY2(fonts.ok, qPrintable(fonts.error));
        QVERIFY2(fonts.out.contains("IPA") || fonts.out.contains("Noto"), fonts.out.constData());
    }

    void headerTextsSitWhereTheLayoutPutsThem() {
        const QString pdf = makePdf(QStringLiteral("header"), sampleValues(), sampleRecords());
        QVERIFY(!pdf.isEmpty());
        const auto words = wordsOf(pdf, 1);
        QVERIFY(!words.empty());

        struct Left {
            const char* what;
            QRectF box;
            QString text;
        };
        const Left lefts[] = {
            {"customer info", headerBox(285, 495, 5325, 855), QStringLiteral("〒100-0001")},
            {"date label", headerBox(7583, 638, 637, 283), QStringLiteral("日付")},
            {"date", headerBox(8291, 638, 2268, 283), QStringLiteral("2026/12/07")},
            {"own name", headerBox(6094, 1205, 4465, 425), QStringLiteral("有限会社ヴォルニサ")},
            {"customer", headerBox(285, 1410, 5050, 420), QStringLiteral("株式会社テスト商事")},
            {"honorific", headerBox(5450, 1417, 496, 355), QStringLiteral("様")},
            {"own info", headerBox(6165, 1635, 4395, 1455), QStringLiteral("〒150-0001")},
            {"amount label", headerBox(283, 1984, 1560, 355), QStringLiteral("ご請求金額")},
            {"amount", headerBox(2055, 1960, 3260, 360), QStringLiteral("¥13,200")},
        };
        for (const Left& l : lefts) {
            const auto in = wordsIn(words, l.box);
            QVERIFY2(!in.empty(), l.what);
            Word first = in.front();
            // The font maps both yen signs to one glyph, so the text layer may give back either.
            first.text.replace(QStringLiteral("￥"), QStringLiteral("¥"));
            QVERIFY2(first.text == l.text, qPrintable(QString::fromUtf8(l.what) + QStringLiteral(": ") + first.text));
            QVERIFY2(
                std::abs(first.box.left() - l.box.left()) < 1.5,
                qPrintable(QStringLiteral("%1 left %2 vs %3").arg(l.what).arg(first.box.left()).arg(l.box.left())));
            QVERIFY2(std::abs(first.box.top() - l.box.top()) < 3.0,
                     qPrintable(QStringLiteral("%1 top %2 vs %3").arg(l.what).arg(first.box.top()).arg(l.box.top())));
        }

        // Several lines of the address block wrap inside their box, one under the other.
        const auto info = wordsIn(words, headerBox(285, 495, 5325, 855));
        QVERIFY2(joined(info).contains(QStringLiteral("東京都千代田区千代田1-1")), qPrintable(joined(info)));
        QVERIFY(info.back().box.top() > info.front().box.bottom());

        struct Right {
            const char* what;
            QRectF box;
            QString text;
        };
        const Right rights[] = {
            {"subtotal", headerBox(213, 2764, 1630, 283), QStringLiteral("12,000")},
            {"tax", headerBox(1920, 2760, 1380, 285), QStringLiteral("1,200")},
            {"total", headerBox(3280, 2764, 1630, 283), QStringLiteral("13,200")},
        };
        for (const Right& r : rights) {
            const auto in = wordsIn(words, r.box);
            QCOMPARE(joined(in), r.text);
            QVERIFY2(
                std::abs(in.back().box.right() - r.box.right()) < 2.5,
                qPrintable(
                    QStringLiteral("%1 right %2 vs %3").arg(r.what).arg(in.back().box.right()).arg(r.box.right())));
        }

        // The title is centred in its box at 18 points: three full-width glyphs about 54 points wide.
        const auto title = wordsIn(words, headerBox(8355, 10, 1830, 380));
        QCOMPARE(joined(title), QStringLiteral("請求書"));
        QVERIFY(std::abs(title.front().box.center().x() - pt(kLeftMargin + 8355 + 1830 / 2.0)) < 2.0);
        QVERIFY2(title.front().box.width() > 54 * 0.85 && title.front().box.width() < 54 * 1.15,
                 qPrintable(QString::number(title.front().box.width())));
        QVERIFY(title.front().box.height() > 18 * 0.8 && title.front().box.height() < 18 * 1.4);

        const auto heading = wordsIn(words, headerBox(213, 2480, 1700, 284));
        QCOMPARE(joined(heading), QStringLiteral("税抜計"));
    }

    void detailRowsCarryTheRecordsThenEmptyRuledRows() {
        const QString pdf = makePdf(QStringLiteral("rows"), sampleValues(), sampleRecords());
        QVERIFY(!pdf.isEmpty());
        const auto words = wordsOf(pdf, 1);

        struct Expect {
            QString name, qty, unit, price, amount;
        };
        // Quantity 2.5 keeps its decimals; a five-character unit is cut to three.
        const Expect rows[] = {
            {QStringLiteral("特製りんご"), QStringLiteral("2.5"), QStringLiteral("ダース"), QStringLiteral("1,234,567"),
             QStringLiteral("3,086,418")},
            {QStringLiteral("みかん"), QStringLiteral("10"), QStringLiteral("kg"), QStringLiteral("300"),
             QStringLiteral("3,000")},
            {QStringLiteral("ぶどう"), QStringLiteral("1"), QStringLiteral("箱"), QStringLiteral("5,000"),
             QStringLiteral("5,000")},
        };
        for (int i = 0; i < 3; ++i) {
            const QRectF nameBox = rowBox(i, 75, 30, 5490, 300);
            const auto name = wordsIn(words, nameBox);
            QCOMPARE(joined(name), rows[i].name);
            QVERIFY(std::abs(name.front().box.left() - nameBox.left()) < 1.5);
            QVERIFY(std::abs(name.front().box.top() - nameBox.top()) < 3.0);

            const QRectF qtyBox = rowBox(i, 5670, 30, 1170, 300);
            const auto qty = wordsIn(words, qtyBox);
            QCOMPARE(joined(qty), rows[i].qty);
            QVERIFY(std::abs(qty.back().box.right() - qtyBox.right()) < 2.5);

            const QRectF unitBox = rowBox(i, 6840, 30, 645, 300);
            const auto unit = wordsIn(words, unitBox);
            QCOMPARE(joined(unit), rows[i].unit);
            QVERIFY(std::abs(unit.front().box.center().x() - unitBox.center().x()) < 2.5);

            const QRectF priceBox = rowBox(i, 7470, 30, 1530, 300);
            const auto price = wordsIn(words, priceBox);
            QCOMPARE(joined(price), rows[i].price);
            QVERIFY(std::abs(price.back().box.right() - priceBox.right()) < 2.5);

            const QRectF amountBox = rowBox(i, 9000, 30, 1530, 300);
            const auto amount = wordsIn(words, amountBox);
            QCOMPARE(joined(amount), rows[i].amount);
            QVERIFY(std::abs(amount.back().box.right() - amountBox.right()) < 2.5);
        }
        // Rows past the data are blank: the last record must not be repeated into them.
        for (int i = 3; i < kRowsPerPage; ++i)
            QVERIFY2(wordsIn(words, rowBox(i, 0, 0, 10600, 370)).empty(), qPrintable(QString::number(i)));
        QCOMPARE(int(wordsIn(words, QRectF(0, pt(rowTop(0)), 600, 842 - pt(rowTop(0)))).size()), 3 * 5);

        const QImage page = raster(pdf, 1, 144, true);
        QVERIFY(!page.isNull());
        const auto rules =
            horizontalRules(page, 144, pt(rowTop(0) + 40), pt(kLeftMargin + 80) + 4, pt(kLeftMargin + 10575) - 4);
        QCOMPARE(int(rules.size()), kRowsPerPage);
        for (int i = 0; i < kRowsPerPage; ++i)
            QVERIFY2(std::abs(rules[i] - pt(rowTop(i) + 355)) < 1.0,
                     qPrintable(QStringLiteral("rule %1 at %2").arg(i).arg(rules[i])));
    }

    void secondPageStartsWithItsOwnHeader() {
        const QString pdf = makePdf(QStringLiteral("two"), sampleValues(), numberedRecords(31));
        QVERIFY(!pdf.isEmpty());
        const ToolResult info = runTool(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY(QString::fromUtf8(info.out).contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));

        const auto first = wordsOf(pdf, 1);
        QCOMPARE(joined(wordsIn(first, rowBox(29, 75, 30, 5490, 300))), QStringLiteral("品目30"));
        const auto second = wordsOf(pdf, 2);
        QCOMPARE(joined(wordsIn(second, headerBox(285, 1410, 5050, 420))), QStringLiteral("株式会社テスト商事"));
        QCOMPARE(joined(wordsIn(second, rowBox(0, 75, 30, 5490, 300))), QStringLiteral("品目31"));
        QCOMPARE(joined(wordsIn(second, rowBox(0, 9000, 30, 1530, 300))), QStringLiteral("3,100"));
        for (int i = 1; i < kRowsPerPage; ++i)
            QVERIFY(wordsIn(second, rowBox(i, 0, 0, 10600, 370)).empty());

        const QImage page = raster(pdf, 2, 144, true);
        QCOMPARE(
            int(horizontalRules(page, 144, pt(rowTop(0) + 40), pt(kLeftMargin + 80) + 4, pt(kLeftMargin + 10575) - 4)
                    .size()),
            kRowsPerPage);
    }

    void blankAndZeroValuesPrintNothing() {
        PrintValues v = sampleValues();
        v.prn日付.clear();
        v.prn税抜計.reset();
        v.prn消費税 = 0;
        v.prn合計 = 1234567;
        v.prn請求金額 = 0;
        const QString pdf = makePdf(QStringLiteral("blank"), v, sampleRecords());
        QVERIFY(!pdf.isEmpty());
        const auto words = wordsOf(pdf, 1);

        QCOMPARE(joined(wordsIn(words, headerBox(7583, 638, 637, 283))), QStringLiteral("日付"));
        QVERIFY(wordsIn(words, headerBox(8291, 638, 2268, 283)).empty());
        QVERIFY(wordsIn(words, headerBox(213, 2764, 1630, 283)).empty());
        QVERIFY(wordsIn(words, headerBox(1920, 2760, 1380, 285)).empty());
        QCOMPARE(joined(wordsIn(words, headerBox(3280, 2764, 1630, 283))), QStringLiteral("1,234,567"));
        const QString yen = joined(wordsIn(words, headerBox(2055, 1960, 3260, 360)));
        QVERIFY2(yen == QStringLiteral("￥") || yen == QStringLiteral("¥"), qPrintable(yen));
    }

    void yenSignIsDrawnAsYen() {
        PrintValues v = sampleValues();
        v.prn請求金額.reset();
        const QString pdf = makePdf(QStringLiteral("yen"), v, {});
        QVERIFY(!pdf.isEmpty());
        const auto words = wordsIn(wordsOf(pdf, 1), headerBox(2055, 1960, 3260, 360));
        QCOMPARE(int(words.size()), 1);
        QVERIFY(!words.front().text.contains(QLatin1Char('\\')));

        // Look at the glyph itself: a yen sign has two crossbars, a backslash has none.
        constexpr int dpi = 600;
        const QRectF b = words.front().box;
        const QRect crop(int(b.left() * dpi / 72.0) - 4, int(b.top() * dpi / 72.0) - 4, int(b.width() * dpi / 72.0) + 8,
                         int(b.height() * dpi / 72.0) + 8);
        const QImage glyph = raster(pdf, 1, dpi, true, crop);
        QVERIFY(!glyph.isNull());
        QCOMPARE(horizontalBars(glyph), 2);

        // The same measure tells a backslash's shape apart, so the check above can fail. Drawn as a stroke:
        // the Japanese faces here render U+005C as a yen sign themselves.
        QImage slash(200, 200, QImage::Format_RGB32);
        slash.fill(Qt::white);
        {
            QPainter p(&slash);
            p.setPen(QPen(Qt::black, 14));
            p.drawLine(60, 20, 140, 180);
        }
        QCOMPARE(horizontalBars(slash), 0);
    }

    void headingsAreWhiteOnNavy() {
        const QString pdf = makePdf(QStringLiteral("navy"), sampleValues(), sampleRecords());
        QVERIFY(!pdf.isEmpty());
        const QImage page = raster(pdf, 1, 72, false);
        QVERIFY(!page.isNull());
        const QRectF labels[] = {headerBox(213, 2480, 1700, 284), headerBox(65, 3210, 5655, 340),
                                 headerBox(9060, 3210, 1520, 345)};
        for (const QRectF& box : labels) {
            const QRect inner = box.toAlignedRect().adjusted(2, 2, -2, -2);
            int navy = 0, white = 0;
            for (int y = inner.top(); y <= inner.bottom(); ++y)
                for (int x = inner.left(); x <= inner.right(); ++x) {
                    const QColor c = page.pixelColor(x, y);
                    navy += c.red() < 30 && c.green() < 30 && std::abs(c.blue() - 128) < 30;
                    white += c.red() > 200 && c.green() > 200 && c.blue() > 200;
                }
            const int area = inner.width() * inner.height();
            QVERIFY2(navy > area / 2, qPrintable(QStringLiteral("navy %1 of %2").arg(navy).arg(area)));
            QVERIFY(white > 0); // the caption
        }
        // Ordinary text boxes have no background.
        const QRect plain = headerBox(285, 1410, 5050, 420).toAlignedRect();
        const QColor corner = page.pixelColor(plain.right() - 2, plain.bottom() - 2);
        QVERIFY(corner.red() > 240 && corner.green() > 240 && corner.blue() > 240);
    }

    void quantityFormat_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half stays") << 2.5 << QStringLiteral("2.5");
        QTest::newRow("whole grouped") << 1234567.0 << QStringLiteral("1,234,567");
        QTest::newRow("fraction grouped") << -1234.25 << QStringLiteral("-1,234.25");
        QTest::newRow("float noise") << 0.1 + 0.2 << QStringLiteral("0.3");
        QTest::newRow("past four decimals") << 1.00004 << QStringLiteral("1");
        QTest::newRow("zero prints nothing") << 0.0 << QString();
    }
    void quantityFormat() {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(report::applyOutputFormat(value, figures::kQuantityFormat), expected);
    }

    void textsShrinkJustEnoughToFit_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("shrinks");
        QTest::addColumn<bool>("ellipsis");
        QTest::newRow("short amount") << QStringLiteral("txt金額") << QStringLiteral("3,000") << false << false;
        QTest::newRow("nine-digit total")
            << QStringLiteral("txt合計") << QStringLiteral("104,808,900") << true << false;
        QTest::newRow("figures have no floor")
            << QStringLiteral("txt金額") << QStringLiteral("1,234,567,890,123,456") << true << false;
        QTest::newRow("short name") << QStringLiteral("txt品名") << QStringLiteral("みかん") << false << false;
        QTest::newRow("name a little long") << QStringLiteral("txt品名") << kLongName.left(26) << true << false;
        QTest::newRow("sixty-character name") << QStringLiteral("txt品名") << kLongName << true << true;
        QTest::newRow("four address lines")
            << QStringLiteral("txt顧客情報") << QStringLiteral("一\n二\n三\n四") << true << false;
        QTest::newRow("address far too long")
            << QStringLiteral("txt顧客情報") << longValues().prn顧客情報 << true << true;
    }
    void textsShrinkJustEnoughToFit() {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(bool, shrinks);
        QFETCH(bool, ellipsis);
        const report::Control c = layoutControl(control);
        const report::FittedText fitted = report::fitText(c, text, c.rect);
        const double width = c.rect.width() - 2 * report::kTextPadding;
        auto advance = [&](double points, const QString& t) {
            return QFontMetricsF(report::layoutFont(c.family, points, c.bold)).horizontalAdvance(t);
        };
        for (const QString& line : fitted.lines)
            QVERIFY2(advance(fitted.points, line) <= width, qPrintable(line));
        if (c.wordWrap)
            QVERIFY(fitted.lines.size() * fitted.lineSpacing <= c.rect.height() - 2 * report::kTextPadding);
        QCOMPARE(fitted.points < c.size, shrinks);
        QCOMPARE(fitted.lines.back().endsWith(QStringLiteral("…")), ellipsis);
        const QString shown = fitted.lines.join(QString());
        const QString whole = QString(text).remove(QLatin1Char('\n'));
        if (ellipsis) { // cut only at the floor
            QCOMPARE(fitted.points, report::kFloorPoints);
            QVERIFY(whole.startsWith(shown.chopped(1)));
        } else {
            QCOMPARE(shown, whole);
        }
        if (shrinks && !c.wordWrap) // just enough: one twip larger no longer fits
            QVERIFY(advance(fitted.points + 0.05, text) > width);
    }

    void longInvoicePrintsEveryFigureWholeInsideItsBox() {
        // Not a qualified invoice: a number, a per-rate sum and a marked line given anyway print nothing.
        PrintValues v = longValues();
        v.prn登録番号 = QStringLiteral("T7000012050002");
        v.prn対象10 = 8000;
        const std::vector<DetailRecord> records{
            {kLongName, 12345.75, QStringLiteral("ケース"), 99999.5, 1234567890},
            {QStringLiteral("短い品名"), 3, QStringLiteral("個"), 34936300, 104808900, true},
        };
        const QString pdf = makePdf(QStringLiteral("long"), v, records);
        QVERIFY(!pdf.isEmpty());
        const auto words = wordsOf(pdf, 1);
        for (const char* absent : {"登録番号", "※", "対象"})
            QVERIFY2(!joined(words).contains(QString::fromUtf8(absent)), absent);

        // Boxes as laid out, narrowed where a rule of the form runs through them: the totals frame's
        // divider at 3340, the column rules at 7490 and 9030.
        struct Figure {
            QRectF box;
            QString text;
        };
        const Figure figures[] = {
            {headerBox(2055, 1960, 3260, 360), QStringLiteral("¥1,234,567,900")},
            {headerBox(213, 2764, 1630, 283), QStringLiteral("1,122,334,455")},
            {headerBox(1920, 2760, 1380, 285), QStringLiteral("112,233,445")},
            {headerBox(3340, 2764, 1570, 283), QStringLiteral("1,234,567,900")},
            {rowBox(0, 5670, 30, 1170, 300), QStringLiteral("12,345.75")},
            {rowBox(0, 7490, 30, 1510, 300), QStringLiteral("99,999.5")},
            {rowBox(0, 9030, 30, 1500, 300), QStringLiteral("1,234,567,890")},
            {rowBox(1, 7490, 30, 1510, 300), QStringLiteral("34,936,300")},
            {rowBox(1, 9030, 30, 1500, 300), QStringLiteral("104,808,900")},
        };
        for (const Figure& f : figures) {
            const auto found = wordsIn(words, f.box);
            QCOMPARE(joined(found).replace(QStringLiteral("￥"), QStringLiteral("¥")), f.text);
            for (const Word& w : found) {
                QVERIFY2(w.box.left() >= f.box.left() + 0.5 && w.box.right() <= f.box.right() - 0.5,
                         qPrintable(QStringLiteral("%1 at %2..%3").arg(w.text).arg(w.box.left()).arg(w.box.right())));
                QVERIFY(std::abs(w.box.center().y() - f.box.center().y()) < 1.0); // centred vertically
            }
        }
        // Only what does not fit shrinks: a short figure keeps the size of the 14.5-point caption.
        const auto caption = wordsIn(words, headerBox(283, 1984, 1560, 355));
        const auto shortQty = wordsIn(words, rowBox(1, 5670, 30, 1170, 300));
        QCOMPARE(joined(shortQty), QStringLiteral("3"));
        QVERIFY(std::abs(shortQty.front().box.height() - caption.front().box.height()) < 0.3);

        // Names end in an ellipsis inside their boxes; the address blocks also stay at the top.
        const QRectF names[] = {headerBox(285, 1410, 5050, 420), headerBox(6094, 1205, 4465, 425),
                                rowBox(0, 75, 30, 5490, 300), headerBox(285, 495, 5325, 855),
                                headerBox(6165, 1635, 4395, 1455)};
        for (const QRectF& box : names) {
            const auto name = wordsIn(words, box);
            QVERIFY(!name.empty());
            QVERIFY2(name.back().text.endsWith(QStringLiteral("…")), qPrintable(joined(name)));
            for (const Word& w : name)
                QVERIFY2(w.box.right() <= box.right() - 0.5 && w.box.bottom() <= box.bottom() + 0.5,
                         qPrintable(w.text));
        }
        QVERIFY(std::abs(wordsIn(words, names[3]).front().box.top() - (names[3].top() + 1.0)) < 1.0);

        // Margins: 300 twips on the left. The first column rule lies at 371 twips, the last at 10860, and
        // nothing is drawn left of the margin.
        constexpr int dpi = 144;
        const QImage page = raster(pdf, 1, dpi, true);
        QVERIFY(!page.isNull());
        const int y0 = int(pt(rowTop(0)) * dpi / 72), y1 = int(pt(rowTop(29)) * dpi / 72);
        std::vector<double> rules; // left edges of the columns dark from the first row to the last
        bool inRule = false;
        for (int x = 0; x < page.width(); ++x) {
            int dark = 0;
            for (int y = y0; y < y1; ++y)
                dark += qGray(page.pixel(x, y)) < 128;
            if (dark > 0.9 * (y1 - y0) && !inRule)
                rules.push_back(x * 72.0 / dpi);
            inRule = dark > 0.9 * (y1 - y0);
        }
        QCOMPARE(int(rules.size()), 6);
        QVERIFY2(std::abs(rules.front() - pt(kLeftMargin + 71)) < 1.0, qPrintable(QString::number(rules.front())));
        QVERIFY2(std::abs(rules.back() - pt(kLeftMargin + 10560)) < 1.0, qPrintable(QString::number(rules.back())));
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < int(pt(kLeftMargin) * dpi / 72) - 1; ++x)
                QVERIFY(qGray(page.pixel(x, y)) > 200);
    }

    // Under "10%・8%": the issuer's number, the marks of the 8 % and exempt lines, the legend, a line per
    // rate and the exempt sum, on the one page with its 30 rows, nothing cut.
    void qualifiedInvoice_data() {
        QTest::addColumn<bool>("inclusive");
        QTest::addColumn<QStringList>("rateLines");
        QTest::newRow("外税") << false
                            << QStringList{QStringLiteral("10%対象 ¥8,000　消費税 ¥800"),
                                           QStringLiteral("8%対象 ¥52,000　消費税 ¥4,160")};
        QTest::newRow("内税") << true
                            << QStringList{QStringLiteral("10%対象 ¥8,000（税込）　消費税 ¥800"),
                                           QStringLiteral("8%対象 ¥52,000（税込）　消費税 ¥4,160")};
    }
    void qualifiedInvoice() {
        QFETCH(bool, inclusive);
        QFETCH(QStringList, rateLines);
        PrintValues v = sampleValues();
        v.prn自社情報 = QStringLiteral("〒100-0001\n東京都千代田区1-1\nTEL 03-0000-0000\nFAX 03-0000-0001\n担当 山田");
        v.prn税抜計 = 61000;
        v.prn消費税 = 4960;
        v.prn合計 = v.prn請求金額 = 64960;
        v.prn適格 = true;
        v.prn内税 = inclusive;
        v.prn登録番号 = QStringLiteral("T7000012050002");
        v.prn対象10 = 8000;
        v.prn消費税10 = 800;
        v.prn対象8 = 52000;
        v.prn消費税8 = 4160;
        std::vector<DetailRecord> records{
            {QStringLiteral("工具"), 1, QStringLiteral("個"), 8000, 8000, false},
            {QStringLiteral("新聞"), 13, QStringLiteral("部"), 4000, 52000, true},
            {QStringLiteral("収入印紙"), 5, QStringLiteral("枚"), 200, 1000, false, true},
        };
        for (int i = 3; i < 30; ++i)
            records.push_back({QStringLiteral("品%1").arg(i), 1, {}, 1, 1, i % 3 == 0, i % 3 == 1});
        rpt請求書 report(v, records);
        QCOMPARE(report.pageCount(), 1);
        const QString pdf = dir.filePath(QStringLiteral("qualified%1.pdf").arg(inclusive));
        QVERIFY(report.exportPdf(pdf));
        const ToolResult text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY2(text.ok, qPrintable(text.error));
        // The text layer keeps the words; blanks of any width come back as single spaces.
        const QString page = QString::fromUtf8(text.out).simplified();
        for (const QString& line :
             rateLines + QStringList{QStringLiteral("登録番号 T7000012050002"),
                                     QStringLiteral("※は軽減税率対象　非は非課税"), QStringLiteral("非課税 ¥1,009")})
            QVERIFY2(page.contains(line.simplified()), qPrintable(line));

        // The marks sit on the 8 % and exempt rows only, each row of the 30 whole above the footer.
        constexpr double rowHeight = 356, footerTop = kTopMargin + kHeaderHeight + 30 * rowHeight;
        const auto words = wordsOf(pdf, 1);
        QStringList marked, expected;
        for (const Word& w : words) {
            const QString mark = w.text.right(1); // a mark close to a name may join its word
            if ((mark == QStringLiteral("※") || mark == QStringLiteral("非")) && w.box.bottom() < pt(footerTop))
                marked << mark +
                              QString::number(int((w.box.center().y() * 20 - kTopMargin - kHeaderHeight) / rowHeight));
        }
        for (int i = 0; i < 30; ++i)
            if (records[i].軽減 || records[i].非課税)
                expected << (records[i].軽減 ? QStringLiteral("※") : QStringLiteral("非")) + QString::number(i);
        QCOMPARE(marked, expected);
        // The footer's texts lie inside the printable page, right of the margin.
        const QSizeF a4(QPageSize(QPageSize::A4).size(QPageSize::Point));
        for (const Word& w : wordsIn(words, QRectF(0, pt(footerTop), a4.width(), a4.height())))
            QVERIFY2(w.box.bottom() <= a4.height() - pt(1100) && w.box.left() >= pt(kLeftMargin) &&
                         w.box.right() <= a4.width(),
                     qPrintable(w.text));
    }

    // A summary's item lines are marked as the invoice's are, on their own rows, and its notes'
    // dates follow the chosen style.
    void summaryItemsAndDates_data() {
        QTest::addColumn<bool>("wareki");
        QTest::addColumn<QStringList>("rows");
        const QStringList items{QStringLiteral("品 1 1,000 1,000"), QStringLiteral("食品 ※ 1 500 500"),
                                QStringLiteral("切手 非 2 84 168"), QStringLiteral("※は軽減税率対象 非は非課税")};
        QTest::newRow("西暦") << false << QStringList{QStringLiteral("2026/01/05 7 第7便 1,668")} + items;
        QTest::newRow("和暦") << true << QStringList{QStringLiteral("令和8年1月5日 7 第7便 1,668")} + items;
    }
    void summaryItemsAndDates() {
        QFETCH(bool, wareki);
        QFETCH(QStringList, rows);
        PrintValues v = sampleValues();
        v.prn和暦 = wareki;
        v.prn締め明細 = true;
        SummaryValues s;
        s.notes.push_back({QDate(2026, 1, 5), 7, QStringLiteral("第7便"), 1668,
                           {{QStringLiteral("品"), 1, {}, 1000, 1000},
                            {QStringLiteral("食品"), 1, {}, 500, 500, true},
                            {QStringLiteral("切手"), 2, {}, 84, 168, false, true}}});
        rpt合計請求書 report(v, s);
        const QString pdf = dir.filePath(QStringLiteral("summary%1.pdf").arg(wareki));
        QVERIFY(report.exportPdf(pdf));
        const ToolResult text =
            runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY2(text.ok, qPrintable(text.error));
        const QStringList lines = QString::fromUtf8(text.out).split(u'\n');
        for (const QString& row : rows)
            QVERIFY2(std::any_of(lines.begin(), lines.end(), [&](const QString& l) { return l.simplified() == row; }),
                     qPrintable(row + u'\n' + lines.join(u'\n')));
    }

    void pdfFileNameFromTheInvoice_data() {
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all parts") << QStringLiteral("株式会社テスト商事") << QStringLiteral("12") << Kind請求書
                                   << QStringLiteral("20261207_株式会社テスト商事_13200円_No12.pdf");
        QTest::newRow("unsafe characters") << QStringLiteral("..A/B:C*\"?<>|D\n様") << QString() << Kind請求書
                                           << QStringLiteral("20261207_A_B_C______D 様_13200円.pdf");
        QTest::newRow("a quote names its kind") << QStringLiteral("テスト商事") << QStringLiteral("12") << Kind見積書
                                                << QStringLiteral("20261207_テスト商事_13200円_見積書No12.pdf");
        QTest::newRow("a receipt without number") << QStringLiteral("テスト商事") << QString() << Kind領収書
                                                  << QStringLiteral("20261207_テスト商事_13200円_領収書.pdf");
    }
    void pdfFileNameFromTheInvoice() {
        QFETCH(QString, customer);
        QFETCH(QString, number);
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        PrintValues v = sampleValues();
        v.prn顧客名 = customer;
        v.prn伝票番号 = number;
        v.prn種別 = kind;
        QCOMPARE(report::suggestedPdfName(v), expected);
        QCOMPARE(report::suggestedPdfName(PrintValues{}), QStringLiteral("請求書.pdf"));
    }

    void previewOpensLargeAndSavesPdf() {
        QWidget window;
        window.show();
        report::showPreview(&window, std::make_shared<rpt請求書>(longValues(), sampleRecords()));
        QPointer<QPrintPreviewDialog> dialog = window.findChild<QPrintPreviewDialog*>();
        QVERIFY(dialog);
        QVERIFY(dialog->height() >= window.screen()->availableGeometry().height() * 8 / 10);
        QCOMPARE(dialog->findChild<QPrintPreviewWidget*>()->zoomMode(), QPrintPreviewWidget::FitToWidth);
        QAction* save = dialog->findChild<QToolBar*>()->actions().value(0);
        QCOMPARE(save->text(), QStringLiteral("PDFで保存"));

        QList<msg::Shown> shown;
        msg::setAnswerer([&](const msg::Shown& s) {
            shown << s;
            return QMessageBox::Ok;
        });
        QString target = dir.filePath(QStringLiteral("saved.pdf"));
        report::setSaveAsker([&](QWidget*, const QString&) { return target; });
        save->trigger();
        QCOMPARE(joined(wordsIn(wordsOf(target, 1), headerBox(213, 2764, 1630, 283))), QStringLiteral("1,122,334,455"));
        QVERIFY(shown.isEmpty());

        // A place that cannot be written: the user is told, not left believing it was saved.
        target = dir.filePath(QStringLiteral("no/such/folder/x.pdf"));
        save->trigger();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.front().text.startsWith(QStringLiteral("PDFを保存できませんでした")),
                 qPrintable(shown.front().text));

        report::setSaveAsker({});
        msg::setAnswerer({});
        dialog->close();
        QTRY_VERIFY(dialog.isNull());
    }

    void previewIsNonModalAndCleansUp() {
        QWidget window;
        window.show();
        auto report = std::make_shared<rpt請求書>(sampleValues(), sampleRecords());
        report::showPreview(&window, report);
        QPointer<QPrintPreviewDialog> dialog = window.findChild<QPrintPreviewDialog*>();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        auto* preview = dialog->findChild<QPrintPreviewWidget*>();
        QVERIFY(preview);
        QTRY_COMPARE(preview->pageCount(), 1);
        QCOMPARE(dialog->printer()->pageLayout().pageSize().id(), QPageSize::A4);
        dialog->close();
        QTRY_VERIFY(dialog.isNull());
    }
};

QTEST_MAIN(TestReport)
#include "test_report.moc"
