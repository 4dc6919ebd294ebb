#include "masters/images.h"

#include "masters/png_scaled.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <sqlite3.h>

namespace {

constexpr double kDpi = 600;
int pixels(double mm) {
    return qRound(mm / 25.4 * kDpi);
}

QString kindName(CompanyImage which) {
    return which == CompanyImage::印影 ? QStringLiteral("印影") : QStringLiteral("ロゴ");
}

// Image bytes go through the engine's own calls: the record sets read every column as text.
struct Statement {
    Statement(Database& db, const char* sql) : db(db) {
        if (sqlite3_prepare_v2(db.handle(), sql, -1, &st, nullptr) != SQLITE_OK)
            fail();
    }
    ~Statement() { sqlite3_finalize(st); }
    void bind(int at, const QByteArray& bytes, bool blob) {
        const int rc = blob ? sqlite3_bind_blob(st, at, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT)
                            : sqlite3_bind_text(st, at, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        if (rc != SQLITE_OK)
            fail();
    }
    // True while a row is there.
    bool step() {
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            fail();
        return rc == SQLITE_ROW;
    }
    [[noreturn]] void fail() const {
        throw DbError(sqlite3_extended_errcode(db.handle()), QString::fromUtf8(sqlite3_errmsg(db.handle())));
    }
    Database& db;
    sqlite3_stmt* st = nullptr;
};

} // namespace

QSize ImageBox(CompanyImage which) {
    return which == CompanyImage::印影 ? QSize(pixels(21), pixels(21)) : QSize(pixels(40), pixels(15));
}

QImage ReadImageFile(const QString& path, CompanyImage which, QString* refusal) {
    const auto refuse = [refusal](const char* why) {
        *refusal = QString::fromUtf8(why);
        return QImage();
    };
    // Only a plain file: a pipe or a device would never end.
    const QFileInfo info(path);
    if (!info.isFile())
        return refuse("読めない");
    if (info.size() > ImageMaxFileBytes)
        return refuse("大きすぎ");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse("読めない");
    QByteArray bytes = file.read(ImageMaxFileBytes + 1); // the file may have grown since
    if (bytes.size() > ImageMaxFileBytes)
        return refuse("大きすぎ");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg")
        return refuse("読めない");
    QSize box = ImageBox(which);
    // Qt scales only some kinds of PNG while reading; every other kind it would decode whole.
    QImage image = format == "png" ? readPngScaled(bytes, box) : QImage();
    if (image.isNull()) {
        // JPEG, and the PNGs read above cannot (interlaced): scaled by the decoder, within Qt's
        // allocation limit. The box as the stored pixels lie: a photo to be turned a quarter is
        // fitted turned back.
        const QSize stored = reader.size();
        if (reader.transformation() & QImageIOHandler::TransformationRotate90)
            box.transpose();
        if (stored.width() > box.width() || stored.height() > box.height())
            reader.setScaledSize(stored.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
        image = reader.read();
    }
    if (image.isNull())
        return refuse("読めない");
    refusal->clear();
    return image;
}

QString Import画像(Database& main, CompanyImage which, const QString& path) {
    QString refusal;
    const QImage image = ReadImageFile(path, which, &refusal);
    if (image.isNull())
        return refusal;
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    if (!image.save(&out, "PNG"))
        return QStringLiteral("読めない");
    Transaction tx(main);
    if (main.onServer()) {
        // The bytes go as hex text: every value to the server is a bound text parameter.
        main.serverRows(QStringLiteral("INSERT INTO 画像 (種類, データ) VALUES ($1, decode($2, 'hex')) ON CONFLICT (種類) "
                                       "DO UPDATE SET データ = EXCLUDED.データ"),
                        {kindName(which), QString::fromLatin1(png.toHex())});
    } else {
        Statement st(main, "INSERT OR REPLACE INTO 画像 (種類, データ) VALUES (?, ?)");
        st.bind(1, kindName(which).toUtf8(), false);
        st.bind(2, png, true);
        st.step();
    }
    tx.commit();
    return {};
}

QImage Read画像(Database& main, CompanyImage which) {
    if (main.onServer()) {
        const auto rows = main.serverRows(QStringLiteral("SELECT encode(データ, 'hex') FROM 画像 WHERE 種類 = $1"),
                                          {kindName(which)});
        return rows.empty() ? QImage() : QImage::fromData(QByteArray::fromHex(rows[0][0].toText().toLatin1()), "PNG");
    }
    Statement st(main, "SELECT データ FROM 画像 WHERE 種類 = ?");
    st.bind(1, kindName(which).toUtf8(), false);
    if (!st.step())
        return {};
    const auto* data = static_cast<const uchar*>(sqlite3_column_blob(st.st, 0));
    return QImage::fromData(data, sqlite3_column_bytes(st.st, 0), "PNG");
}

void Delete画像(Database& main, CompanyImage which) {
    Transaction tx(main);
    if (main.onServer()) {
        main.serverRows(QStringLiteral("DELETE FROM 画像 WHERE 種類 = $1"), {kindName(which)});
    } else {
        Statement st(main, "DELETE FROM 画像 WHERE 種類 = ?");
        st.bind(1, kindName(which).toUtf8(), false);
        st.step();
    }
    tx.commit();
}
