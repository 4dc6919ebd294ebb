#include "hints/hint_store.h"

#include "store/statements.h"

std::optional<QString> ReadHint(Database& work, const QString& formName, const QString& ctlName) {
    if (formName.isEmpty() || ctlName.isEmpty())
        return std::nullopt;
    auto rs = work.openRecordset(sql::H2(formName, ctlName));
    if (rs->eof())
        return std::nullopt;
    const Value v = rs->field(QStringLiteral("Contents"));
    return v.isNull() ? std::nullopt : std::optional<QString>(v.toText());
}

namespace {
// The work file syncs lazily; a hint save waits for the disk.
struct FullSync {
    Database& db;
    explicit FullSync(Database& d) : db(d) { db.executeRaw(QStringLiteral("PRAGMA synchronous=FULL")); }
    ~FullSync() {
        try {
            db.executeRaw(QStringLiteral("PRAGMA synchronous=NORMAL"));
        } catch (...) {
        }
    }
};
} // namespace

void EntryHint(Database& work, const QString& formName, const QString& ctlName, const QString& formTitle,
               const QString& contents) {
    if (formName.isEmpty() || ctlName.isEmpty())
        return;
    FullSync sync(work);
    Transaction tx(work);
    work.execute(sql::H1(formName, ctlName));
    auto rs = work.openRecordset(sql::H2(formName, ctlName));
    rs->addNew();
    rs->setField(QStringLiteral("FormName"), formName);
    rs->setField(QStringLiteral("CtlName"), ctlName);
    rs->setField(QStringLiteral("FormTitle"), formTitle);
    rs->setField(QStringLiteral("Contents"), contents);
    rs->update();
    tx.commit();
}

void Deleteヒント(Database& work, const QString& formName, const QString& ctlName) {
    if (formName.isEmpty() || ctlName.isEmpty())
        return;
    FullSync sync(work);
    work.execute(sql::H1(formName, ctlName));
}
