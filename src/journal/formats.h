#pragma once
#include "journal/posting.h"

#include <QByteArray>
#include <QStringList>

// A journal file ready to write, or the problems that keep it from being written.
struct JournalFile {
    QByteArray bytes;
    QStringList problems;
};

// The slips in the import layout of the chosen program, exactly as its help pages describe it:
// 弥生会計 its 弥生インポート形式 (Shift_JIS, no heading), freee its 取引 import, マネーフォワード its
// 仕訳帳 import (both UTF-8 with a byte-order mark under the heading of the program's own sample).
JournalFile RenderJournal(JournalFormat f, const QList<Slip>& slips);

// Posts and renders in one step: what the journal export runs.
JournalFile MakeJournal(JournalFormat f, const QList<IssuedInvoice>& invoices, const QList<Payment>& payments,
                        const JournalNames& names);

// Writes the file whole or not at all; false with the reason when it could not.
bool WriteJournalFile(const QString& path, const QByteArray& bytes, QString* reason);
