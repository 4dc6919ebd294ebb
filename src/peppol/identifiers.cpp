#include "peppol/identifiers.h"

#include "invoice/qualified.h"

#include <QHash>

namespace pint {

std::optional<ParticipantId> ParseParticipantId(const QString& typed) {
    QString t;
    for (const QChar c : typed.normalized(QString::NormalizationForm_KC))
        if (!c.isSpace() && c != u'-')
            t += c;
    QString scheme, value = t;
    if (const qsizetype colon = t.indexOf(u':'); colon >= 0) {
        scheme = t.left(colon);
        value = t.mid(colon + 1);
    } else {
        scheme = value.startsWith(u'T') || value.startsWith(u't') ? QStringLiteral("0221") : QStringLiteral("0188");
    }
    QString regNo;
    if (scheme == QStringLiteral("0188")) {
        // A corporation's registration number is "T" and its corporate number: one check serves both.
        if (value.size() != 13 || NormaliseRegNo(u'T' + value, &regNo) != RegNoCheck::Ok)
            return std::nullopt;
        return ParticipantId{scheme, value};
    }
    if (scheme == QStringLiteral("0221") && NormaliseRegNo(value, &regNo) == RegNoCheck::Ok)
        return ParticipantId{scheme, regNo};
    return std::nullopt;
}

QString UnitCode(const QString& unit) {
    static const QHash<QString, QString> codes = [] {
        QHash<QString, QString> h;
        const auto put = [&h](const QString& code, std::initializer_list<const char*> units) {
            for (const char* u : units)
                h.insert(QString::fromUtf8(u), code);
        };
        put(QStringLiteral("H87"), {"個", "コ", "ヶ", "本", "台", "冊", "部", "点", "枚", "脚", "着", "足", "缶", "瓶",
                                    "pc", "pcs", "piece", "pieces"});
        put(QStringLiteral("LS"), {"式", "一式"});
        put(QStringLiteral("SET"), {"組", "セット", "set"});
        put(QStringLiteral("XBX"), {"箱", "box"});
        put(QStringLiteral("XCS"), {"ケース", "case"});
        put(QStringLiteral("XBG"), {"袋"});
        put(QStringLiteral("DZN"), {"ダース"});
        put(QStringLiteral("IE"), {"人", "名"});
        put(QStringLiteral("HUR"), {"時間", "h", "hr"});
        put(QStringLiteral("MIN"), {"分"});
        put(QStringLiteral("DAY"), {"日", "日間"});
        put(QStringLiteral("WEE"), {"週", "週間"});
        put(QStringLiteral("MON"), {"月", "ヶ月", "ケ月", "か月", "カ月"});
        put(QStringLiteral("ANN"), {"年"});
        put(QStringLiteral("GRM"), {"g"});
        put(QStringLiteral("KGM"), {"kg"});
        put(QStringLiteral("TNE"), {"t", "トン"});
        put(QStringLiteral("MMT"), {"mm"});
        put(QStringLiteral("CMT"), {"cm"});
        put(QStringLiteral("MTR"), {"m", "メートル"});
        put(QStringLiteral("KMT"), {"km"});
        put(QStringLiteral("MTK"), {"m2", "平米"});
        put(QStringLiteral("MTQ"), {"m3", "立米"});
        put(QStringLiteral("MLT"), {"ml"});
        put(QStringLiteral("LTR"), {"l", "リットル"});
        put(QStringLiteral("KWH"), {"kwh"});
        return h;
    }();
    // NFKC turns ㎡, ㎏, ℓ and full-width letters into the plain spellings the table holds.
    const QString key = unit.normalized(QString::NormalizationForm_KC).trimmed().toLower();
    return codes.value(key, QStringLiteral("C62"));
}

} // namespace pint
