#include "store/statements.h"
#include "window_fixture.h"

#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>

// The grids worked with keyboard and mouse: master new rows and removal, detail keys, the line menu.
class GridWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void mastersTypedIntoNewRowAndRegistered();
    void removedRowsLeaveTheMaster();
    void cellRulesRunOnlyOnChange();
    void keysMoveOn();
    void lineMenu();
    void quantityKeepsDecimalsAndEditorsFollowInput();
    void headingsChecksAndStretch();
};

namespace {
const QString S(const char* s) {
    return QString::fromUtf8(s);
}

// Opens the cell with F2, types, Enter.
void f2Enter(DataGrid* g, int row, int col, const QString& typed = {}) {
    g->setFocus();
    g->setCurrentIndex(g->model()->index(row, col));
    QTest::keyClick(g, Qt::Key_F2);
    typeText(typingTarget(), typed);
    QTest::keyClick(typingTarget(), Qt::Key_Return);
    QCoreApplication::processEvents();
}

Value field(BoundTable* t, int row, const char* name) {
    return t->value(row, t->fieldIndex(S(name)));
}

// Right-clicks a row and picks a menu entry; the entries offered go to `offered`.
void pickFromRowMenu(DataGrid* g, int row, const QString& entry, QStringList* offered = nullptr) {
    g->scrollTo(g->model()->index(row, 1));
    const QPoint at = g->visualRect(g->model()->index(row, 1)).center();
    QContextMenuEvent ev(QContextMenuEvent::Mouse, at, g->viewport()->mapToGlobal(at));
    QApplication::sendEvent(g->viewport(), &ev);
    auto* menu = g->findChild<QMenu*>();
    QVERIFY(menu);
    for (QAction* a : menu->actions()) {
        if (offered)
            *offered << a->text();
        if (a->text() == entry)
            a->trigger();
    }
    menu->close();
    QTRY_VERIFY_WITH_TIMEOUT(!g->findChild<QMenu*>(), 5000); // closed menus delete themselves
    // The offscreen platform leaves no window active after a popup; a desktop one returns to the window.
    g->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(g->window()));
}

QString names(InvoicePage& w, int count) {
    QStringList out;
    for (int r = 0; r < count; ++r)
        out << (field(w.dat明細, r, "品名").isNull() ? S("-") : field(w.dat明細, r, "品名").toText());
    return out.join(u' ');
}
} // namespace

void GridWindowTest::mastersTypedIntoNewRowAndRegistered() {
    WindowFixture f;
    f.start();
    CustomerPage& w = *f.w->customers;
    f.w->tab->setCurrentIndex(1);
    DataGrid* g = w.Grid顧客マスタ;
    QCOMPARE(g->model()->rowCount(), 1); // an empty page still has its new row
    typeCell(g, 0, 1, S("山田商店"));
    QCOMPARE(w.dat顧客->recordCount(), 1);
    QCOMPARE(g->model()->rowCount(), 2);
    // The details take several lines, in the cell as in the boxes: Enter breaks the line, Ctrl+Enter
    // moves on; Enter in the last column goes to the next row's name.
    g->setCurrentIndex(g->model()->index(0, 2));
    for (QWidget* box : {static_cast<QWidget*>(g), static_cast<QWidget*>(f.w->settings->txt自社情報),
                         static_cast<QWidget*>(f.w->invoice->txt顧客情報)}) {
        f.w->tab->setCurrentWidget(box->parentWidget()->parentWidget());
        box->setFocus();
        typeText(box, S("東京都"));
        QTest::keyClick(typingTarget(), Qt::Key_Return);
        typeText(typingTarget(), S("港区"));
        QTest::keyClick(typingTarget(), Qt::Key_Return, Qt::ControlModifier);
        QTRY_VERIFY(box == g ? QApplication::focusWidget() == g : !box->hasFocus());
        if (auto* text = qobject_cast<QPlainTextEdit*>(box))
            QCOMPARE(text->toPlainText(), S("東京都\n港区"));
    }
    f.w->tab->setCurrentIndex(1);
    QCOMPARE(std::pair(g->row(), g->col()), std::pair(0, 3)); // the honorific
    QTest::keyClick(g, Qt::Key_Return);
    QCOMPARE(std::pair(g->row(), g->col()), std::pair(0, 4)); // on to the digital invoice's address
    g->setCurrentIndex(g->model()->index(0, 10));               // the billing method, the last column
    QTest::keyClick(g, Qt::Key_Return);
    QCOMPARE(std::pair(g->row(), g->col()), std::pair(1, 1));
    w.cmd顧客登録->click();
    auto customer = f.main().openRecordset(sql::C1(S("山田商店")));
    QCOMPARE(customer->recordCount(), 1);
    QCOMPARE(customer->field(S("顧客情報")).toText(), S("東京都\n港区"));

    f.w->tab->setCurrentIndex(2);
    DataGrid* p = f.w->products->Grid商品マスタ;
    typeCell(p, 0, 3, S("1,200")); // any cell of the new row starts a row
    typeCell(p, 0, 1, S("鉛筆"));
    typeCell(p, 1, 1, S("消しゴム"));
    QCOMPARE(p->model()->rowCount(), 3);
    f.w->products->cmd商品登録->click();
    QCOMPARE(f.main().openRecordset(sql::P1(S("鉛筆")))->field(S("単価")).toCurrency(), Currency::fromWhole(1200));
    QCOMPARE(f.main().openRecordset(sql::P1(S("消しゴム")))->recordCount(), 1);
}

