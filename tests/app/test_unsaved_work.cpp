#include "window_fixture.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QLayout>
#include <QToolButton>

// Typed work on the invoice page is never thrown away without the user's word.
class UnsavedWorkTest : public QObject {
    Q_OBJECT
  private slots:
    void clearAndCloseAskOnlyWithChanges();
    void leavingTheNumberBox();
    void deactivationIsNotLeaving();
    void settingsPageKeysAndOddCategory();
    void dateBoxPlacement();

  private:
    static QString name(InvoicePage& w, int row) {
        return w.dat明細->value(row, w.dat明細->fieldIndex(QStringLiteral("品名"))).toText();
    }
    // Types into the number box, then leaves it for the customer box, as Tab would.
    static void leaveNumber(InvoicePage& w, const QString& typed) {
        w.txtNo->setFocus();
        QTRY_VERIFY(w.txtNo->hasFocus());
        w.txtNo->selectAll();
        typeText(w.txtNo, typed);
        w.cmb顧客名->setFocus();
        QTRY_VERIFY(!w.txtNo->hasFocus());
    }
};

void UnsavedWorkTest::clearAndCloseAskOnlyWithChanges() {
    const struct {
        const char *grid, *button, *question; // the grid typed into, the button pressed
    } cases[] = {{"Grid明細", "cmdクリア", "画面をクリアします。よろしいですか"},
                 {"Grid明細", "cmd閉じる", "登録されていない伝票があります。終了します、よろしいですか"},
                 {"Grid顧客マスタ", "cmd閉じる", "登録されていない顧客情報があります。終了します、よろしいですか"},
                 {"Grid商品マスタ", "cmd閉じる", "登録されていない商品情報があります。終了します、よろしいですか"},
                 {"Grid顧客マスタ", "cmd顧客読込", "画面をクリアします。よろしいですか"},
                 {"Grid商品マスタ", "cmd商品クリア", "画面をクリアします。よろしいですか"}};
    for (const auto& c : cases) {
        WindowFixture f;
        f.start();
        InvoicePage& w = *f.w->invoice;
        auto* g = f.w->findChild<DataGrid*>(QString::fromUtf8(c.grid));
        auto* button = f.w->findChild<QPushButton*>(QString::fromUtf8(c.button));
        f.w->tab->setCurrentWidget(g->parentWidget()->parentWidget());
        typeCell(g, 0, 1, QStringLiteral("封筒"));
        QCOMPARE(w.hasUnsavedChanges(), g == w.Grid明細);
        QCOMPARE(w.lbl未登録->isHidden(), g != w.Grid明細);
        QCOMPARE(w.lbl未登録->text(), QStringLiteral("未登録の変更があります"));
        // No keeps everything.
        f.answer = QMessageBox::No;
        button->click();
        QCOMPARE(f.shown.size(), 1);
        QCOMPARE(f.shown[0].text, QString::fromUtf8(c.question));
        QCOMPARE(f.shown[0].defaultButton, QMessageBox::No); // Enter never throws work away
        QVERIFY(f.w->isVisible() && f.w->books.dbMain);
        QCOMPARE(g->model()->index(0, 1).data().toString(), QStringLiteral("封筒"));
        f.answer = QMessageBox::Yes;
        button->click();
        if (button == w.cmd閉じる) {
            QVERIFY(!f.w->isVisible() && !f.w->books.dbMain);
            continue;
        }
        QVERIFY(g->model()->index(0, 1).data().toString().isEmpty());
        QVERIFY(w.lbl未登録->isHidden());
        button->click(); // nothing typed: nothing asked
        QCOMPARE(f.shown.size(), 2);
    }
}

