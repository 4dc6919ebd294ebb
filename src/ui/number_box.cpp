#include "ui/number_box.h"

#include "figures/figures.h"

#include <QLocale>
#include <cmath>

NumberValidator::NumberValidator(QObject* parent, const QString& pattern)
    : QValidator(parent), pattern_(pattern.isEmpty() ? QString() : QRegularExpression::anchoredPattern(pattern)) {}

QValidator::State NumberValidator::validate(QString& input, int&) const {
    input = figures::asciiNumber(input); // one character for one: the cursor stays where it was
    if (pattern_.pattern().isEmpty())
        return Acceptable;
    return pattern_.match(QString(input).remove(u',')).hasMatch() ? Acceptable : Invalid;
}

NumberBox::NumberBox(Format f, QWidget* parent) : QLineEdit(parent), format_(f) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (f == Format::Plain)
        setValidator(new NumberValidator(this, QStringLiteral("-?[0-9]{0,10}")));
}

std::optional<Currency> NumberBox::value() const {
    if (format_ == Format::Grouped)
        return text().isEmpty() ? std::nullopt : value_;
    return Currency::parse(figures::asciiNumber(text()).remove(u','));
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
