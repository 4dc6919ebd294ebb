#include "report/text_fit.h"

#include "report/report_fonts.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <cmath>

namespace report {

namespace {

const QString kEllipsis = QStringLiteral("…");

// Lines as the box breaks them: the text's own line breaks, then wrapping at the width.
QStringList wrapLines(const QFont& font, const QString& text, double width) {
    QStringList lines;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        if (paragraph.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            QString piece = paragraph.mid(line.textStart(), line.textLength());
            while (!piece.isEmpty() && piece.back().isSpace())
                piece.chop(1);
            lines << piece;
        }
        layout.endLayout();
    }
    return lines;
}

// The longest start of a line that still fits with an ellipsis after it, never splitting a surrogate pair.
QString withEllipsis(const QFontMetricsF& fm, QString line, double width) {
    while (!line.isEmpty() && fm.horizontalAdvance(line + kEllipsis) > width) {
        line.chop(line.size() >= 2 && line.back().isLowSurrogate() ? 2 : 1);
    }
    return line + kEllipsis;
}

struct Box {
    double width, height;
    bool multiLine;
};

bool fits(const QFont& font, const QString& text, const Box& box, QStringList* lines) {
    const QFontMetricsF fm(font);
    if (!box.multiLine) {
        if (lines)
            *lines = QStringList{text};
        return fm.horizontalAdvance(text) <= box.width;
    }
    const QStringList wrapped = wrapLines(font, text, box.width);
    if (lines)
        *lines = wrapped;
    return wrapped.size() * fm.lineSpacing() <= box.height;
}

} // namespace

QRect usableBox(const Control& text, const std::vector<Control>& section) {
    QRect box = text.rect;
    auto bound = [&](int x, int top, int bottom) {
        const bool crosses = top < box.bottom() && bottom > box.top();
        if (!crosses || x <= box.left() || x >= box.right())
            return;
        if (x < box.center().x())
            box.setLeft(x);
        else
            box.setRight(x);
    };
    for (const Control& c : section) {
        if (c.kind == ControlKind::Line && c.line.x1() == c.line.x2()) {
            bound(c.line.x1(), std::min(c.line.y1(), c.line.y2()), std::max(c.line.y1(), c.line.y2()));
        } else if (c.kind == ControlKind::Rect) {
            bound(c.rect.left(), c.rect.top(), c.rect.bottom());
            bound(c.rect.right(), c.rect.top(), c.rect.bottom());
        }
    }
    return box;
}

FittedText fitText(const Control& c, const QString& raw, const QRect& area) {
    QString text = raw;
    text.remove(QLatin1Char('\r'));
    if (!c.wordWrap)
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const Box box{double(area.width() - 2 * kTextPadding), double(area.height() - 2 * kTextPadding), c.wordWrap};

    // Sizes are whole twips, the unit the painter draws in.
    const int nominal = int(std::lround(c.size * 20.0));
    const int floor = c.fit == Fit::Whole ? 1 : std::min(nominal, int(std::lround(kFloorPoints * 20.0)));
    auto fontAt = [&](int twips) { return layoutFont(c.family, twips / 20.0, c.bold); };

    FittedText out;
    int size = nominal;
    if (!fits(fontAt(nominal), text, box, &out.lines)) {
        // Width grows with the size, so the largest size that fits is found by halving.
        int lo = floor, hi = nominal - 1;
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            if (fits(fontAt(mid), text, box, nullptr))
                lo = mid;
            else
                hi = mid - 1;
        }
        size = lo;
        if (!fits(fontAt(size), text, box, &out.lines) && c.fit == Fit::Elide) {
            const QFontMetricsF fm(fontAt(size));
            if (!c.wordWrap) {
                out.lines = QStringList{withEllipsis(fm, text, box.width)};
            } else {
                const auto room = std::max<qsizetype>(1, qsizetype(box.height / fm.lineSpacing()));
                out.lines = out.lines.mid(0, room);
                out.lines.back() = withEllipsis(fm, out.lines.back(), box.width);
            }
        }
    }
    out.points = size / 20.0;
    out.lineSpacing = QFontMetricsF(fontAt(size)).lineSpacing();
    return out;
}

} // namespace report
