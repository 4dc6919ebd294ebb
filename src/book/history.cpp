#include "book/history.h"

#include "store/database.h"
#include "store/statements.h"

namespace {

QStringList columnNames(Database& db, const QString& table) {
    QStringList names;
    for (const auto& [name, type] : db.columns(table))
        names << name;
    return names;
}

InvoiceVersion versionOf(const Recordset& rs, bool history) {
    InvoiceVersion v;
    if (history) {
        v.版 = static_cast<int>(rs.field(QStringLiteral("版")).toInt());
        v.変更種別 = rs.field(QStringLiteral("変更種別")).toText();
        v.変更日時 = rs.field(QStringLiteral("変更日時")).toText();
    }
    v.日付 = rs.field(QStringLiteral("日付")).toText();
    v.顧客名 = rs.field(QStringLiteral("顧客名")).toText();
    v.顧客情報 = rs.field(QStringLiteral("顧客情報")).toText();
    v.税抜計 = rs.field(QStringLiteral("税抜計"));
    v.消費税 = rs.field(QStringLiteral("消費税"));
    v.合計 = rs.field(QStringLiteral("合計"));
    v.税率方式 = rs.field(QStringLiteral("税率方式")).toText();
    v.税区分 = rs.field(QStringLiteral("税区分")).toText();
    v.登録番号 = rs.field(QStringLiteral("登録番号")).toText();
    for (const auto& [field, to] : {std::pair{QStringLiteral("対象10"), &v.対象10}, std::pair{QStringLiteral("消費税10"), &v.消費税10},
                                    std::pair{QStringLiteral("対象8"), &v.対象8}, std::pair{QStringLiteral("消費税8"), &v.消費税8}})
        *to = rs.field(field);
    for (const auto& [field, to] : {std::pair{QStringLiteral("件名"), &v.件名}, std::pair{QStringLiteral("支払期限"), &v.支払期限},
                                    std::pair{QStringLiteral("備考"), &v.備考}, std::pair{QStringLiteral("振込先"), &v.振込先},
                                    std::pair{QStringLiteral("敬称"), &v.敬称}, std::pair{QStringLiteral("種別"), &v.種別},
                                    std::pair{QStringLiteral("元種別"), &v.元種別},
                                    std::pair{QStringLiteral("有効期限"), &v.有効期限},
                                    std::pair{QStringLiteral("但し書き"), &v.但し書き}})
        *to = rs.field(field).toText();
    v.元番号 = rs.field(QStringLiteral("元番号"));
    return v;
}

} // namespace

int CurrentGeneration(Database& main) {
    return static_cast<int>(main.openRecordset(sql::B8())->field(QStringLiteral("世代")).toInt());
}

int Archive請求書(Database& main, qint32 number, const QString& kind, const QDateTime& when, const QString& doc) {
    const QString n = QString::number(number);
    Transaction t(main);
    if (main.openRecordset(sql::I9(n, doc))->eof()) {
        t.commit();
        return 0;
    }
    const int generation = CurrentGeneration(main);
    const int version =
        static_cast<int>(main.openRecordset(sql::B1(n, doc, generation))->field(QStringLiteral("版")).toInt()) + 1;
    // By column name, so whatever the live tables hold now is what the history keeps.
    main.execute(sql::B2(columnNames(main, QStringLiteral("請求書ヘッダ")), n, doc));
    main.execute(sql::B3(n, doc, version, kind, when.toString(ChangeTimeFormat), generation));
    main.execute(sql::B4(columnNames(main, QStringLiteral("請求書")), n, doc));
    main.execute(sql::B5(n, doc, version, generation));
    t.commit();
    return version;
}

void Archive全請求書(Database& main, const QDateTime& when) {
    Transaction t(main);
    auto numbers = main.openRecordset(sql::B10());
    std::optional<std::pair<qint64, QString>> last;
    for (numbers->moveFirst(); !numbers->eof(); numbers->moveNext()) {
        const std::pair<qint64, QString> n{numbers->field(QStringLiteral("伝票番号")).toInt(),
                                           numbers->field(QStringLiteral("種別")).toText()};
        if (n != last) // a number held twice goes in once, with every row it holds
            Archive請求書(main, static_cast<qint32>(n.first), Change初期化, when, n.second);
        last = n;
    }
    const int ended = CurrentGeneration(main);
    auto wipes = main.openRecordset(sql::B9());
    wipes->addNew();
    wipes->setField(QStringLiteral("世代"), ended);
    wipes->setField(QStringLiteral("初期化日時"), when.toString(ChangeTimeFormat));
    wipes->update();
    t.commit();
}

std::vector<InvoiceVersion> Read履歴(Database& main, qint32 number, int generation, const QString& doc) {
    const QString n = QString::number(number);
    std::vector<InvoiceVersion> out;
    auto rs = main.openRecordset(sql::B6(n, doc, generation));
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        out.push_back(versionOf(*rs, true));
    if (generation != CurrentGeneration(main))
        return out;
    auto now = main.openRecordset(sql::I9(n, doc));
    if (!now->eof())
        out.push_back(versionOf(*now, false));
    return out;
}

std::vector<VersionLine> Read履歴明細(Database& main, qint32 number, int generation, int version,
                                      const QString& doc) {
    const QString n = QString::number(number);
    auto rs = main.openRecordset(version == 0 ? sql::I7(n, doc) : sql::B7(n, doc, version, generation));
    std::vector<VersionLine> out;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        out.push_back(LineAt(*rs));
    return out;
}

VersionLine LineAt(const Recordset& rs) {
    return {rs.field(QStringLiteral("品名")), rs.field(QStringLiteral("数量")), rs.field(QStringLiteral("単位")),
            rs.field(QStringLiteral("単価")), rs.field(QStringLiteral("金額")), rs.field(QStringLiteral("非課税")),
            rs.field(QStringLiteral("税率"))};
}