void GridWindowTest::removedRowsLeaveTheMaster() {
    WindowFixture f;
    f.data.openMain()->executeRaw(S("INSERT INTO 顧客マスタ (顧客名) VALUES ('A社'), ('B社'), ('C社')"));
    f.start();
    CustomerPage& w = *f.w->customers;
    f.w->tab->setCurrentIndex(1);
    w.cmd顧客読込->click();
    DataGrid* g = w.Grid顧客マスタ;
    QCOMPARE(w.dat顧客->recordCount(), 3);
    // Click on the first row header, Shift+click on the second, then Delete.
    QHeaderView* h = g->verticalHeader();
    auto rowPoint = [h](int r) {
        return QPoint(h->width() / 2, h->sectionViewportPosition(r) + h->sectionSize(r) / 2);
    };
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, rowPoint(0));
    QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowPoint(1));
    QCOMPARE(g->selectedRecords(), QList<int>({0, 1}));
    QTest::keyClick(g, Qt::Key_Delete);
    QCOMPARE(w.dat顧客->recordCount(), 1);
    QCOMPARE(field(w.dat顧客, 0, "顧客名").toText(), S("C社"));
    // Shift+Space selects the row under the cursor; the menu removes it.
    g->setCurrentIndex(g->model()->index(0, 1));
    QTest::keyClick(g, Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(g->selectedRecords(), QList<int>({0}));
    QStringList offered;
    pickFromRowMenu(g, 0, S("行を削除"), &offered);
    QCOMPARE(offered, QStringList({S("行を削除")}));
    QCOMPARE(w.dat顧客->recordCount(), 0);
    QCOMPARE(g->model()->rowCount(), 1);
    // Nothing asked, the master untouched.
    QVERIFY(f.shown.isEmpty());
    QCOMPARE(f.main().openRecordset(sql::C2())->recordCount(), 3);
}

