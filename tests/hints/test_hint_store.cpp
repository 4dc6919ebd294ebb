#include "hints/hint_store.h"
#include "support/testdb.h"

#include <QtTest>
#include <sqlite3.h>

namespace {
QStringList hintRows(Database& work) {
    QStringList out;
    auto rs = work.openRecordset(QStringLiteral("select * from ClHint"));
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        QStringList cells;
        for (const QString& f : rs->fieldNames()) {
            const Value v = rs->field(f);
            cells << (v.isNull() ? QStringLiteral("<null>") : v.toText());
        }
        out << cells.join(u'|');
    }
    return out;
}

// Collects the text of every statement the connection starts.
int traceStatement(unsigned, void* ctx, void* p, void*) {
    auto* seen = static_cast<QStringList*>(ctx);
    *seen << QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt*>(p)));
    return 0;
}

int synchronousLevel(Database& db) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db.handle(), "PRAGMA synchronous", -1, &st, nullptr);
    const int level = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    return level;
}
} // namespace

class TestHintStore : public QObject {
    Q_OBJECT
    std::unique_ptr<TestData> data;
    std::unique_ptr<Database> work;

  private slots:
    void init() {
        data = std::make_unique<TestData>();
        work = data->openWork();
    }
    void cleanup() {
        work.reset();
        data.reset();
    }

    void readMissingEmptyKeyAndNullContents() {
        QCOMPARE(ReadHint(*work, "FrmVornisa", "cmdHint"), std::nullopt);
        work->executeRaw(QStringLiteral("INSERT INTO ClHint VALUES ('FrmVornisa', 'cmdHint', 'T', NULL)"));
        QCOMPARE(ReadHint(*work, "FrmVornisa", "cmdHint"), std::nullopt);
        work->executeRaw(QStringLiteral("INSERT INTO ClHint VALUES ('', 'cmdHint', 'T', 'no window')"));
        QCOMPARE(ReadHint(*work, "", "cmdHint"), std::nullopt);
    }

    void savedTwiceLeavesOneRowWithTheSecondText() {
        EntryHint(*work, "FrmVornisa", "cmdHint", "請求書 Vornisa", "最初のメモ");
        EntryHint(*work, "FrmVornisa", "cmdHint", "請求書 Vornisa 2", "二度目のメモ\n二行目");
        QCOMPARE(hintRows(*work), QStringList({"FrmVornisa|cmdHint|請求書 Vornisa 2|二度目のメモ\n二行目"}));
        QCOMPARE(ReadHint(*work, "FrmVornisa", "cmdHint"), std::optional<QString>("二度目のメモ\n二行目"));
    }

    void keysAreKeptApart() {
        EntryHint(*work, "FrmVornisa", "cmdHint", "T", "a");
        EntryHint(*work, "FrmVornisa", "cmdOther", "T", "b");
        EntryHint(*work, "Hint", "cmdHint", "T", "c");
        QCOMPARE(ReadHint(*work, "FrmVornisa", "cmdOther"), std::optional<QString>("b"));
        Deleteヒント(*work, "FrmVornisa", "cmdHint");
        QCOMPARE(hintRows(*work), QStringList({"FrmVornisa|cmdOther|T|b", "Hint|cmdHint|T|c"}));
    }

    void apostropheKeysAreExact() {
        const QString form = QStringLiteral("Frm'X"), ctl = QStringLiteral("' or ''='");
        EntryHint(*work, "FrmVornisa", "cmdHint", "T", "keep");
        EntryHint(*work, form, ctl, "T", "it's here");
        QCOMPARE(ReadHint(*work, form, ctl), std::optional<QString>("it's here"));
        Deleteヒント(*work, form, ctl);
        QCOMPARE(hintRows(*work), QStringList({"FrmVornisa|cmdHint|T|keep"}));
    }

    void emptyKeyWritesNothing() {
        EntryHint(*work, "", "cmdHint", "T", "x");
        EntryHint(*work, "FrmVornisa", "", "T", "x");
        QCOMPARE(hintRows(*work), QStringList());
    }

    void failedSaveKeepsTheOldHint() {
        EntryHint(*work, "FrmVornisa", "cmdHint", "T", "old");
        work->executeRaw(
            QStringLiteral("CREATE TRIGGER full BEFORE INSERT ON ClHint BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        QVERIFY_THROWS_EXCEPTION(DbError, EntryHint(*work, "FrmVornisa", "cmdHint", "T", "new"));
        // The delete before the insert must have been undone with it.
        QCOMPARE(ReadHint(*work, "FrmVornisa", "cmdHint"), std::optional<QString>("old"));
        QCOMPARE(synchronousLevel(*work), 1);
    }

    void saveIsSyncedAndTheWorkFileReturnsToLazySync() {
        QCOMPARE(synchronousLevel(*work), 1); // NORMAL, as the work file is opened
        QStringList seen;
        sqlite3_trace_v2(work->handle(), SQLITE_TRACE_STMT, traceStatement, &seen);
        EntryHint(*work, "FrmVornisa", "cmdHint", "T", "x");
        sqlite3_trace_v2(work->handle(), 0, nullptr, nullptr);
        const auto at = [&](const char* needle) {
            for (int i = 0; i < seen.size(); ++i)
                if (seen[i].contains(QLatin1String(needle), Qt::CaseInsensitive))
                    return i;
            return -1;
        };
        const int full = at("synchronous=FULL"), insert = at("INSERT"), commit = at("COMMIT"),
                  normal = at("synchronous=NORMAL");
        // The commit is what must reach the disk, so it runs under full sync.
        QVERIFY2(full >= 0 && insert > full && commit > insert && normal > commit, qPrintable(seen.join(" ; ")));
        QCOMPARE(synchronousLevel(*work), 1);
    }
};

int runHintStoreTests(int argc, char** argv) {
    TestHintStore t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_hint_store.moc"
