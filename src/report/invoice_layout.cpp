#include "report/invoice_layout.h"

#include "report/report_fonts.h"

namespace report {

namespace {

enum class K { Label, Text, Line, Rect, Image };

struct Row {
    const char* name;
    K kind;
    int a, b, c, d; // left, top, width, height; or x1, y1, x2, y2 for lines
    double size;
    bool bold;
    char align; // L, C, R
    const char* caption;
    const char* field;
    const char* traits = ""; // g: gothic face, w: several lines, n: a figure that must show whole
};

Control make(const Row& r) {
    Control c;
    c.name = QString::fromUtf8(r.name);
    const QByteArray traits(r.traits);
    c.family = traits.contains('g') ? kGothic : kMincho;
    c.size = r.size;
    c.bold = r.bold;
    c.align = r.align == 'C' ? Qt::AlignHCenter : r.align == 'R' ? Qt::AlignRight : Qt::AlignLeft;
    c.caption = QString::fromUtf8(r.caption);
    c.dataField = QString::fromUtf8(r.field);
    c.wordWrap = traits.contains('w');
    c.fit = traits.contains('n') ? Fit::Whole : Fit::Elide;
    switch (r.kind) {
    case K::Label:
        c.kind = ControlKind::Label;
        c.rect = QRect(r.a, r.b, r.c, r.d);
        c.navyBox = r.bold; // the bold captions are the white-on-navy headings
        break;
    case K::Text:
        c.kind = ControlKind::TextBox;
        c.rect = QRect(r.a, r.b, r.c, r.d);
        break;
    case K::Line:
        c.kind = ControlKind::Line;
        c.line = QLine(r.a, r.b, r.c, r.d);
        break;
    case K::Rect:
        c.kind = ControlKind::Rect;
        c.rect = QRect(r.a, r.b, r.c, r.d);
        break;
    case K::Image:
        c.kind = ControlKind::Image;
        c.rect = QRect(r.a, r.b, r.c, r.d);
        c.align = r.align == 'C' ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignBottom;
        break;
    }
    return c;
}

// clang-format off
const Row kHeader[] = {
    {"Label1",     K::Label, 8355,   10, 1830,  380, 18,   true,  'C', "請求書", "", "g"},
    {"Line1",      K::Line,     0,  400, 10530, 400, 0,    false, 'L', "", ""},
    {"txt顧客情報", K::Text,   285,  495, 5325,  855, 12,   false, 'L', "", "", "w"},
    {"txt伝票番号", K::Text,  8291,  405, 2268,  228, 11,   false, 'L', "", ""},
    {"Label10",    K::Label, 7583,  638,  637,  283, 12,   false, 'L', "日付", ""},
    {"txtCday",    K::Text,  8291,  638, 2268,  283, 12,   false, 'L', "", ""},
    {"txt自社名",   K::Text,  6094, 1205, 4465,  425, 14,   false, 'L', "", ""},
    {"txt顧客名",   K::Text,   285, 1410, 5050,  420, 16,   false, 'L', "", ""},
    {"txt敬称",     K::Text,  5450, 1417,  560,  355, 16,   false, 'L', "", ""},
    {"txt自社情報", K::Text,  6165, 1635, 4395, 1455, 10,   false, 'L', "", "", "w"},
    {"Line19",     K::Line,   283, 1843, 5900, 1843, 0,    false, 'L', "", ""},
    {"Label45",    K::Label,  283, 1984, 1560,  355, 14.5, false, 'L', "ご請求金額", ""},
    {"txt請求金額", K::Text,  2055, 1960, 3260,  360, 16,   false, 'L', "", "", "n"},
    {"Line40",     K::Line,   283, 2339, 5900, 2339, 0,    false, 'L', "", ""},
    {"Label57",    K::Label,  213, 2480, 1700,  284, 12,   true,  'C', "税抜計", ""},
    {"Label58",    K::Label, 1913, 2480, 1420,  284, 12,   true,  'C', "消費税", ""},
    {"Label59",    K::Label, 3340, 2480, 1660,  284, 12,   true,  'C', "合　計", ""},
    {"txt税抜計",   K::Text,   213, 2764, 1630,  283, 14.5, false, 'R', "", "", "n"},
    {"txt消費税",   K::Text,  1920, 2760, 1380,  285, 14.5, false, 'R', "", "", "n"},
    {"txt合計",     K::Text,  3280, 2764, 1630,  283, 14.5, false, 'R', "", "", "n"},
    {"Shape1",     K::Rect,   213, 2764, 4780,  354, 0,    false, 'L', "", ""},
    {"Line41",     K::Line,  1913, 2764, 1913, 3118, 0,    false, 'L', "", ""},
    {"Line42",     K::Line,  3340, 2764, 3340, 3118, 0,    false, 'L', "", ""},
    {"Label44",    K::Label,   65, 3210, 5655,  340, 12,   true,  'C', "　品　　    　名", ""},
    {"Label53",    K::Label, 5670, 3210, 1220,  340, 12,   true,  'C', "数　量", ""},
    {"Label54",    K::Label, 6885, 3210,  660,  345, 12,   true,  'C', "単位", ""},
    {"Label55",    K::Label, 7500, 3210, 1560,  345, 12,   true,  'C', " 　単　価", ""},
    {"Label56",    K::Label, 9060, 3210, 1520,  345, 12,   true,  'C', "  金　額", ""},
};

const Row kDetail[] = {
    {"txt品名", K::Text,   75, 30, 5490, 300, 12,   false, 'L', "", "品名"},
    {"txt数量", K::Text, 5670, 30, 1170, 300, 14.5, false, 'R', "", "数量", "n"},
    {"txt単位", K::Text, 6840, 30,  645, 300, 12,   false, 'C', "", "単位"},
    {"txt単価", K::Text, 7470, 30, 1530, 300, 14.5, false, 'R', "", "単価", "n"},
    {"txt金額", K::Text, 9000, 30, 1530, 300, 14.5, false, 'R', "", "金額", "n"},
    {"Line26",  K::Line,    71, 0,    71, 355, 0, false, 'L', "", ""},
    {"Line29",  K::Line,  5670, 0,  5670, 355, 0, false, 'L', "", ""},
    {"Line30",  K::Line,  6840, 0,  6840, 355, 0, false, 'L', "", ""},
    {"Line31",  K::Line,  7490, 0,  7490, 355, 0, false, 'L', "", ""},
    {"Line32",  K::Line,  9030, 0,  9030, 355, 0, false, 'L', "", ""},
    {"Line33",  K::Line, 10560, 0, 10560, 355, 0, false, 'L', "", ""},
    {"Line25",  K::Line,    80, 355, 10575, 355, 0, false, 'L', "", ""},
};

const Row kQualifiedHeader[] = {
    {"txt登録番号", K::Text, 6165, 2880, 4395, 260, 10, false, 'L', "", ""},
};
// A line's mark, its left set by the column it ends.
const Row kLineMark = {"txt軽減", K::Text, 0, 30, 330, 300, 12, false, 'C', "", "軽減"};
const Row kQualifiedFooter[] = {
    {"Label凡例",  K::Label,   75,  40, 3600, 260, 10, false, 'L', "", ""},
    {"txt税率別1", K::Text,  3800,  30, 6760, 280, 11, false, 'R', "", "", "n"},
    {"txt税率別2", K::Text,  3800, 310, 6760, 280, 11, false, 'R', "", "", "n"},
    {"txt非課税",   K::Text,    75, 310, 3600, 280, 11, false, 'L', "", "", "n"},
};

// The monthly summary's line per delivery note, its column headings (their top kSummaryRowsTop)
// and its foot: the tax by rate, 「次頁へ」, the page number and the marks' legend. The date's
// column holds an era date (令和元年12月31日) at nearly its size.
const Row kSummaryHeadings[] = {
    {"Label日付",     K::Label,   65, 0, 1835, 340, 12, true, 'C', "日　付", ""},
    {"Label伝票番号", K::Label, 1900, 0, 1100, 340, 12, true, 'C', "伝票番号", ""},
    {"Label件名欄",   K::Label, 3000, 0, 6030, 340, 12, true, 'C', "件　　名", ""},
    {"Label金額",     K::Label, 9030, 0, 1550, 340, 12, true, 'C', "金　額", ""},
};
const Row kSummaryDetail[] = {
    {"txt日付",     K::Text,   120, 30, 1740, 300, 12,   false, 'C', "", "日付", "n"},
    {"txt伝票番号", K::Text,  1960, 30,  980, 300, 12,   false, 'R', "", "伝票番号", "n"},
    {"txt件名",     K::Text,  3060, 30, 5910, 300, 12,   false, 'L', "", "件名"},
    {"txt金額",     K::Text,  9060, 30, 1470, 300, 14.5, false, 'R', "", "金額", "n"},
    {"Line26",  K::Line,    71, 0,    71, 355, 0, false, 'L', "", ""},
    {"Line29",  K::Line,  1900, 0,  1900, 355, 0, false, 'L', "", ""},
    {"Line30",  K::Line,  3000, 0,  3000, 355, 0, false, 'L', "", ""},
    {"Line32",  K::Line,  9030, 0,  9030, 355, 0, false, 'L', "", ""},
    {"Line33",  K::Line, 10560, 0, 10560, 355, 0, false, 'L', "", ""},
    {"Line25",  K::Line,    80, 355, 10575, 355, 0, false, 'L', "", ""},
};
// With the notes' item lines, the subject's column gives room to their quantity, unit and price;
// an item's name sits indented under its note's subject, its amount in the amount column.
const Row kSummaryItemHeadings[] = {
    {"Label件名欄", K::Label, 3000, 0, 3000, 340, 12, true, 'C', "件名・品名", ""},
    {"Label数量",   K::Label, 6000, 0, 1150, 340, 12, true, 'C', "数　量", ""},
    {"Label単位",   K::Label, 7150, 0,  600, 340, 12, true, 'C', "単位", ""},
    {"Label単価",   K::Label, 7750, 0, 1280, 340, 12, true, 'C', "単　価", ""},
};
const Row kSummaryItemDetail[] = {
    {"txt品名", K::Text, 3240, 30, 2700, 300, 12,   false, 'L', "", "品名"},
    {"txt数量", K::Text, 6000, 30, 1100, 300, 12,   false, 'R', "", "数量", "n"},
    {"txt単位", K::Text, 7150, 30,  600, 300, 12,   false, 'C', "", "単位"},
    {"txt単価", K::Text, 7750, 30, 1230, 300, 12,   false, 'R', "", "単価", "n"},
};
const Row kSummaryFooter[] = {
    {"txt税率別見出し", K::Text,    75,  30, 3600, 280, 11, false, 'L', "", ""},
    {"txt税率別1",      K::Text,  3800,  30, 6760, 280, 11, false, 'R', "", "", "n"},
    {"txt税率別2",      K::Text,  3800, 310, 6760, 280, 11, false, 'R', "", "", "n"},
    {"txt頁",           K::Text,  4000, 620, 2560, 280, 11, false, 'C', "", "", "n"},
    {"txt次頁",         K::Text,  8000, 620, 2560, 280, 11, false, 'R', "", "", "n"},
    {"Label凡例",       K::Label,   75, 310, 3600, 260, 10, false, 'L', "", ""},
};

// What an invoice may add. The due date sits under the date; the subject in a band under the
// customer's name (its top 1843); the account and the notes side by side in a block at the foot.
const Row kDueDate[] = {
    {"Label支払期限", K::Label, 6583,  921, 1637,  283, 12, false, 'R', "お支払期限", ""},
    {"txt支払期限",   K::Text,  8291,  921, 2268,  283, 12, false, 'L', "", ""},
};
const Row kSubject[] = {
    {"Label件名", K::Label,  283,   30,  700,  283, 12, false, 'L', "件名", ""},
    {"txt件名",   K::Text,  1000,   30, 4900,  370, 12, false, 'L', "", "", "w"},
    {"Line件名",  K::Line,   283,  400, 5900,  400, 0,  false, 'L', "", ""},
};
const Row kAccount[] = {
    {"Label振込先", K::Label,   75,   40,  900,  780, 10, true,  'C', "お振込先", ""},
    {"txt振込先",   K::Text,   975,   40, 4275,  780,  9, false, 'L', "", "", "w"},
    {"Shape振込先", K::Rect,    75,   40, 5175,  780, 0,  false, 'L', "", ""},
};
const Row kNotes[] = {
    {"Label備考",   K::Label, 5385,   40,  900,  780, 10, true,  'C', "備考", ""},
    {"txt備考",     K::Text,  6285,   40, 4275,  780,  9, false, 'L', "", "", "w"},
    {"Shape備考",   K::Rect,  5385,   40, 5175,  780, 0,  false, 'L', "", ""},
};
// A document's own bands and its box at the foot.
const Row kCustomerLine[] = {
    {"Label案内", K::Label,  283,   60, 5600,  300, 12, false, 'L', "", ""},
};
const Row kReceiptBand[] = {
    {"Label但し",   K::Label,  283,   40,  700,  283, 12, false, 'L', "但し", ""},
    {"txt但し書き", K::Text,   1000,   40, 4900,  283, 12, false, 'L', "", ""},
    {"Label領収",   K::Label,  283,  340, 5600,  283, 12, false, 'L', "上記正に領収いたしました。", ""},
};
const Row kFootBox[] = {
    {"Label欄",  K::Label, 9060,   40, 1500,  280, 10, true,  'C', "", ""},
    {"Shape欄",  K::Rect,  9060,   40, 1500, 1400, 0,  false, 'L', "", ""},
};
// The seal over the right end of the company's name, under the texts so that none is hidden;
// the logo at the top left, in the room the raised top margin gives.
const Row kSeal = {"img印影", K::Image, 9370, 1190, kSealTwips, kSealTwips, 0, false, 'C', "", ""};
const Row kLogo = {"imgロゴ", K::Image,   71,    0, kLogoWidthTwips, kLogoHeightTwips, 0, false, 'L', "", ""};
// clang-format on

const char* const kSummaryFigures[] = {"前回御請求額", "御入金額", "繰越金額", "今回御買上額", "消費税額", "今回御請求額"};
constexpr int kFiguresTop = 3200;      // below the company's block and its registration number
constexpr int kSummaryRowsTop = 3950;  // the column headings
constexpr int kSummaryFooterHeight = 920;
constexpr int kSubjectTop = 1843;
constexpr int kSubjectHeight = 420;
constexpr int kFootBlockHeight = 860;
constexpr int kAmountBottom = 2339; // the rule under the amount
constexpr int kReceiptBandHeight = 640;
constexpr int kFootBoxHeight = 1480;

// The top edge of a control, whatever its kind.
int topOf(const Control& c) {
    return c.kind == ControlKind::Line ? std::min(c.line.y1(), c.line.y2()) : c.rect.top();
}
void moveDown(Control& c, int by) {
    c.rect.translate(0, by);
    c.line.translate(0, by);
}
void addRows(Section& section, const auto& rows, int top = 0) {
    for (const Row& r : rows) {
        Control c = make(r);
        moveDown(c, top);
        section.controls.push_back(c);
    }
}

// The mark at the right end of the name column, up to columnRight; the name gives up the room.
void addLineMark(Section& detail, int columnRight) {
    Control mark = make(kLineMark);
    mark.rect.moveLeft(columnRight - mark.rect.width());
    detail.ctl(QStringLiteral("txt品名")).rect.setRight(mark.rect.left() - 10);
    detail.controls.push_back(mark);
}

// Makes room for a band at top: the left column below moves down; the company's block on the
// right stays.
void insertBand(Section& pageHeader, const auto& rows, int top, int height) {
    for (Control& c : pageHeader.controls)
        if (topOf(c) > top && c.name != QLatin1String("txt自社情報") && c.name != QLatin1String("txt登録番号"))
            moveDown(c, height);
    pageHeader.height += height;
    addRows(pageHeader, rows, top);
}

} // namespace

void addKindLayout(Section& pageHeader, Section& pageFooter, const KindLayout& k) {
    pageHeader.ctl(QStringLiteral("Label1")).caption = k.title;
    pageHeader.ctl(QStringLiteral("Label45")).caption = k.amountCaption;
    if (k.receiptBand)
        insertBand(pageHeader, kReceiptBand, kAmountBottom, kReceiptBandHeight);
    if (!k.customerLine.isEmpty()) {
        insertBand(pageHeader, kCustomerLine, kSubjectTop, kSubjectHeight);
        pageHeader.ctl(QStringLiteral("Label案内")).caption = k.customerLine;
    }
    if (!k.footBox.isEmpty()) {
        addRows(pageFooter, kFootBox, pageFooter.height);
        pageFooter.ctl(QStringLiteral("Label欄")).caption = k.footBox;
        pageFooter.height += kFootBoxHeight;
    }
}

void addQualifiedLayout(Section& pageHeader, Section& detail, Section& pageFooter) {
    pageHeader.ctl(QStringLiteral("txt自社情報")).rect.setBottom(2870);
    addLineMark(detail, 5660);
    for (const Row& r : kQualifiedHeader)
        pageHeader.controls.push_back(make(r));
    for (const Row& r : kQualifiedFooter)
        pageFooter.controls.push_back(make(r));
    pageFooter.height = kQualifiedFooterHeight;
}

void addExtrasLayout(Section& pageHeader, Section& pageFooter, const LayoutExtras& x) {
    if (x.dueDate)
        addRows(pageHeader, kDueDate);
    if (x.subject)
        insertBand(pageHeader, kSubject, kSubjectTop, kSubjectHeight);
    if (x.account || x.notes) {
        if (x.account)
            addRows(pageFooter, kAccount, pageFooter.height);
        if (x.notes)
            addRows(pageFooter, kNotes, pageFooter.height);
        pageFooter.height += kFootBlockHeight;
    }
    if (x.seal)
        pageHeader.controls.insert(pageHeader.controls.begin(), make(kSeal));
    if (x.logo) {
        for (Control& c : pageHeader.controls)
            moveDown(c, kLogoRise);
        pageHeader.height += kLogoRise;
        pageHeader.controls.push_back(make(kLogo));
    }
}

void fitDetailRows(Section& detail) {
    const int h = detail.height;
    if (h >= kFormRowHeight)
        return;
    // Rows lower than the form's: the texts stay centred in the row, the rules close it.
    for (Control& c : detail.controls) {
        if (c.kind == ControlKind::Line && c.line.y1() == c.line.y2())
            c.line.setLine(c.line.x1(), h - 1, c.line.x2(), h - 1);
        else if (c.kind == ControlKind::Line)
            c.line.setP2(QPoint(c.line.x2(), h - 1));
        else
            c.rect.moveTop((h - 1 - c.rect.height()) / 2);
    }
}

void buildSummaryLayout(Section& pageHeader, Section& detail, Section& pageFooter, bool items) {
    // The invoice's heading down to the amount due, and the issuer's registration number.
    pageHeader = Section{QStringLiteral("PageHeader"), kSummaryRowsTop + 340 + 110, {}};
    for (const Row& r : kHeader) {
        pageHeader.controls.push_back(make(r));
        if (QLatin1String(r.name) == QLatin1String("Line40"))
            break;
    }
    pageHeader.ctl(QStringLiteral("txt自社情報")).rect.setBottom(2870);
    for (const Row& r : kQualifiedHeader)
        pageHeader.controls.push_back(make(r));
    // The figures side by side below the company's block, headings over ruled boxes.
    const int width = (10575 - 213) / int(std::size(kSummaryFigures));
    for (int i = 0; i < int(std::size(kSummaryFigures)); ++i) {
        const int left = 213 + i * width;
        const char* name = kSummaryFigures[i];
        Control heading = make({"", K::Label, left, kFiguresTop, width, 284, 11, true, 'C', name, ""});
        heading.name = QStringLiteral("Label") + QString::fromUtf8(name);
        Control box = make({"", K::Text, left + 60, kFiguresTop + 284, width - 120, 354, 13, false, 'R', "", "", "n"});
        box.name = QStringLiteral("txt") + QString::fromUtf8(name);
        box.outputFormat = QStringLiteral("#,##0");
        pageHeader.controls.push_back(heading);
        pageHeader.controls.push_back(box);
        if (i > 0)
            pageHeader.controls.push_back(make({"", K::Line, left, kFiguresTop + 284, left, kFiguresTop + 638, 0, false, 'L', "", ""}));
    }
    pageHeader.controls.push_back(make({"Shape金額欄", K::Rect, 213, kFiguresTop + 284, width * 6, 354, 0, false, 'L', "", ""}));
    addRows(pageHeader, kSummaryHeadings, kSummaryRowsTop);
    detail = Section{QStringLiteral("Detail"), kRowHeight, {}};
    addRows(detail, kSummaryDetail);
    if (items) {
        std::erase_if(pageHeader.controls, [](const Control& c) { return c.name == QLatin1String("Label件名欄"); });
        addRows(pageHeader, kSummaryItemHeadings, kSummaryRowsTop);
        addRows(detail, kSummaryItemDetail);
        addLineMark(detail, 5990);
    }
    pageFooter = Section{QStringLiteral("PageFooter"), kSummaryFooterHeight, {}};
    addRows(pageFooter, kSummaryFooter);
}

void buildInvoiceLayout(Section& pageHeader, Section& detail, Section& pageFooter) {
    pageHeader = Section{QStringLiteral("PageHeader"), 3540, {}};
    for (const Row& r : kHeader)
        pageHeader.controls.push_back(make(r));
    detail = Section{QStringLiteral("Detail"), 370, {}};
    for (const Row& r : kDetail)
        detail.controls.push_back(make(r));
    pageFooter = Section{QStringLiteral("PageFooter"), 0, {}};
}

} // namespace report
