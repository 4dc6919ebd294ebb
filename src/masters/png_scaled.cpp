#include "masters/png_scaled.h"

#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>

namespace {

struct Source {
    const QByteArray* bytes;
    qsizetype at = 0;
};

void readBytes(png_structp png, png_bytep out, png_size_t n) {
    auto* src = static_cast<Source*>(png_get_io_ptr(png));
    if (qsizetype(n) > src->bytes->size() - src->at)
        png_error(png, "truncated");
    std::memcpy(out, src->bytes->constData() + src->at, n);
    src->at += qsizetype(n);
}

} // namespace

QImage readPngScaled(const QByteArray& bytes, const QSize& box) {
    // libpng reports errors by longjmp back to the setjmp below: everything with a destructor is
    // made before it, and nothing between them needs one.
    Source src{&bytes};
    std::vector<png_byte> row;
    std::vector<quint64> sums; // per pixel of an output row: red, green, blue (each times alpha), alpha, count
    QImage out;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return {};
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return {};
    }
    png_set_read_fn(png, &src, readBytes);
    png_set_error_fn(png, nullptr, nullptr, [](png_structp, png_const_charp) {}); // warnings are not refusals
    png_read_info(png, info);
    const int w = int(png_get_image_width(png, info)), h = int(png_get_image_height(png, info));
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE)
        png_error(png, "interlaced");
    // Every kind as 8-bit red, green, blue and alpha.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_read_update_info(png, info);

    const QSize size = w > box.width() || h > box.height()
                           ? QSize(w, h).scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1))
                           : QSize(w, h);
    const int tw = size.width(), th = size.height();
    out = QImage(size, QImage::Format_ARGB32);
    if (out.isNull())
        png_error(png, "no memory");
    row.resize(std::size_t(w) * 4);
    sums.assign(std::size_t(tw) * 5, 0);
    for (int y = 0; y < h; ++y) {
        png_read_row(png, row.data(), nullptr);
        for (int x = 0; x < w; ++x) {
            const png_byte* p = &row[std::size_t(x) * 4];
            quint64* s = &sums[std::size_t(qint64(x) * tw / w) * 5];
            s[0] += quint64(p[0]) * p[3];
            s[1] += quint64(p[1]) * p[3];
            s[2] += quint64(p[2]) * p[3];
            s[3] += p[3];
            s[4] += 1;
        }
        const int ty = int(qint64(y) * th / h);
        if (y + 1 < h && int(qint64(y + 1) * th / h) == ty)
            continue;
        // The last source row of this output row: colours weighted by their alpha, so that a
        // transparent ground does not darken the edges.
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(ty));
        for (int x = 0; x < tw; ++x) {
            const quint64* s = &sums[std::size_t(x) * 5];
            line[x] = s[3] == 0 ? qRgba(0, 0, 0, 0)
                                : qRgba(int(s[0] / s[3]), int(s[1] / s[3]), int(s[2] / s[3]), int(s[3] / s[4]));
        }
        std::fill(sums.begin(), sums.end(), 0);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return out;
}
