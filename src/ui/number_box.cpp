#include "ui/number_box.h"

#include <QLocale>
#include <QRegularExpressionValidator>
#include <cmath>

NumberBox::NumberBox(Format f, QWidget* parent) : QLineEdit(parent), format_(f) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (f == Format::Plain)
        setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]{0,10}")), this));
}

std::optional<Currency> NumberBox::value() const {
    if (format_ == Format::Grouped)
        return text().isEmpty() ? std::nullopt : value_;
    QString t = text();
    t.remove(u',');
    return Currency::parse(t);
}

void NumberBox::setValue(const std::optional<Currency>& v) {
    value_ = v;
    if (!v) {
        clear();
        return;
    }
    if (format_ == Format::Plain) {
        setText(v->toString());
        return;
    }
    // Whole amounts with separators; the value keeps its decimals in the text's absence.
    const double r = std::round(v->toDouble());
    setText(QLocale(QLocale::English).toString(static_cast<qlonglong>(r)));
}
