#pragma once
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

// Types text as key events carrying it, any script (QTest's own helpers take ASCII only).
inline void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        // An open pop-up (a completer's list) sees the keys first, as it does from the keyboard.
        QWidget* to = QApplication::activePopupWidget();
        if (!to) {
            to = QApplication::focusWidget() ? QApplication::focusWidget() : w;
            if (auto* combo = qobject_cast<QComboBox*>(to); combo && combo->lineEdit())
                to = combo->lineEdit();
        }
        QKeyEvent press(QEvent::KeyPress, c == u' ' ? Qt::Key_Space : 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, c == u' ' ? Qt::Key_Space : 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(to, &press);
        QApplication::sendEvent(to, &release);
    }
}
