#pragma once
#include "store/database.h"

#include <functional>

// What the customer and product pages share: a master keyed by one name field, edited
// through a work copy with a tick column.
struct MasterTables {
    QString key;                                         // 顧客名 or 品名
    QStringList fields;                                  // written from the work row, key first
    std::function<QString()> clearWork;                  // empties the work copy
    std::function<QString(const QString&)> copyIn;       // master → work, by the main file's path
    std::function<QString()> workRows;                   // every work row
    std::function<QString()> masterRows;                 // every master row
    std::function<QString(const QString&)> findMaster;   // the master row of a name
    std::function<QString()> tickedRows;                 // names of ticked work rows
    std::function<QString(const QString&)> deleteMaster; // one master row by name
    std::function<QString()> deleteTicked;               // ticked rows of the work copy
};

void readMaster(const MasterTables& t, Database& work, const QString& mainDbPath);
void entryMaster(const MasterTables& t, Database& main, Database& work);
bool deleteTickedMaster(const MasterTables& t, Database& main, Database& work);
