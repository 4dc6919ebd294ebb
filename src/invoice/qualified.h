#pragma once
#include "store/currency.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

class Database;
class Value;

// Tax schemes: the fixed 5 % of the totals routine, and today's two rates with the tax
// worked out once per invoice and rate.
inline const QString Scheme5 = QStringLiteral("5%");
inline const QString Scheme10_8 = QStringLiteral("10%・8%");
inline const QStringList Schemes = {Scheme5, Scheme10_8};

// The tax basis of the invoice on screen. A new invoice takes the scheme in force and follows
// the category and rounding in force; an issued "10%・8%" invoice keeps what it was issued under.
struct TaxBasis {
    QString 税率方式 = Scheme5;
    bool issued = false;
    QString 税区分, 端数処理, 登録番号; // when issued
};

// How the tax of one rate is brought to whole yen under "10%・8%".
inline const QString RoundDown = QStringLiteral("切り捨て"); // toward zero
inline const QString RoundHalf = QStringLiteral("四捨五入"); // half away from zero
inline const QString RoundUp = QStringLiteral("切り上げ");   // away from zero
inline const QStringList RoundingModes = {RoundDown, RoundHalf, RoundUp};

// A line's rate: 10, 8, or 0 for an exempt line. The exempt flag wins; Null reads as 10.
int LineRate(const Value& rate, bool exempt);
// A rate cell as shown: "10%", "8%※", "非課税"; "" for Null.
QString RateText(const Value& rate);
// A rate as typed or picked ("10", "8", "0", "10%", "8%※", "非課税"); nullopt for anything else.
std::optional<int> ParseRate(const QString& text);
inline const QStringList RateChoices = {QStringLiteral("10%"), QStringLiteral("8%※"), QStringLiteral("非課税")};

// num / den (den > 0) to a whole number under a rounding mode; an unknown mode rounds half away.
std::int64_t DivideRounded(std::int64_t num, std::int64_t den, const QString& mode);

// The line amounts by rate: S10, S8 and the exempt lines E; has… tells whether a rate has lines.
struct RateSums {
    Currency s10, s8, exempt;
    bool has10 = false, has8 = false;
    Currency total() const { return s10 + s8 + exempt; }
};
RateSums SumByRate(Database& work);
// Under "10%・8%" a line's exempt flag follows its rate: true exactly for rate 0.
void SyncExemptFlags(Database& work);

// The boxes under "10%・8%"; nullopt is a blank box.
struct QualifiedTotals {
    Currency 税抜計;
    std::optional<Currency> 消費税, 合計;
    std::optional<Currency> 対象10, 消費税10, 対象8, 消費税8;
};
// 外税 adds each rate's tax, 内税 backs it out of the rate's tax-inclusive sum, anything else
// computes none. A total of 0 leaves every box but the subtotal blank.
QualifiedTotals CalcQualified(const RateSums& s, const QString& 税区分, const QString& 端数処理);

// The issuer's registration number: "T" and 13 digits. Full-width characters, a lower-case t,
// blanks and hyphens are accepted and normalised.
enum class RegNoCheck { Empty, Ok, BadCheckDigit, Invalid };
RegNoCheck NormaliseRegNo(const QString& typed, QString* normalised);
