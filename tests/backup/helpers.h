#pragma once
#include "store/database.h"

#include <QDir>
#include <QFile>
#include <QStringList>

// One registered invoice: a header and three lines, written in one transaction.
inline void addInvoice(Database& main, qint64 number) {
    Transaction tx(main);
    main.executeRaw(QStringLiteral("insert into 請求書ヘッダ (伝票番号, 顧客名) values (%1, '顧客%1')").arg(number));
    for (int line = 0; line < 3; ++line)
        main.executeRaw(QStringLiteral("insert into 請求書 (伝票番号, 行番号, 品名) values (%1, %2, '品%2')")
                            .arg(number)
                            .arg(line));
    tx.commit();
}

inline qint64 count(Database& db, const QString& table) {
    auto rs = db.openRecordset(QStringLiteral("select count(*) as n from ") + table);
    return rs->field(QStringLiteral("n")).toInt();
}

inline QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}
