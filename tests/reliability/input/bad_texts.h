#pragma once
#include <QList>
#include <QString>
#include <QtTest>

// Texts a user can type or paste that have broken programs before: SQL quoting and
// wildcards, sizes, control characters, NUL, full-width digits and characters beyond the BMP.
struct BadText {
    const char* what;
    QString text;
};

inline QList<BadText> badTexts() {
    QString controls;
    for (char16_t c = 0x01; c <= 0x1f; ++c)
        controls += QChar(c);
    const QString nul(QChar(0));
    return {
        {"apostrophes", QStringLiteral("O'Brien's 'shop'")},
        {"lone apostrophe", QStringLiteral("'")},
        {"double quotes", QStringLiteral("\"大\" \"\"")},
        {"semicolon statement", QStringLiteral("x'; delete * from 顧客マスタ; --")},
        {"comment", QStringLiteral("x' -- ")},
        {"always true", QStringLiteral("x' or '1'='1")},
        {"wildcards", QStringLiteral("100%_off %")},
        {"brackets", QStringLiteral("[顧客名] [")},
        {"10000 characters", QString(9999, u'長') + u'端'},
        {"tab and line breaks", QStringLiteral("a\tb\r\nc\nd")},
        {"control characters", u'a' + controls + u'z'},
        {"NUL inside", QStringLiteral("ab") + nul + QStringLiteral("cd")},
        {"NUL at both ends", nul + QStringLiteral("x") + nul},
        {"only NUL", nul},
        {"NUL every other character", QStringLiteral("a").append(nul).repeated(2000)},
        {"full-width digits", QStringLiteral("１２３４５")},
        {"beyond the BMP", QStringLiteral("𠮷野家 😀🍣")},
        {"ideographic space", QStringLiteral("山田\u3000商店")},
    };
}

// One data row per bad text, the text in column "text".
inline void badTextRows() {
    QTest::addColumn<QString>("text");
    for (const BadText& b : badTexts())
        QTest::newRow(b.what) << b.text;
}
