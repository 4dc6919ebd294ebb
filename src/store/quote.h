#pragma once
#include <QString>

// A text value for a quoted SQL literal: single quotes doubled, so a name can never end
// the literal early or widen the rows a statement touches.
inline QString sqlText(const QString& value) {
    QString v = value;
    return v.replace(u'\'', QStringLiteral("''"));
}
