#pragma once
#include "issued/issued.h"
#include "journal/posting.h"

// The invoice the expected files were worked out for by hand: No.101 of 2024/04/15 to 株式会社サンプル商事,
// 外税, 切り捨て. 10 %: コピー用紙 10 × 500 = 5,000, tax 500. 8 %: 緑茶 4 × 648 = 2,592, tax 207.36 → 207.
// Total 7,592 + 707 = 8,299, due 2024/05/31. It is paid on 2024/05/31: 8,079 into the bank, 220 fee kept.
IssuedInvoice SampleInvoice();
Payment SamplePayment();
