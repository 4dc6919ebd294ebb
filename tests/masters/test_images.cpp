#include "masters/images.h"
#include "messages/msg.h"
#include "support/testdb.h"

#include <QFile>
#include <QPainter>
#include <QtTest>

class TestImages : public QObject {
    Q_OBJECT
    std::unique_ptr<TestData> data;
    std::unique_ptr<Database> main;

    QString write(const QString& name, const QImage& image, const char* format) {
        const QString path = data->folder() + name;
        return image.save(path, format) ? path : QString();
    }

  private slots:
    void init() {
        data = std::make_unique<TestData>();
        main = data->openMain();
    }
    void cleanup() {
        main.reset();
        data.reset();
    }

    // What print needs is kept: a huge image scaled into its box, a small one as it is, a
    // transparent seal still transparent, JPEG as well as PNG.
    void importScalesDownAndKeepsTransparency() {
        QImage huge(10000, 10000, QImage::Format_Mono); // a small file that is 100 million pixels
        huge.fill(1);
        QImage seal(300, 300, QImage::Format_ARGB32);
        seal.fill(Qt::transparent);
        QPainter(&seal).fillRect(100, 100, 100, 100, QColor(200, 0, 0));
        QImage photo(2000, 500, QImage::Format_RGB32);
        photo.fill(QColor(0, 80, 160));
        struct Case {
            const char* name;
            CompanyImage which;
            QString path;
            QSize stored;
        };
        const Case cases[] = {
            {"10,000 × 10,000 seal", CompanyImage::印影, write("huge.png", huge, "PNG"), QSize(496, 496)},
            {"small transparent seal", CompanyImage::印影, write("seal.png", seal, "PNG"), QSize(300, 300)},
            {"wide JPEG logo", CompanyImage::ロゴ, write("logo.jpg", photo, "JPEG"), QSize(945, 236)},
        };
        for (const Case& c : cases) {
            QVERIFY2(Import画像(*main, c.which, c.path).isEmpty(), c.name);
            QVERIFY2(Read画像(*main, c.which).size() == c.stored, c.name);
        }
        const QImage kept = Read画像(*main, CompanyImage::印影);
        QCOMPARE(kept.pixelColor(10, 10).alpha(), 0);
        QCOMPARE(kept.pixelColor(150, 150), QColor(200, 0, 0));
        Delete画像(*main, CompanyImage::印影);
        QVERIFY(Read画像(*main, CompanyImage::印影).isNull());
        QVERIFY(!Read画像(*main, CompanyImage::ロゴ).isNull());
    }

    // Whatever is not a readable PNG or JPEG is refused with a message and the seal held stays.
    void refusedFilesChangeNothing() {
        QImage seal(100, 100, QImage::Format_ARGB32);
        seal.fill(QColor(200, 0, 0));
        QVERIFY(Import画像(*main, CompanyImage::印影, write("seal.png", seal, "PNG")).isEmpty());
        const QString folder = data->folder();
        const auto file = [&](const char* name, const QByteArray& bytes, qint64 size = -1) {
            QFile f(folder + QString::fromUtf8(name));
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
            if (size >= 0)
                f.resize(size);
            return f.fileName();
        };
        QByteArray png;
        {
            QBuffer b(&png);
            b.open(QIODevice::WriteOnly);
            seal.save(&b, "PNG");
        }
        struct Case {
            QString path;
            QString refusal;
        };
        const Case cases[] = {
            {file("seal.txt", "印影です"), QStringLiteral("読めない")},
            {file("cut.png", png.left(60)), QStringLiteral("読めない")},
            {write("seal.bmp", seal, "BMP"), QStringLiteral("読めない")},
            {folder + QStringLiteral("none.png"), QStringLiteral("読めない")},
            {folder, QStringLiteral("読めない")},
            {file("big.png", png, ImageMaxFileBytes + 1), QStringLiteral("大きすぎ")},
        };
        for (const Case& c : cases) {
            QCOMPARE(Import画像(*main, CompanyImage::印影, c.path), c.refusal);
            QCOMPARE(Read画像(*main, CompanyImage::印影).pixelColor(50, 50), QColor(200, 0, 0));
            const auto shown = msg::lookup(QStringLiteral("画像"), c.refusal, c.path);
            QVERIFY(shown && shown->text.contains(QStringLiteral("取り込みませんでした")) && shown->text.endsWith(c.path));
        }
    }
};

int runImageTests(int argc, char** argv) {
    TestImages t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_images.moc"
