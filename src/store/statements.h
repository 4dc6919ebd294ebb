#pragma once
#include <QString>

// Every statement the program sends, under its identifier. Names go through sqlText();
// invoice numbers are joined as plain digits by the callers' parsing.
namespace sql {
QString C1(const QString& customer);
QString C2();
QString C3();
QString C4(const QString& mainDbPath);
QString C5();
QString C6(const QString& customer);
QString C7();
QString C8();
QString C9(const QString& customer);
QString P1(const QString& product);
QString P2();
QString P3(const QString& mainDbPath);
QString P4();
QString P5(const QString& product);
QString P6();
QString P7();
QString P8(const QString& product);
QString P9();
QString P10(const QString& mainDbPath);
QString S1();
QString I1(const QString& number);
QString I2(const QString& number);
QString I3();
QString I4(const QString& number);
QString I5(const QString& number);
QString I6();
QString I7(const QString& number);
QString I8();
QString I9(const QString& number);
QString I10();
QString I11();
QString I12();
QString I13();
QString K1(const QString& listKey);
QString H1(const QString& formName, const QString& ctlName);
QString H2(const QString& formName, const QString& ctlName);
// Every row of a master, read once when a page is registered against it.
QString M1();
QString M2();
// A master page's work copy in the order the page shows it (CSV export).
QString E1();
QString E2();
// Wiping the business data: the five tables, in this order.
QString W1();
QString W2();
QString W3();
QString W4();
QString W5();
} // namespace sql
