#pragma once
#include "app/frm_vornisa.h"
#include "app/japanese_ui.h"
#include "messages/msg.h"
#include "support/testdb.h"
#include "support/typing.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

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
    void start() {
        w = std::make_unique<FrmVornisa>();
        w->Form_Load(QStringLiteral("/nonexistent"), DataFolderRule{marker.fileName(), data.folder()});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
};
