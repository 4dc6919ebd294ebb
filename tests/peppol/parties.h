#pragma once
#include "peppol/build.h"

// The issuer and customer of the sample invoice, with everything a digital invoice needs.
inline pint::Company SampleCompany() {
    return {QStringLiteral("ヴォルニサ工房株式会社"), QStringLiteral("0188:8700110005901"), QStringLiteral("100-0001"),
            QStringLiteral("東京都千代田区千代田1-1")};
}
inline pint::Customer SampleCustomer() {
    return {QStringLiteral("0221:T4010001008830"), QStringLiteral("530-0001"),
            QStringLiteral("大阪府大阪市北区梅田1-1")};
}
