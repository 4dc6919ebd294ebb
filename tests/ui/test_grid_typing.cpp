#include "support/testdb.h"
#include "ui/bound_table.h"
#include "ui/data_grid.h"

#include <QInputMethodEvent>
#include <QtTest>

// Every key typed into a grid reaches its cell, in order, however fast (keys and input-method
// text sent back to back, the event loop never running in between), and shows whole there.
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
// How text is typed: keys, input-method text committed at once, or composed first.
enum class As { Keys, Commits, Compositions };

struct Typist {
    DataGrid* grid;
    To to;
    QWidget* focusWhileComposing = nullptr; // the focus during the first composition
    void send(QEvent* e) {
        QWidget* popup = QApplication::activePopupWidget();
        QObject* target = to == To::Grid ? grid : popup ? popup : QGuiApplication::focusObject();
        QApplication::sendEvent(target, e);
    }
    void inputMethod(const QString& preedit, const QString& commit) {
        QInputMethodEvent e(preedit, {});
        e.setCommitString(commit);
        send(&e);
    }
    // Parts split by "|" are committed one by one.
    void type(const QString& text, As as) {
        for (const QString& part : text.split(u'|')) {
            if (as == As::Keys) {
                for (const QChar c : part) {
                    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                    send(&press);
                }
                continue;
            }
            if (as == As::Compositions) {
                inputMethod(part.left(1), {});
                focusWhileComposing = focusWhileComposing ? focusWhileComposing : QApplication::focusWidget();
                inputMethod(part, {});
            }
            inputMethod({}, part);
        }
    }
};

GridColumn column(double twips, CellFormat format = CellFormat::Plain) {
    return {twips, format == CellFormat::Plain ? Qt::AlignLeft : Qt::AlignRight, {}, format};
}

// The three grids as the window sets them up: the lines with their product list, the customers
// with their multi-line details, the products.
void setUp(DataGrid& g, BoundTable& table, BoundTable& products, Database& work, const QString& source) {
    const bool lines = source == S("w明細");
    if (lines)
        work.executeRaw(S("INSERT INTO w明細 (行番号) VALUES (1), (2)"));
    table.setDatabase(&work);
    table.setRecordSource(source);
    table.setRowEditing(!lines);
    table.refresh();
    g.bind(&table);
    g.setRowSelectors(!lines);
    g.setImeColumns(lines ? QList<int>{1, 3} : QList<int>{1, 2});
    if (lines) {
        work.executeRaw(S("INSERT INTO w商品参照 (品名) VALUES ('新規商品')"));
        products.setDatabase(&work);
        products.setRecordSource(S("w商品参照"));
        products.refresh();
        g.setPictureColumn(6);
        g.setupColumns({column(0), column(4400), column(1000, CellFormat::Quantity), column(720),
                        column(1000, CellFormat::Grouped), column(1245, CellFormat::Grouped), column(500), column(0)});
        g.setPickList(1, &products, 0);
    } else if (source == S("w顧客マスタ")) {
        g.setupColumns({column(360), column(3285), column(2160)});
        g.setMultiLineColumn(2);
    } else {
        g.setupColumns({column(374), column(5445), column(675), column(1170, CellFormat::Grouped), column(840)});
    }
}
} // namespace

void GridTypingTest::everyKeyArrives_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("reach"); // click, click the current cell, Enter from the cell before
    QTest::addColumn<To>("to");
    QTest::addColumn<As>("as");
    QTest::addColumn<QString>("typed");  // into the cell, then at once into the next one ("/")
    QTest::addColumn<QString>("stored"); // the cells, as stored
    const QString lines = S("w明細"), customers = S("w顧客マスタ"), products = S("w商品マスタ");
    QTest::newRow("quantity") << lines << 2 << "click" << To::Grid << As::Keys << "1234/kg"
                              << "1234 kg";
    QTest::newRow("price, clicked again") << lines << 4 << "current" << To::Focus << As::Keys << "0.5/80"
                                          << "0.5 80";
    QTest::newRow("name by keys") << lines << 1 << "enter" << To::Grid << As::Keys << S("新規顧客/3")
                                  << S("新規顧客 3");
    QTest::newRow("name composed") << lines << 1 << "click" << To::Focus << As::Compositions << S("新規|顧客/12")
                                   << S("新規顧客 12");
    QTest::newRow("full-width committed")
        << lines << 2 << "current" << To::Grid << As::Commits << S("１，２３４．５/個") << S("1234.5 個");
    QTest::newRow("widest figures") << lines << 4 << "click" << To::Grid << As::Keys << "99999999/-9999999999"
                                    << "99999999 -9999999999";
    QTest::newRow("customer composed") << customers << 1 << "click" << To::Grid << As::Compositions
                                       << S("新規|顧客/東京都|港区") << S("新規顧客 東京都港区");
    QTest::newRow("product by keys") << products << 1 << "enter" << To::Focus << As::Keys << S("鉛筆/本")
                                     << S("鉛筆 本");
}

void GridTypingTest::everyKeyArrives() {
    QFETCH(QString, table);
    QFETCH(int, col);
    QFETCH(QString, reach);
    QFETCH(To, to);
    QFETCH(As, as);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    TestData data;
    auto work = data.openWork();
    QWidget window;
    BoundTable bound, products;
    DataGrid* g = new DataGrid(&window);
    setUp(*g, bound, products, *work, table);
    g->resize(880, 280);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    g->setFocus();
    const QModelIndex cell = bound.index(0, col);
    if (reach == QLatin1String("enter")) {
        g->setCurrentIndex(bound.index(0, col - 1));
        QTest::keyClick(g, Qt::Key_Return);
    } else {
        if (reach == QLatin1String("current"))
            g->setCurrentIndex(cell);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(cell).center());
    }
    QCOMPARE(g->currentIndex(), cell);

    Typist typist{g, to};
    for (const QString& text : typed.split(u'/')) {
        typist.type(text, as);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        typist.send(&enter);
    }
    if (as == As::Compositions) // moving the focus would have ended the composition
        QCOMPARE(typist.focusWhileComposing, g);
    QStringList cells;
    QStyleOptionViewItem option;
    option.initFrom(g);
    for (int c = col; c < bound.columnCount() && cells.size() <= typed.count(u'/'); ++c) {
        if (g->isColumnHidden(c) || bound.isBoolColumn(c))
            continue;
        cells << bound.value(0, c).toText();
        const QModelIndex shown = bound.index(0, c); // and it shows whole
        QVERIFY(g->columnWidth(c) >= g->itemDelegateForIndex(shown)->sizeHint(option, shown).width());
    }
    QCOMPARE(cells.join(u' '), stored);
}

QTEST_MAIN(GridTypingTest)
#include "test_grid_typing.moc"
