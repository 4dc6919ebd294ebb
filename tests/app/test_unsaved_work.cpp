#include "store/statements.h"

#include "window_fixture.h"

#include <QFrame>

// Typed work on the invoice page is never thrown away without the user's word.
class UnsavedWorkTest : public QObject {
    Q_OBJECT
  private slots:
    void clearAsksOnlyWithChanges();
    void leavingTheNumberBox();
    void deactivationIsNotLeaving();
    void closingAsksWithChanges();
    void settingsPageKeysAndOddCategory();
    void dateBoxPlacement();

  private:
    static void typeName(FrmVornisa& w, int row, const QString& text) {
        w.Grid明細->setFocus();
        w.Grid明細->setCurrentIndex(w.Grid明細->model()->index(row, 1));
        typeText(w.Grid明細, text);
        QWidget* editor = QApplication::focusWidget();
        if (auto* combo = qobject_cast<QComboBox*>(editor); combo && combo->lineEdit())
            editor = combo->lineEdit();
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    static QString name(FrmVornisa& w, int row) {
        return w.dat明細->value(row, w.dat明細->fieldIndex(QStringLiteral("品名"))).toText();
    }
    // Leaves the number box for the customer box, as Tab would.
    static void leaveNumber(FrmVornisa& w, const QString& typed) {
        w.txtNo->setFocus();
        QTRY_VERIFY(w.txtNo->hasFocus());
        w.txtNo->selectAll();
        typeText(w.txtNo, typed);
        w.cmb顧客名->setFocus();
        QTRY_VERIFY(!w.txtNo->hasFocus());
    }
};

void UnsavedWorkTest::clearAsksOnlyWithChanges() {
    WindowFixture f;
    f.start();
    FrmVornisa& w = *f.w;
    QVERIFY(!w.hasUnsavedChanges());
    QVERIFY(w.lbl未登録->isHidden());
    w.cmdクリア->click();
    QVERIFY(f.shown.isEmpty()); // nothing typed: nothing asked

    typeName(w, 0, QStringLiteral("封筒"));
    QVERIFY(w.hasUnsavedChanges());
    QVERIFY(!w.lbl未登録->isHidden());
    QCOMPARE(w.lbl未登録->text(), QStringLiteral("未登録の変更があります"));
    f.answer = QMessageBox::No;
    w.cmdクリア->click();
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].text, QStringLiteral("画面をクリアします。よろしいですか"));
    QCOMPARE(f.shown[0].defaultButton, QMessageBox::No);
    QCOMPARE(name(w, 0), QStringLiteral("封筒"));
    f.answer = QMessageBox::Yes;
    w.cmdクリア->click();
    QVERIFY(name(w, 0).isEmpty());
    QVERIFY(!w.hasUnsavedChanges());
    QVERIFY(w.lbl未登録->isHidden());
}

void UnsavedWorkTest::leavingTheNumberBox() {
    WindowFixture f;
    f.start();
    FrmVornisa& w = *f.w;
    const QString offered = w.txtNo->text();
    typeName(w, 0, QStringLiteral("封筒"));
    // Tabbing through the box with its number unchanged loads nothing.
    w.txtNo->setFocus();
    QTRY_VERIFY(w.txtNo->hasFocus());
    w.cmb顧客名->setFocus();
    QTRY_VERIFY(!w.txtNo->hasFocus());
    QCOMPARE(name(w, 0), QStringLiteral("封筒"));
    QVERIFY(f.shown.isEmpty());

    // Another number with typed lines asks first; No keeps the lines and the typed number.
    f.answer = QMessageBox::No;
    leaveNumber(w, QStringLiteral("500"));
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].title, QStringLiteral("画面クリアの確認"));
    QCOMPARE(w.txtNo->text(), QStringLiteral("500"));
    QCOMPARE(name(w, 0), QStringLiteral("封筒"));
    // Registering now stores the work under the typed number.
    f.answer = QMessageBox::Yes;
    w.cmd登録->click();
    {
        auto main = f.data.openMain();
        QCOMPARE(main->openRecordset(sql::I9(QStringLiteral("500")))->recordCount(), 1);
    }
    QCOMPARE(w.txtNo->text(), QStringLiteral("501"));
    QVERIFY(!w.hasUnsavedChanges());
    // Without changes another number loads at once, as before.
    f.shown.clear();
    leaveNumber(w, QStringLiteral("500"));
    QVERIFY(f.shown.isEmpty());
    QCOMPARE(name(w, 0), QStringLiteral("封筒"));
    QVERIFY(!w.hasUnsavedChanges()); // a load is no change
    QVERIFY(offered != w.txtNo->text());
}

