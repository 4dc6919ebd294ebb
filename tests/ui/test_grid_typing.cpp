#include "support/testdb.h"
#include "ui/bound_table.h"
#include "ui/data_grid.h"

#include <QInputMethodEvent>
#include <QtTest>

// Every key typed into a grid reaches its cell, in order, however fast: keys and input-method
// text, sent back to back without the event loop running in between.
class GridTypingTest : public QObject {
    Q_OBJECT
  private slots:
    void everyKeyArrives_data();
    void everyKeyArrives();
};

namespace {
const QString S(const char* s) {
    return QString::fromUtf8(s);
}

// Where each event goes: to the grid, as events addressed before an editor opened are; or to
// whatever holds the focus at that moment, as the platform sends them.
enum class To { Grid, Focus };
// How text is typed: keys, text committed by an input method at once, or composed first.
enum class As { Keys, Commits, Compositions };

struct Typist {
    DataGrid* grid;
    To to;
    QWidget* focusWhileComposing = nullptr; // where the focus was during the first composition
    QObject* target() const {
        if (to == To::Grid)
            return grid;
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup->focusWidget() ? popup->focusWidget() : popup;
        return QGuiApplication::focusObject();
    }
    void key(int code, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
        QApplication::sendEvent(target(), &press);
        QApplication::sendEvent(target(), &release);
    }
    void inputMethod(const QString& preedit, const QString& commit) {
        QInputMethodEvent e(preedit, {});
        e.setCommitString(commit);
        QApplication::sendEvent(target(), &e);
    }
    // Segments split by "|" are committed one by one.
    void type(const QString& text, As as) {
        for (const QString& part : text.split(u'|')) {
            if (as == As::Keys) {
                for (const QChar c : part)
                    key(0, QString(c));
                continue;
            }
            if (as == As::Compositions) {
                inputMethod(part.left(1), {});
                if (!focusWhileComposing)
                    focusWhileComposing = QApplication::focusWidget();
                inputMethod(part, {});
            }
            inputMethod({}, part);
        }
    }
};

GridColumn column(double twips, CellFormat format = CellFormat::Plain) {
    GridColumn c;
    c.width = twips;
    c.format = format;
    if (format != CellFormat::Plain)
        c.align = Qt::AlignRight;
    return c;
}

struct Grid {
    QWidget window;
    BoundTable table;
    BoundTable products;
    DataGrid* grid = new DataGrid(&window);
};

// The three grids as the window sets them up: the lines with their product list, the customers
// with their multi-line details, the products with their rate codes.
void setUp(Grid& g, Database& work, const QString& which) {
    g.table.setDatabase(&work);
    g.grid->bind(&g.table);
    if (which == QLatin1String("lines")) {
        for (int i = 1; i <= 3; ++i)
            work.executeRaw(QStringLiteral("INSERT INTO w明細 (行番号) VALUES (%1)").arg(i));
        work.executeRaw(S("INSERT INTO w商品参照 (品名) VALUES ('新規商品')"));
        g.products.setDatabase(&work);
        g.products.setRecordSource(S("w商品参照"));
        g.products.refresh();
        g.table.setRecordSource(S("w明細"));
        g.table.refresh();
        g.table.setReadOnlyColumns({0});
        g.grid->setPictureColumn(6);
        g.grid->setupColumns({column(0), column(4400), column(1000, CellFormat::Quantity), column(720),
                              column(1000, CellFormat::Grouped), column(1245, CellFormat::Grouped), column(500),
                              column(0)});
        g.grid->setPickList(1, &g.products, 0);
        g.grid->setImeColumns({1, 3});
        return;
    }
    g.table.setRowEditing(true);
    g.grid->setRowSelectors(true);
    if (which == QLatin1String("customers")) {
        g.table.setRecordSource(S("w顧客マスタ"));
        g.table.refresh();
        g.grid->setupColumns({column(360), column(3285), column(2160)});
        g.grid->setMultiLineColumn(2);
    } else {
        g.table.setRecordSource(S("w商品マスタ"));
        g.table.refresh();
        g.grid->setupColumns({column(374), column(5445), column(675), column(1170, CellFormat::Grouped), column(840),
                              column(700)});
        g.grid->setCodeColumn(5, {{S("10%"), S("8%")}, [](const QString& t) -> std::optional<int> {
                                      bool ok = false;
                                      const int rate = QString(t).remove(u'%').toInt(&ok);
                                      return ok ? std::optional<int>(rate) : std::nullopt;
                                  }});
    }
    g.grid->setImeColumns({1, 2});
}
} // namespace

