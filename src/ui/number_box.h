#pragma once
#include "store/currency.h"

#include <QLineEdit>
#include <optional>

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
