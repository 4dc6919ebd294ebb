#include "report/report_engine.h"

#include "report/number_format.h"
#include "report/report_fonts.h"
#include "report/text_fit.h"

#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <stdexcept>

namespace report {

namespace {
constexpr int kLineWidth = 10; // twips
const QColor kNavy(0, 0, 128);
// A report that never reaches the end of its data must not loop for ever.
constexpr int kMaxRows = 200000;
} // namespace

void Control::setValue(const QVariant& v) {
    value = v;
    text = applyOutputFormat(v, outputFormat);
}

Control& Section::ctl(const QString& controlName) {
    for (Control& c : controls)
        if (c.name == controlName)
            return c;
    throw std::out_of_range(("no control " + controlName + " in " + name).toStdString());
}

const Control* Section::find(const QString& controlName) const {
    for (const Control& c : controls)
        if (c.name == controlName)
            return &c;
    return nullptr;
}

QSize PageSetup::paperTwips() const {
    QSizeF mm = QPageSize(paper).size(QPageSize::Millimeter);
    if (orientation == QPageLayout::Landscape)
        mm.transpose();
    return QSize(qRound(mm.width() / 25.4 * 1440.0), qRound(mm.height() / 25.4 * 1440.0));
}

QPageLayout PageSetup::pageLayout() const {
    return QPageLayout(QPageSize(paper), orientation, QMarginsF(left / 20.0, top / 20.0, right / 20.0, bottom / 20.0),
                       QPageLayout::Point);
}

BandedReport::~BandedReport() = default;

const std::vector<std::vector<PlacedSection>>& BandedReport::pages() {
    run();
    return laidPages;
}

int BandedReport::pageCount() {
    return int(pages().size());
}

void BandedReport::run() {
    if (laidOut)
        return;
    laidOut = true;
    laidPages.clear();
    currentRecord = 0;

    ActiveReport_ReportStart();
    const int bodyBottom = page.paperTwips().height() - page.top - page.bottom - pageFooter.height;

    int y = 0;
    startPage(y);
    for (int rows = 0; rows < kMaxRows; ++rows) {
        const bool atEnd = eof();
        if (!ActiveReport_FetchData(atEnd))
            break;
        if (!atEnd)
            for (Control& c : detail.controls)
                if (!c.dataField.isEmpty())
                    c.setValue(fieldValue(currentRecord, c.dataField));
        layoutAction = PrintSection | MoveLayout | NextRecord;
        Detail_Format();
        if (y + detail.height > bodyBottom) {
            finishPage();
            startPage(y);
        }
        if (layoutAction & PrintSection) {
            Detail_BeforePrint();
            place(detail, y);
        }
        if (layoutAction & MoveLayout)
            y += detail.height;
        if ((layoutAction & NextRecord) && !atEnd)
            ++currentRecord;
    }
    finishPage();
}

void BandedReport::startPage(int& y) {
    laidPages.emplace_back();
    y = 0;
    PageHeader_Format();
    place(pageHeader, y);
    y += pageHeader.height;
}

void BandedReport::finishPage() {
    const int printable = page.paperTwips().height() - page.top - page.bottom;
    PageFooter_Format();
    place(pageFooter, printable - pageFooter.height);
}

void BandedReport::place(const Section& section, int top) {
    if (!section.controls.empty())
        laidPages.back().push_back(PlacedSection{top, section.controls});
}

bool BandedReport::render(QPagedPaintDevice* device) {
    if (!device)
        return false;
    run();
    installFontSubstitutions();
    const QPageLayout wanted = page.pageLayout();
    if (!device->pageLayout().isEquivalentTo(wanted))
        device->setPageLayout(wanted);

    // A printer may widen the margins to what it can reach; keep the layout where it belongs on the paper.
    const QMarginsF actual = device->pageLayout().marginsPoints();
    const QPointF offset(page.left - actual.left() * 20.0, page.top - actual.top() * 20.0);

    QPainter painter;
    if (!painter.begin(device))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // The seal and logo go into a PDF as they are, pixel for pixel, never re-encoded as JPEG.
    painter.setRenderHints(QPainter::SmoothPixmapTransform | QPainter::LosslessImageRendering);
    // The painter's origin is the top-left margin; one unit is one twip from here on.
    const qreal scaleX = device->logicalDpiX() / 1440.0;
    const qreal scaleY = device->logicalDpiY() / 1440.0;
    for (std::size_t i = 0; i < laidPages.size(); ++i) {
        if (i > 0 && !device->newPage()) {
            painter.end();
            return false;
        }
        painter.resetTransform();
        painter.scale(scaleX, scaleY);
        painter.translate(offset);
        paintPage(painter, laidPages[i]);
    }
    return painter.end();
}

bool BandedReport::exportPdf(const QString& path) {
    {
        QPdfWriter writer(path);
        writer.setResolution(1200);
        writer.setCreator(QStringLiteral("Vornisa"));
        if (!render(&writer))
            return false;
    }
    const QFileInfo info(path);
    return info.exists() && info.size() > 0;
}

void BandedReport::paintPage(QPainter& painter, const std::vector<PlacedSection>& sections) const {
    QPen rule(Qt::black, kLineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    for (const PlacedSection& placed : sections) {
        painter.save();
        painter.translate(0, placed.top);
        for (const Control& c : placed.controls) {
            switch (c.kind) {
            case ControlKind::Line:
                painter.setPen(rule);
                painter.drawLine(c.line);
                break;
            case ControlKind::Rect:
                painter.setPen(rule);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(c.rect);
                break;
            case ControlKind::Image: {
                if (c.image.isNull())
                    break;
                // Fitted into the box, aspect kept, placed by the control's alignment.
                const QSizeF size = QSizeF(c.image.size()).scaled(QSizeF(c.rect.size()), Qt::KeepAspectRatio);
                const QSizeF room = QSizeF(c.rect.size()) - size;
                const double x = c.align & Qt::AlignHCenter ? room.width() / 2 : c.align & Qt::AlignRight ? room.width() : 0;
                const double y = c.align & Qt::AlignVCenter ? room.height() / 2 : c.align & Qt::AlignBottom ? room.height() : 0;
                painter.drawImage(QRectF(QPointF(c.rect.left() + x, c.rect.top() + y), size), c.image);
                break;
            }
            case ControlKind::Label:
            case ControlKind::TextBox: {
                if (c.navyBox)
                    painter.fillRect(c.rect, kNavy);
                const QString shown = c.caption.isEmpty() ? c.text : c.caption;
                if (shown.isEmpty())
                    break;
                painter.setPen(c.navyBox ? Qt::white : Qt::black);
                const QRect box = usableBox(c, placed.controls);
                const FittedText fitted = fitText(c, shown, box);
                painter.setFont(layoutFont(c.family, fitted.points, c.bold));
                const int across = int(c.align & Qt::AlignHorizontal_Mask);
                if (c.wordWrap) {
                    const QRectF inner = QRectF(box).adjusted(kTextPadding, kTextPadding, -kTextPadding, 0);
                    double y = inner.top();
                    for (const QString& line : fitted.lines) {
                        painter.drawText(QRectF(inner.left(), y, inner.width(), fitted.lineSpacing),
                                         across | Qt::AlignTop, line);
                        y += fitted.lineSpacing;
                    }
                } else {
                    const QRectF inner = QRectF(box).adjusted(kTextPadding, 0, -kTextPadding, 0);
                    painter.drawText(inner, across | Qt::AlignVCenter, fitted.lines.value(0));
                }
                break;
            }
            }
        }
        painter.restore();
    }
}

} // namespace report