void GridTypingTest::everyKeyArrives_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("reach"); // click, click the current cell, Enter from the cell before
    QTest::addColumn<To>("to");
    QTest::addColumn<As>("as");
    QTest::addColumn<QString>("first");  // typed, then Enter
    QTest::addColumn<QString>("second"); // typed at once into the cell Enter moved to, then Enter
    QTest::addColumn<QString>("stored"); // the two cells, as stored
    QTest::newRow("quantity") << "lines" << 2 << "click" << To::Grid << As::Keys << "1234" << "kg" << "1234 kg";
    QTest::newRow("price, clicked again") << "lines" << 4 << "current" << To::Focus << As::Keys << "0.5" << "80"
                                          << "0.5 80";
    QTest::newRow("name by keys") << "lines" << 1 << "enter" << To::Grid << As::Keys << S("新規顧客") << "3"
                                  << S("新規顧客 3");
    QTest::newRow("name composed") << "lines" << 1 << "click" << To::Focus << As::Compositions << S("新規|顧客")
                                   << "12" << S("新規顧客 12");
    QTest::newRow("unit committed") << "lines" << 3 << "current" << To::Grid << As::Commits << S("ケ|ース")
                                    << "1,200" << S("ケース 1200");
    QTest::newRow("full-width figures") << "lines" << 4 << "click" << To::Focus << As::Keys << S("１，０００")
                                        << S("－５０") << "1000 -50";
    QTest::newRow("full-width figures committed") << "lines" << 2 << "enter" << To::Grid << As::Commits
                                                  << S("１，２３４．５") << S("個") << S("1234.5 個");
    QTest::newRow("customer name") << "customers" << 1 << "current" << To::Grid << As::Keys << S("新規顧客")
                                   << S("東京都") << S("新規顧客 東京都");
    QTest::newRow("customer details composed") << "customers" << 2 << "click" << To::Grid << As::Compositions
                                               << S("東京都|港区") << "" << S("東京都港区");
    QTest::newRow("product name committed") << "products" << 1 << "enter" << To::Focus << As::Commits
                                            << S("鉛|筆") << S("本") << S("鉛筆 本");
    QTest::newRow("product price") << "products" << 3 << "current" << To::Grid << As::Keys << "1200" << ""
                                   << "1200";
    QTest::newRow("product rate") << "products" << 5 << "click" << To::Focus << As::Keys << "8" << "" << "8";
}

void GridTypingTest::everyKeyArrives() {
    QFETCH(QString, grid);
    QFETCH(int, col);
    QFETCH(QString, reach);
    QFETCH(To, to);
    QFETCH(As, as);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, stored);
    TestData data;
    auto work = data.openWork();
    Grid g;
    setUp(g, *work, grid);
    DataGrid* grid_ = g.grid;
    g.window.resize(900, 300);
    grid_->resize(880, 280);
    g.window.show();
    g.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&g.window));
    grid_->setFocus();
    const QModelIndex cell = g.table.index(0, col);
    if (reach == QLatin1String("enter")) {
        grid_->setCurrentIndex(g.table.index(0, col - 1));
        QTest::keyClick(grid_, Qt::Key_Return);
    } else {
        if (reach == QLatin1String("current"))
            grid_->setCurrentIndex(cell);
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, {}, grid_->visualRect(cell).center());
    }
    QCOMPARE(grid_->currentIndex(), cell);

    Typist typist{grid_, to};
    typist.type(first, as);
    typist.key(Qt::Key_Return);
    if (!second.isEmpty()) {
        typist.type(second, as == As::Compositions ? As::Commits : as);
        typist.key(Qt::Key_Return);
    }
    if (as == As::Compositions) // moving the focus would have ended the composition
        QCOMPARE(typist.focusWhileComposing, grid_);
    QCoreApplication::processEvents();
    QStringList cells;
    for (int c = col; c < g.table.columnCount() && cells.size() < (second.isEmpty() ? 1 : 2); ++c)
        if (!grid_->isColumnHidden(c) && !g.table.isBoolColumn(c))
            cells << g.table.value(0, c).toText();
    QCOMPARE(cells.join(u' '), stored);
}

QTEST_MAIN(GridTypingTest)
#include "test_grid_typing.moc"
