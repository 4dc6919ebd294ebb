#pragma once
#include <QPlainTextEdit>

// A text box of at most a given number of lines, refusing more as a one-line box refuses text
// past its length: a line break that would pass the limit is not made (the box beeps), and
// pasted or dropped text is cut before the break that would. Text put in by the program is kept
// whole.
class LineLimitedEdit : public QPlainTextEdit {
  public:
    explicit LineLimitedEdit(int maxLines, QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

  private:
    // The line breaks that may still be made, the selection counted as replaced.
    int breaksLeft() const;
    int maxLines_;
};