void GridWindowTest::cellRulesRunOnlyOnChange() {
    WindowFixture f;
    f.data.openMain()->executeRaw(S("INSERT INTO 商品マスタ (品名, 単位, 単価, 非課税) VALUES "
                                    "('コピー用紙', '箱', 25000000, 0), ('鉛筆', '本', 800000, 0)"));
    f.start();
    InvoicePage& w = *f.w->invoice;
    DataGrid* g = w.Grid明細;
    // F2 and Enter on an unchanged quantity or name keep what was set by hand.
    typeCell(g, 0, 1, S("コピー用紙"));
    typeCell(g, 0, 2, S("3"));
    typeCell(g, 0, 5, S("7000"));
    f2Enter(g, 0, 2);
    QCOMPARE(field(w.dat明細, 0, "金額").toCurrency(), Currency::fromWhole(7000));
    typeCell(g, 0, 3, S("ケース"));
    typeCell(g, 0, 4, S("2000"));
    f2Enter(g, 0, 1);
    QCOMPARE(field(w.dat明細, 0, "単位").toText(), S("ケース"));
    QCOMPARE(field(w.dat明細, 0, "単価").toCurrency(), Currency::fromWhole(2000));
    QCOMPARE(w.num税抜計->text(), S("6,000"));

    // Delete or Backspace empties a cell and runs its column's rule; totals follow.
    typeCell(g, 1, 1, S("鉛筆"));
    typeCell(g, 1, 2, S("3"));
    QCOMPARE(w.num税抜計->text(), S("6,240"));
    const struct {
        int col;
        Qt::Key key;
        const char* emptied;
    } cases[] = {{2, Qt::Key_Delete, "金額"}, {1, Qt::Key_Backspace, "単価"}};
    for (const auto& c : cases) {
        g->setCurrentIndex(g->model()->index(1, c.col));
        QTest::keyClick(g, c.key);
        QVERIFY(w.dat明細->value(1, c.col).isNull());
        QVERIFY2(field(w.dat明細, 1, c.emptied).isNull(), c.emptied);
    }
    QVERIFY(field(w.dat明細, 1, "単位").isNull());
    QCOMPARE(w.num税抜計->text(), S("6,000"));

    // Typing over a filled name replaces it and looks it up; F2 edits in place.
    typeCell(g, 0, 1, S("特注品"));
    QCOMPARE(field(w.dat明細, 0, "品名").toText(), S("特注品"));
    QVERIFY(field(w.dat明細, 0, "単価").isNull());
    f2Enter(g, 0, 1, S("A"));
    QCOMPARE(field(w.dat明細, 0, "品名").toText(), S("特注品A"));
}

void GridWindowTest::keysMoveOn() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    QCOMPARE(w.cmdHint->toolTip(), S("ヒント"));
    // Tab in an open editor commits it and leaves the grid.
    DataGrid* g = w.Grid明細;
    g->setFocus();
    g->setCurrentIndex(g->model()->index(0, 4));
    typeText(g, S("100"));
    QVERIFY(g->isAncestorOf(QApplication::focusWidget())); // the editor is open
    QTest::keyClick(typingTarget(), Qt::Key_Tab);
    QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget() != g &&
                !g->isAncestorOf(QApplication::focusWidget()));
    QCOMPARE(field(w.dat明細, 0, "単価").toCurrency(), Currency::fromWhole(100));

    // Enter in the number box moves on, and the number typed loads.
    typeCell(g, 0, 1, S("鉛筆"));
    w.txtNo->setText(S("7"));
    w.cmd登録->click();
    QVERIFY(field(w.dat明細, 0, "品名").isNull());
    w.txtNo->setFocus();
    w.txtNo->setText(S("7"));
    QTest::keyClick(w.txtNo, Qt::Key_Return);
    QVERIFY(!w.txtNo->hasFocus());
    QCOMPARE(field(w.dat明細, 0, "品名").toText(), S("鉛筆"));
}

void GridWindowTest::lineMenu() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    DataGrid* g = w.Grid明細;
    for (int r = 0; r < 3; ++r) {
        typeCell(g, r, 1, QString(QChar(u'A' + r)));
        typeCell(g, r, 5, QString::number((r + 1) * 100));
    }
    const struct {
        int row;
        const char *entry, *names, *total;
        QMessageBox::StandardButton answer = QMessageBox::Yes; // to deleting a line that holds anything
    } steps[] = {{1, "行を挿入", "A - B C -", "600"},
                 {0, "行を削除", "A - B C -", "600", QMessageBox::No},
                 {0, "行を削除", "- B C - -", "500"},
                 {1, "行をクリア", "- - C - -", "300"}};
    for (const auto& s : steps) {
        f.answer = s.answer;
        QStringList offered;
        pickFromRowMenu(g, s.row, S(s.entry), &offered);
        QCOMPARE(offered, QStringList({S("行をクリア"), S("行を挿入"), S("行を削除")}));
        QVERIFY2(names(w, 5) == S(s.names), s.entry);
        QVERIFY2(w.num税抜計->text() == S(s.total), s.entry);
        QCOMPARE(g->row(), s.row); // the cursor stays on the line picked
    }
    QCOMPARE(f.shown.size(), 2);
    QCOMPARE(f.shown[0].text, S("1行目（A） を削除します。よろしいですか"));
    // Ctrl+Z puts the last line operation back, once.
    for (int twice = 0; twice < 2; ++twice) {
        QTest::keyClick(g, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(names(w, 5), S("- B C - -"));
        QCOMPARE(w.num税抜計->text(), S("500"));
    }
    // With line 30 in use there is no room to insert: refused, nothing moves.
    typeCell(g, 29, 1, S("Z"));
    f.shown.clear();
    pickFromRowMenu(g, 0, S("行を挿入"));
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].text, S("行挿入する余白はありません。"));
    QCOMPARE(names(w, 5), S("- B C - -"));
    QCOMPARE(field(w.dat明細, 29, "品名").toText(), S("Z"));
}