void UnsavedWorkTest::leavingTheNumberBox() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    for (const char* line : {"封筒", "切手"}) { // invoices 1 and 2
        w.cmb顧客名->setEditText(QStringLiteral("山田商店"));
        typeCell(w.Grid明細, 0, 1, QString::fromUtf8(line));
        w.cmd登録->click();
    }
    // Without changes another number loads at once, and a load is no change.
    f.shown.clear();
    leaveNumber(w, QStringLiteral("1"));
    QVERIFY(f.shown.isEmpty());
    QCOMPARE(name(w, 0), QStringLiteral("封筒"));
    QVERIFY(!w.hasUnsavedChanges());
    typeCell(w.Grid明細, 0, 1, QStringLiteral("便箋"));
    // Tabbing through the box with its number unchanged loads nothing.
    leaveNumber(w, QStringLiteral("1"));
    QCOMPARE(name(w, 0), QStringLiteral("便箋"));
    QVERIFY(f.shown.isEmpty());

    // Another number with typed lines asks first; No keeps the lines under their own number.
    f.answer = QMessageBox::No;
    leaveNumber(w, QStringLiteral("2"));
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].title, QStringLiteral("画面クリアの確認"));
    QCOMPARE(w.txtNo->text(), QStringLiteral("1"));
    QCOMPARE(name(w, 0), QStringLiteral("便箋"));
    // Registering names the invoice and replaces only it.
    f.answer = QMessageBox::Yes;
    w.cmd登録->click();
    QCOMPARE(f.shown.last().text, QStringLiteral("伝票 1（山田商店 様） を登録します。よろしいですか"));
    leaveNumber(w, QStringLiteral("2"));
    QCOMPARE(name(w, 0), QStringLiteral("切手"));
}

void UnsavedWorkTest::deactivationIsNotLeaving() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    typeCell(w.Grid明細, 0, 1, QStringLiteral("封筒"));
    w.txtNo->setFocus();
    QTRY_VERIFY(w.txtNo->hasFocus());
    w.txtNo->selectAll();
    typeText(w.txtNo, QStringLiteral("77"));
    // Another window takes the focus, as switching to another application does.
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(!f.w->isActiveWindow());
    QVERIFY(f.shown.isEmpty());
    QCOMPARE(name(w, 0), QStringLiteral("封筒"));
    QCOMPARE(w.txtNo->text(), QStringLiteral("77"));
    // Coming back and leaving the box for real is leaving it: the question comes now.
    other.close();
    f.w->activateWindow();
    QTRY_VERIFY(f.w->isActiveWindow());
    f.answer = QMessageBox::No;
    w.txtNo->setFocus();
    w.cmb顧客名->setFocus();
    QTRY_COMPARE(f.shown.size(), 1);
    QCOMPARE(name(w, 0), QStringLiteral("封筒"));
}

void UnsavedWorkTest::settingsPageKeysAndOddCategory() {
    WindowFixture f;
    f.data.openMain()->executeRaw(QStringLiteral("INSERT INTO 自社情報 (自社名, 税区分) VALUES ('自社', '内税')"));
    f.start();
    SettingsPage& w = *f.w->settings;
    f.w->tab->setCurrentIndex(3);
    w.cmd設定読込->click();
    QCOMPARE(w.cmb税区分->currentText(), QStringLiteral("内税"));
    // Tab leaves the list; typing and Delete still change nothing.
    w.cmb税区分->setFocus();
    QTRY_VERIFY(w.cmb税区分->hasFocus());
    QTest::keyClick(w.cmb税区分, Qt::Key_Delete);
    typeText(w.cmb税区分, QStringLiteral("x"));
    QCOMPARE(w.cmb税区分->currentText(), QStringLiteral("内税"));
    QTest::keyClick(w.cmb税区分, Qt::Key_Tab);
    QTRY_VERIFY(!w.cmb税区分->hasFocus());
    // A stored text outside the list shows as itself, not as the previous pick.
    f.data.openMain()->executeRaw(QStringLiteral("UPDATE 自社情報 SET 税区分 = ''"));
    w.cmd設定読込->click();
    QCOMPARE(w.cmb税区分->currentText(), QString());
    QCOMPARE(f.w->books.cfg税区分, QString());
}

void UnsavedWorkTest::dateBoxPlacement() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    QWidget* frame = w.dt日付->parentWidget();
    while (frame && !qobject_cast<QFrame*>(frame))
        frame = frame->parentWidget();
    QVERIFY(frame);
    QCOMPARE(w.dt日付->mapTo(frame, QPoint(0, 0)).x(), twipsToPixels(7200, &w));
    QCOMPARE(w.dt日付->width(), twipsToPixels(1980, &w));
    // The calendar's heading reads year, then month, in the box's own style.
    QCalendarWidget* cal = w.dt日付->calendarWidget();
    cal->setCurrentPage(2026, 3);
    auto* year = cal->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
    auto* month = cal->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    QCOMPARE(year->text() + month->text(), QStringLiteral("2026年03月"));
    auto* bar = month->parentWidget()->layout();
    QVERIFY(bar->indexOf(year) < bar->indexOf(month));
}

QTEST_MAIN(UnsavedWorkTest)
#include "test_unsaved_work.moc"
