#include "masters/master_copy.h"

#include <algorithm>

void readMaster(const MasterTables& t, Database& work, const QString& mainDbPath) {
    Transaction tx(work);
    work.execute(t.clearWork());
    work.execute(t.copyIn(mainDbPath));
    tx.commit();
}

void entryMaster(const MasterTables& t, Database& main, Database& work) {
    auto rows = work.openRecordset(t.workRows());
    Transaction tx(main);
    for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
        const QString name = rows->field(t.key).toText();
        if (name.isEmpty())
            continue; // a nameless row would add a nameless record at every register
        auto m = main.openRecordset(t.findMaster(name));
        if (m->eof()) {
            m->addNew();
        } else {
            m->moveFirst();
            // Most rows of a page come back as they were read: leave those untouched.
            if (std::all_of(t.fields.begin(), t.fields.end(),
                            [&](const QString& f) { return m->field(f) == rows->field(f); }))
                continue;
            m->edit();
        }
        for (const QString& f : t.fields)
            m->setField(f, rows->field(f));
        m->update();
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