void GridWindowTest::quantityKeepsDecimalsAndEditorsFollowInput() {
    WindowFixture f;
    f.start();
    DataGrid* g = f.w->invoice->Grid明細;
    typeCell(g, 0, 4, S("6000"));
    typeCell(g, 0, 2, S("2.5"));
    typeCell(g, 1, 2, S("1200"));
    QCOMPARE(g->model()->index(0, 2).data().toString(), S("2.5"));
    QCOMPARE(g->model()->index(0, 5).data().toString(), S("15,000"));
    QCOMPARE(g->model()->index(1, 2).data().toString(), S("1,200"));
    // The editor of a number column never starts a Japanese composition; the name's does.
    for (const auto& [col, open] :
         {std::pair{2, false}, std::pair{4, false}, std::pair{5, false}, std::pair{1, true}}) {
        g->setFocus();
        g->setCurrentIndex(g->model()->index(2, col));
        typeText(g, S("1"));
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor && g->isAncestorOf(editor));
        QCOMPARE(editor->testAttribute(Qt::WA_InputMethodEnabled), open);
        QCOMPARE(typingTarget()->testAttribute(Qt::WA_InputMethodEnabled), open);
        QTest::keyClick(typingTarget(), Qt::Key_Escape);
    }
}

void GridWindowTest::headingsChecksAndStretch() {
    WindowFixture f;
    f.start();
    ProductPage& w = *f.w->products;
    for (int page : {1, 2, 0}) {
        f.w->tab->setCurrentIndex(page);
        DataGrid* g = page == 1   ? f.w->customers->Grid顧客マスタ
                      : page == 2 ? w.Grid商品マスタ
                                  : f.w->invoice->Grid明細;
        QHeaderView* h = g->horizontalHeader();
        const QFontMetrics fm(h->font());
        int last = -1;
        for (int c = 0; c < g->model()->columnCount(); ++c) {
            if (g->isColumnHidden(c))
                continue;
            last = c;
            const QString heading = g->model()->headerData(c, Qt::Horizontal).toString();
            QVERIFY2(g->columnWidth(c) >= fm.horizontalAdvance(heading), qPrintable(heading));
        }
        if (page != 0) // the master grids' last column reaches the right edge
            QTRY_COMPARE(h->sectionViewportPosition(last) + h->sectionSize(last), h->viewport()->width());
    }
    // The check box of the tick column sits in the middle of its cell: the bounding box of the pixels
    // that differ from the background is centred.
    DataGrid* g = w.Grid商品マスタ;
    f.w->tab->setCurrentIndex(2);
    g->setCurrentIndex(g->model()->index(0, 1));
    const QImage img = g->viewport()->grab(g->visualRect(g->model()->index(0, 0))).toImage();
    const QColor bg = img.pixelColor(2, 2);
    QRect mark;
    for (int y = 1; y < img.height() - 1; ++y)
        for (int x = 1; x < img.width() - 1; ++x) {
            const QColor c = img.pixelColor(x, y);
            if (std::abs(c.red() - bg.red()) + std::abs(c.green() - bg.green()) + std::abs(c.blue() - bg.blue()) > 60)
                mark |= QRect(x, y, 1, 1);
        }
    QVERIFY(!mark.isEmpty());
    QVERIFY2(std::abs(mark.center().x() - img.width() / 2) <= 2, qPrintable(QString::number(mark.center().x())));
    QVERIFY(std::abs(mark.center().y() - img.height() / 2) <= 2);
}

QTEST_MAIN(GridWindowTest)
#include "test_grid_window.moc"
