#pragma once
#include "app/book_page/book_page.h"
#include "app/frm_vornisa.h"
#include "app/invoice_page/invoice_page.h"
#include "app/japanese_ui.h"
#include "app/master_pages/customer_page.h"
#include "app/master_pages/product_page.h"
#include "app/restore_dialog.h"
#include "app/settings_page/settings_page.h"
#include "messages/msg.h"
#include "report/preview.h"
#include "support/testdb.h"
#include "support/typing.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QTimer>
#include <QtTest>

// The widget that takes typed keys now, as the keyboard finds it: an open pop-up (a completer's
// list) first, then the focused widget, or the line edit of a focused combo box.
inline QWidget* typingTarget() {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    QWidget* w = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
        return combo->lineEdit();
    return w;
}

// Types into a cell of a grid as a user would, ending with Enter.
inline void typeCell(DataGrid* g, int row, int col, const QString& text) {
    g->setFocus();
    g->setCurrentIndex(g->model()->index(row, col));
    // The first key opens the editor; the rest go to it.
    typeText(g, text);
    QWidget* editor = typingTarget();
    QTest::keyClick(editor ? editor : g, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits on a queued call
    // A pop-up list that closed leaves the offscreen platform without an active window; a window
    // manager gives the activation back.
    if (!QApplication::activeWindow())
        g->window()->activateWindow();
}

// A started main window over fresh files, in the program's Japanese set-up; message boxes are
// recorded and answered.
struct WindowFixture {
    TestData data;
    QTemporaryFile marker;
    std::unique_ptr<FrmVornisa> w;
    QList<msg::Shown> shown;
    QMessageBox::StandardButton answer = QMessageBox::Yes;

    WindowFixture() {
        SetupJapaneseUi(); // as the program starts
        QVERIFY(marker.open());
        msg::setAnswerer([this](const msg::Shown& s) {
            shown << s;
            return s.buttons.testFlag(answer) ? answer : s.defaultButton;
        });
    }
    ~WindowFixture() { msg::setAnswerer({}); }
    // The files the window has open.
    Database& main() const { return *w->books.dbMain; }
    Database& work() const { return *w->books.dbWork; }
    void start() {
        if (data.server) // the server backend: this PC keeps its books on the test server
            Books::keepPlace(data.folder(), {true, data.server->connection});
        w = std::make_unique<FrmVornisa>();
        w->Form_Load(QStringLiteral("/nonexistent"), DataFolderRule{marker.fileName(), data.folder()});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
};

// Works the restore list once it is up: picks a row and presses a button, then the window's own button.
inline void restoreFromList(WindowFixture& f, int row, bool accept) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, row, accept] {
        auto* d = qobject_cast<RestoreDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        poll->deleteLater();
        poll->stop();
        d->Grid復元->selectRow(row);
        (accept ? d->cmd復元実行 : d->cmdキャンセル)->click();
    });
    poll->start(10);
    f.w->settings->cmd復元->click();
}

// Saves the print preview that is open as PDF: the page's text, then the list of its images.
inline QStringList savedPreview(FrmVornisa& w) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("p.pdf"));
    report::setSaveAsker([&](QWidget*, const QString&) { return pdf; });
    w.findChild<QPrintPreviewDialog*>()->findChild<QAction*>(QStringLiteral("cmdPDF保存"))->trigger();
    report::setSaveAsker({});
    delete w.findChild<QPrintPreviewDialog*>();
    QStringList out;
    for (const auto& [program, args] : {std::pair{"pdftotext", QStringList{pdf, QStringLiteral("-")}},
                                        std::pair{"pdfimages", QStringList{QStringLiteral("-list"), pdf}}}) {
        QProcess p;
        p.start(QString::fromLatin1(program), args);
        p.waitForFinished(60000);
        out << QString::fromUtf8(p.readAllStandardOutput()).simplified();
    }
    return out;
}