void UnsavedWorkTest::deactivationIsNotLeaving() {
    WindowFixture f;
    f.start();
    FrmVornisa& w = *f.w;
    typeName(w, 0, QStringLiteral("封筒"));
    w.txtNo->setFocus();
    QTRY_VERIFY(w.txtNo->hasFocus());
    w.txtNo->selectAll();
    typeText(w.txtNo, QStringLiteral("77"));
    // Another window takes the focus, as switching to another application does.
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(!w.isActiveWindow());
    QVERIFY(f.shown.isEmpty());
    QCOMPARE(name(w, 0), QStringLiteral("封筒"));
    QCOMPARE(w.txtNo->text(), QStringLiteral("77"));
    // Coming back and leaving the box for real is leaving it: the question comes now.
    other.close();
    w.activateWindow();
    QTRY_VERIFY(w.isActiveWindow());
    f.answer = QMessageBox::No;
    w.txtNo->setFocus();
    w.cmb顧客名->setFocus();
    QTRY_COMPARE(f.shown.size(), 1);
    QCOMPARE(name(w, 0), QStringLiteral("封筒"));
}

void UnsavedWorkTest::closingAsksWithChanges() {
    WindowFixture f;
    f.start();
    FrmVornisa& w = *f.w;
    typeName(w, 0, QStringLiteral("封筒"));
    f.answer = QMessageBox::No;
    w.cmd閉じる->click();
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].text, QStringLiteral("登録されていない伝票があります。終了します、よろしいですか"));
    QVERIFY(w.isVisible());
    QVERIFY(w.dbMain); // still working
    f.answer = QMessageBox::Yes;
    w.cmd閉じる->click();
    QVERIFY(!w.isVisible());
    QVERIFY(!w.dbMain);
}

void UnsavedWorkTest::settingsPageKeysAndOddCategory() {
    WindowFixture f;
    {
        auto main = f.data.openMain();
        main->executeRaw(QStringLiteral("INSERT INTO 自社情報 (自社名, 税区分) VALUES ('自社', '内税')"));
    }
    f.start();
    FrmVornisa& w = *f.w;
    w.tab->setCurrentIndex(3);
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
    {
        auto main = f.data.openMain();
        main->executeRaw(QStringLiteral("UPDATE 自社情報 SET 税区分 = ''"));
    }
    w.cmd設定読込->click();
    QCOMPARE(w.cmb税区分->currentText(), QString());
    QCOMPARE(w.cfg税区分, QString());
}

void UnsavedWorkTest::dateBoxPlacement() {
    WindowFixture f;
    f.start();
    FrmVornisa& w = *f.w;
    QWidget* frame = w.dt日付->parentWidget();
    while (frame && !qobject_cast<QFrame*>(frame))
        frame = frame->parentWidget();
    QVERIFY(frame);
    QCOMPARE(w.dt日付->mapTo(frame, QPoint(0, 0)).x(), twipsToPixels(7200, &w));
    QCOMPARE(w.dt日付->width(), twipsToPixels(1980, &w));
}

QTEST_MAIN(UnsavedWorkTest)
#include "test_unsaved_work.moc"
