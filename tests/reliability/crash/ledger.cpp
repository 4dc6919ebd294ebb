#include "ledger.h"

#include <QFile>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

LedgerWriter::LedgerWriter(const QString& path)
    : fd_(::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_APPEND, 0644)) {
    if (fd_ < 0)
        throw std::runtime_error("cannot open the ledger");
}

LedgerWriter::~LedgerWriter() {
    ::close(fd_);
}

// One write per line, so a kill never leaves half of a line that was reported as written.
void LedgerWriter::put(const QByteArray& line) {
    if (::write(fd_, line.constData(), line.size()) != line.size())
        throw std::runtime_error("cannot write the ledger");
}

void LedgerWriter::registering(qint32 number, const QString& tag) {
    put("R " + QByteArray::number(number) + ' ' + tag.toUtf8() + '\n');
}

void LedgerWriter::deleting(qint32 number) {
    put("X " + QByteArray::number(number) + '\n');
}

void LedgerWriter::done() {
    put("C\n");
}

void LedgerState::apply(const LedgerOp& op) {
    if (op.tag) {
        stored[op.number] = *op.tag;
        maxRegistered = qMax(maxRegistered, op.number);
    } else {
        stored.remove(op.number);
    }
}

void readLedger(const QString& path, LedgerState& state) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return; // killed before it wrote anything
    const QList<QByteArray> lines = f.readAll().split('\n');
    // The last piece follows the last newline: empty, or a line the writer never finished.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QList<QByteArray> w = lines[i].split(' ');
        if (w[0] == "C" && state.pending) {
            state.apply(*state.pending);
            ++state.confirmed;
            if (state.pending->tag)
                ++state.registered;
            state.pending.reset();
        } else if ((w[0] == "R" && w.size() == 3) || (w[0] == "X" && w.size() == 2)) {
            if (state.pending)
                throw std::runtime_error("ledger announces an operation before the last was confirmed");
            LedgerOp op{w[1].toInt(), std::nullopt};
            if (w[0] == "R") {
                op.tag = QString::fromUtf8(w[2]);
                state.maxAttempted = qMax(state.maxAttempted, op.number);
            }
            state.pending = op;
        } else {
            throw std::runtime_error("unreadable ledger line: " + lines[i].toStdString());
        }
    }
}
