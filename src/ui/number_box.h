#pragma once
#include "store/currency.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QValidator>
#include <optional>

// Makes what is typed into a box (by keys or the input method) ASCII as it arrives: full-width
// digits, commas, points and minus signs become their plain forms. With a pattern, text whose
// commas removed does not wholly match it is refused.
class NumberValidator : public QValidator {
  public:
    explicit NumberValidator(QObject* parent, const QString& pattern = {});
    State validate(QString& input, int& pos) const override;

  private:
    QRegularExpression pattern_;
};

// A box that holds a number or nothing, shown whole with thousands separators or plain.
class NumberBox : public QLineEdit {
    Q_OBJECT
  public:
    enum class Format { Grouped, Plain };
    explicit NumberBox(Format f = Format::Grouped, QWidget* parent = nullptr);

    std::optional<Currency> value() const;
    void setValue(const std::optional<Currency>& v);
    void clearValue() { setValue(std::nullopt); }

  private:
    Format format_;
    std::optional<Currency> value_; // kept apart from the whole amount shown
};
