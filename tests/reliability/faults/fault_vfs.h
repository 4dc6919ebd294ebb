#pragma once
#include <QString>

// A VFS over the default unix one, installed as the default, that fails a chosen call.
// Every file the program opens through SQLite goes through it; until armed it only passes
// calls on.
namespace faultvfs {

enum Kind : unsigned { Write = 1, Sync = 2, Truncate = 4, Open = 8, ShmMap = 16 };
constexpr unsigned Mutating = Write | Sync | Truncate;

enum class Fault {
    IoError,  // the one call fails with the matching SQLITE_IOERR_* code
    DiskFull, // the call and every later one of the armed kinds fail with SQLITE_FULL
};

// Registers the VFS as the default; call before any database is opened. Idempotent.
void install();

// Counts calls of the given kinds from now on; the nth (1-based) fails. nth 0 only counts.
void arm(unsigned kinds, int nth, Fault fault = Fault::IoError);
void disarm();
// Calls of the armed kinds seen since arm().
int calls();
// Whether the armed fault was returned, and at what ("xWrite Vornisa.mdb-wal").
bool fired();
QString firedAt();

} // namespace faultvfs
