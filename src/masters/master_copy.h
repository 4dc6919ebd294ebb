#pragma once
#include "store/database.h"

#include <functional>

// What the customer and product pages share: a master keyed by one name field, edited
// through a work copy with a tick column. Each work row keeps the master row's change count
// (更新回数), the name it was read under once renamed (読込名) and whether it was edited since
// (変更; both set by the work file itself), so a page registered on one PC never overwrites what
// another PC changed.
struct MasterTables {
    QString key;                                         // 顧客名 or 品名
    QString what;                                        // 顧客 or 商品, as messages name a row
    QStringList fields;                                  // written from the work row, key first
    std::function<QString()> clearWork;                  // empties the work copy
    std::function<QString(const QString&)> copyIn;       // master → work, by the main file's path
    std::function<QString(const QString&)> findMaster;   // the master row of a name
    std::function<QString()> tickedRows;                 // ticked work rows: name, count and name as read
    std::function<QString(const QString&)> deleteMaster; // one master row by name
    std::function<QString()> deleteTicked;               // ticked rows of the work copy
    std::function<QString()> masterState;                // what changes whenever another PC writes
    std::function<QString()> pendingRows;                // named work rows edited, typed or imported since read
};

// A register or delete refused because another PC changed or deleted a row since this PC read
// it; nothing was written. The text names the row and what happened.
struct StaleMaster : DbError {
    using DbError::DbError;
};

void readMaster(const MasterTables& t, Database& work, const QString& mainDbPath);
// Writes the work rows edited since the master was read, and rows typed or imported since (by
// name, as before), all or nothing; rows not edited leave the master row as it stands.
void entryMaster(const MasterTables& t, Database& main, Database& work);
bool deleteTickedMaster(const MasterTables& t, Database& main, Database& work);
// A text that differs whenever a row of the master was added, changed or deleted since.
QString masterState(const MasterTables& t, Database& main);
// Whether the work copy holds rows not registered: edited, typed or imported since it was read.
bool hasPendingRows(const MasterTables& t, Database& work);
