#include "app/line_limited_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>

namespace {
// A selection breaks its lines with U+2029 (and U+2028 for Shift+Enter); plain text with '\n'.
bool isBreak(QChar c) {
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}
int breaks(const QString& text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), isBreak));
}
} // namespace

LineLimitedEdit::LineLimitedEdit(int maxLines, QWidget* parent) : QPlainTextEdit(parent), maxLines_(maxLines) {}

int LineLimitedEdit::breaksLeft() const {
    return maxLines_ - 1 - breaks(toPlainText()) + breaks(textCursor().selectedText());
}

void LineLimitedEdit::keyPressEvent(QKeyEvent* e) {
    const bool newLine =
        e->matches(QKeySequence::InsertParagraphSeparator) || e->matches(QKeySequence::InsertLineSeparator);
    if (newLine && breaksLeft() < 1) {
        QApplication::beep();
        e->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void LineLimitedEdit::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return QPlainTextEdit::insertFromMimeData(source);
    QString text = source->text();
    int left = std::max(breaksLeft(), 0);
    for (qsizetype i = 0; i < text.size(); ++i)
        if (isBreak(text[i]) && left-- == 0) {
            text.truncate(i);
            QApplication::beep();
            break;
        }
    QMimeData cut;
    cut.setText(text);
    QPlainTextEdit::insertFromMimeData(&cut);
}
