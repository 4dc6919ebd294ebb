#pragma once
#include "app/frm_vornisa.h"
#include "messages/msg.h"
#include "support/testdb.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

// Types text as key events carrying it, any script (QTest's own helpers take ASCII only).
inline void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QWidget* to = QApplication::focusWidget() ? QApplication::focusWidget() : w;
        if (auto* combo = qobject_cast<QComboBox*>(to); combo && combo->lineEdit())
            to = combo->lineEdit();
        QKeyEvent press(QEvent::KeyPress, c == u' ' ? Qt::Key_Space : 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, c == u' ' ? Qt::Key_Space : 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(to, &press);
        QApplication::sendEvent(to, &release);
    }
}

// A started main window over fresh files; message boxes are recorded and answered.
struct WindowFixture {
    TestData data;
    QTemporaryFile marker;
    std::unique_ptr<FrmVornisa> w;
    QList<msg::Shown> shown;
    QMessageBox::StandardButton answer = QMessageBox::Yes;

    WindowFixture() {
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
