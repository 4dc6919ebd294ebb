#include "masters/master_copy.h"

#include <QSet>

namespace {
const QString Count = QStringLiteral("更新回数");
const QString ReadName = QStringLiteral("読込名");
const QString Edited = QStringLiteral("変更");

StaleMaster stale(const MasterTables& t, const QString& name, const QString& happened) {
    return StaleMaster(0, t.what + QStringLiteral("「") + name + QStringLiteral("」は他のPCで") + happened + u'。');
}

// Whether a work row still stands for the master row it was read from (neither new, imported
// nor renamed since: a rename keeps the name read under, and renaming back is no rename).
bool readFromMaster(const Recordset& row, const QString& name) {
    return !row.field(Count).isNull() && (row.field(ReadName).isNull() || row.field(ReadName).toText() == name);
}
} // namespace

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
    // Rows read and not edited since are left alone: only the others are looked at.
    auto rows = work.openRecordset(t.pendingRows());
    if (rows->eof())
        return;
    // The work rows learn the counts written only once the master's commit is through: a
    // failure before leaves both files as they were.
    Transaction workTx(work, TxStart::Deferred);
    Transaction tx(main);
    QSet<QString> written;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
        const QString name = rows->field(t.key).toText();
        if (name.isEmpty())
            continue; // a nameless row would add a nameless record at every register
        const bool wasRead = readFromMaster(*rows, name) && !written.contains(name);
        // Of a name held twice in the master the first row counts.
        auto m = main.openRecordset(t.findMaster(name));
        const bool adding = m->eof();
        Value count = adding ? Value() : m->field(Count);
        if (!adding && valuesOf(*m) == valuesOf(*rows)) {
            // nothing to write; the row takes the master's state
        } else {
            if (wasRead && adding)
                throw stale(t, name, QStringLiteral("削除されました"));
            if (wasRead && count != rows->field(Count))
                throw stale(t, name, QStringLiteral("変更されました"));
            if (adding) {
                m->addNew();
            } else {
                m->moveFirst();
                m->edit();
            }
            for (const QString& f : t.fields)
                m->setField(f, rows->field(f));
            count = nextChangeCount(*m, adding);
            m->setField(Count, count);
            m->update();
            written.insert(name);
        }
        rows->edit();
        rows->setField(Count, count);
        rows->setField(ReadName, Value());
        rows->setField(Edited, false);
        rows->update();
    }
    tx.commit();
    try {
        workTx.commit();
    } catch (const DbError& e) {
        // Two files do not commit as one: the master holds the page, the page does not know it.
        throw DbError(e.code, QStringLiteral("マスタには登録しましたが、画面の行を更新できませんでした。"
                                             "読み込み直してください。") +
                                  e.text);
    }
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
        for (ticked->moveFirst(); !ticked->eof(); ticked->moveNext()) {
            const QString name = ticked->field(t.key).toText();
            // A row read from the master goes only as it was read: one changed since is kept.
            if (readFromMaster(*ticked, name)) {
                auto m = main.openRecordset(t.findMaster(name));
                if (!m->eof() && m->field(Count) != ticked->field(Count))
                    throw stale(t, name, QStringLiteral("変更されました"));
            }
            main.execute(t.deleteMaster(name));
        }
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

QString masterState(const MasterTables& t, Database& main) {
    auto rs = main.openRecordset(t.masterState());
    QStringList parts;
    for (const QString& f : rs->fieldNames())
        parts << rs->field(f).toText();
    return parts.join(u'/');
}

bool hasPendingRows(const MasterTables& t, Database& work) {
    return !work.openRecordset(t.pendingRows())->eof();
}
