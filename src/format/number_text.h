#pragma once
#include <QString>

// How numbers are shown on screen and on paper.

// "#,###": whole number with thousands separators (half away from zero), empty for zero.
QString formatGrouped(double v);

// A quantity: whole ones as "#,###"; one with decimals keeps them ("2.5", "1,234.25"), since a
// rounded quantity on an invoice would not multiply out to its amount.
QString formatQuantity(double v);
