#pragma once

#include "report/report_engine.h"

#include <QString>
#include <QStringList>

namespace report {

constexpr int kTextPadding = 20;     // twips: 1 pt between a text and the rules of its box
constexpr double kFloorPoints = 7.0; // words shrink no further; below this they would not be read

// A text as it will be drawn: the size it got and its lines (one for single-line boxes).
struct FittedText {
    double points = 0;
    double lineSpacing = 0; // twips
    QStringList lines;
};

// The part of a text box its text may use: a vertical rule of the same section that runs through the
// box (a divider of the totals frame, a column rule of the detail row) bounds it there.
QRect usableBox(const Control& text, const std::vector<Control>& section);

// Keeps the control's own size when the text fits; otherwise the largest size at which it fits the
// box less its padding. Single-line texts must fit the width, several lines the height as well.
// At the floor, words end in "…"; figures (Fit::Whole) have no floor.
FittedText fitText(const Control& c, const QString& text, const QRect& box);

} // namespace report
