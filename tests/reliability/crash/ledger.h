#pragma once
#include <QMap>
#include <QString>
#include <QtGlobal>
#include <optional>

// What a writer process did to the books, as it told the parent: each operation is announced
// before it starts and confirmed once the routine has returned. Lines go straight to the
// kernel, so a killed writer's ledger holds everything it announced or confirmed.
class LedgerWriter {
  public:
    explicit LedgerWriter(const QString& path);
    ~LedgerWriter();
    LedgerWriter(const LedgerWriter&) = delete;
    LedgerWriter& operator=(const LedgerWriter&) = delete;
    void registering(qint32 number, const QString& tag);
    void deleting(qint32 number);
    void done();

  private:
    void put(const QByteArray& line);
    int fd_;
};

// One operation: a register stores `tag` under `number`; a delete has no tag.
struct LedgerOp {
    qint32 number = 0;
    std::optional<QString> tag;
};

// The state of the books the ledger vouches for: the tag stored under each number, and
// the operation that was under way when the writer stopped, whose outcome it cannot know.
struct LedgerState {
    QMap<qint32, QString> stored;
    std::optional<LedgerOp> pending;
    int confirmed = 0;        // operations confirmed
    int registered = 0;       // of those, registers
    qint32 maxRegistered = 0; // highest number a register that took effect stored
    qint32 maxAttempted = 0;  // highest number any register was announced with
    void apply(const LedgerOp& op);
};

// Reads a ledger on top of `state`; a last line cut short was never announced.
void readLedger(const QString& path, LedgerState& state);
