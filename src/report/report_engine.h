#pragma once

#include <QImage>
#include <QLine>
#include <QPageLayout>
#include <QPageSize>
#include <QRect>
#include <QString>
#include <QVariant>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace report {

enum class ControlKind { Label, TextBox, Line, Rect, Image };

// How a text too wide for its box is made to fit. Figures shrink until every digit shows: a cut amount
// is a wrong amount. Words shrink to a readable floor and are then cut with an ellipsis.
enum class Fit { Elide, Whole };

// One control of a section, positioned in twips relative to the section's top-left corner.
struct Control {
    QString name;
    ControlKind kind = ControlKind::Label;
    QRect rect; // labels, text boxes, rectangles and images
    QLine line; // lines, by end points
    QString family;
    double size = 12.0; // points
    bool bold = false;
    Qt::Alignment align = Qt::AlignLeft;
    bool wordWrap = false; // several lines, top-aligned; single lines are centred vertically
    Fit fit = Fit::Elide;
    bool navyBox = false; // white text on a filled navy box
    QString caption;      // fixed text; wins over the bound text
    QString dataField;    // filled from the current record before Detail_Format
    QString outputFormat;

    QVariant value;
    QString text;
    QImage image; // drawn whole, as large as the box allows, at its own resolution


    void setValue(const QVariant& v);
};

struct Section {
    QString name;
    int height = 0; // twips
    std::vector<Control> controls;

    Control& ctl(const QString& controlName);
    const Control* find(const QString& controlName) const;
};

struct PageSetup {
    QPageSize::PageSizeId paper = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    int top = 0, bottom = 0, left = 0, right = 0; // twips

    QSize paperTwips() const;
    QPageLayout pageLayout() const;
};

// Layout actions a Detail_Format handler may combine, as the old report runtime had them.
enum LayoutAction { PrintSection = 1, MoveLayout = 2, NextRecord = 4 };

// A section frozen as it stood when it was laid out, at its place on the page.
struct PlacedSection {
    int top = 0; // twips from the top of the printable area
    std::vector<Control> controls;
};

// Banded report: one page header, a detail band repeated per record and a page footer. The layout is
// computed once in twips; painting then works the same for preview, printer and PDF.
class BandedReport {
  public:
    virtual ~BandedReport();

    int pageCount();
    bool render(QPagedPaintDevice* device);
    bool exportPdf(const QString& path);

    const std::vector<std::vector<PlacedSection>>& pages();
    const PageSetup& pageSetup() const { return page; }

  protected:
    virtual void ActiveReport_ReportStart() {}
    // Called before each detail row; returning false ends the run. Default: stop when the data ends.
    virtual bool ActiveReport_FetchData(bool eof) { return !eof; }
    virtual void PageHeader_Format() {}
    virtual void Detail_Format() {}
    virtual void Detail_BeforePrint() {}
    // Before the footer is placed; eof() tells whether the page is the last.
    virtual void PageFooter_Format() {}
    int pageNumber() const { return static_cast<int>(laidPages.size()); }

    virtual std::size_t recordCount() const = 0;
    virtual QVariant fieldValue(std::size_t record, const QString& field) const = 0;

    bool eof() const { return currentRecord >= recordCount(); }

    Section pageHeader;
    Section detail;
    Section pageFooter;
    PageSetup page;
    int layoutAction = PrintSection | MoveLayout | NextRecord;

  private:
    void run();
    void startPage(int& y);
    void finishPage();
    void place(const Section& section, int top);
    void paintPage(QPainter& painter, const std::vector<PlacedSection>& sections) const;

    bool laidOut = false;
    std::size_t currentRecord = 0;
    std::vector<std::vector<PlacedSection>> laidPages;
};

} // namespace report
