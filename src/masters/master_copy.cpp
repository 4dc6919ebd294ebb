#include "masters/master_copy.h"

#include <QHash>

void readMaster(const MasterTables& t, Database& work, const QString& mainDbPath) {
    Transaction tx(work);
    work.execute(t.clearWork());
    work.execute(t.copyIn(mainDbPath));
    tx.commit();
    work.compactIfMostlyFree();
}

void entryMaster(const MasterTables& t, Database& main, Database& work) {
    const auto valuesOf = [&t](const Recordset& rs) {
        std::vector<Value> v;
        for (const QString& f : t.fields)
            v.push_back(rs.field(f));
        return v;
    };
    auto rows = work.openRecordset(t.workRows());
    Transaction tx(main);
    // What the master holds, by name, read in one pass: most rows of a page come back as
    // they were read and need neither a look-up nor a write. Of a name held twice the
    // first row counts, as the look-up finds it first.
    QHash<QString, std::vector<Value>> held;
    auto all = main.openRecordset(t.masterRows());
    for (all->moveFirst(); !all->eof(); all->moveNext()) {
        const QString name = all->field(t.key).toText();
        if (!held.contains(name))
            held.insert(name, valuesOf(*all));
    }
    all->close();
    for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
        const QString name = rows->field(t.key).toText();
        if (name.isEmpty())
            continue; // a nameless row would add a nameless record at every register
        const std::vector<Value> typed = valuesOf(*rows);
        const auto it = held.constFind(name);
        if (it != held.constEnd() && *it == typed)
            continue;
        auto m = main.openRecordset(t.findMaster(name));
        if (m->eof()) {
            m->addNew();
        } else {
            m->moveFirst();
            m->edit();
        }
        for (const QString& f : t.fields)
            m->setField(f, rows->field(f));
        m->update();
        held.insert(name, typed);
    }
    tx.commit();
}

bool deleteTickedMaster(const MasterTables& t, Database& main, Database& work) {
    auto ticked = work.openRecordset(t.tickedRows());
    if (ticked->eof())
        return false;
    // The work rows go in a transaction that ends after the master's, so any failure up to the
    // master's commit leaves both files as they were.
    Transaction workTx(work, TxStart::Deferred);
    work.execute(t.deleteTicked());
    {
        Transaction tx(main);
        for (ticked->moveFirst(); !ticked->eof(); ticked->moveNext())
            main.execute(t.deleteMaster(ticked->field(t.key).toText()));
        tx.commit();
    }
    try {
        workTx.commit();
    } catch (const DbError& e) {
        // Two files do not commit as one: the master rows are gone while the page still lists them.
        throw DbError(e.code,
                      QStringLiteral("マスタからは削除しましたが、画面の一覧を更新できませんでした。") + e.text);
    }
    return true;
}
