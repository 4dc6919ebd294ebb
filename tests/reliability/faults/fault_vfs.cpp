#include "fault_vfs.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace faultvfs {
namespace {

struct State {
    unsigned kinds = 0;
    int nth = 0;
    Fault fault = Fault::IoError;
    int calls = 0;
    bool fired = false;
    QString firedAt;
};
State state;

sqlite3_vfs* real = nullptr;
sqlite3_vfs vfs;

struct File {
    sqlite3_file base;
    sqlite3_file* real; // lives right behind this struct
    QString* name;
};

sqlite3_file* inner(sqlite3_file* f) {
    return reinterpret_cast<File*>(f)->real;
}

const char* kindName(Kind k) {
    switch (k) {
    case Write:
        return "xWrite";
    case Sync:
        return "xSync";
    case Truncate:
        return "xTruncate";
    case Open:
        return "xOpen";
    case ShmMap:
        return "xShmMap";
    }
    return "?";
}

int ioCode(Kind k) {
    switch (k) {
    case Write:
        return SQLITE_IOERR_WRITE;
    case Sync:
        return SQLITE_IOERR_FSYNC;
    case Truncate:
        return SQLITE_IOERR_TRUNCATE;
    case Open:
        return SQLITE_CANTOPEN;
    case ShmMap:
        return SQLITE_IOERR_SHMMAP;
    }
    return SQLITE_IOERR;
}

// SQLITE_OK when the call may go on, else the code to return instead.
int check(Kind k, const QString& name) {
    if (!(state.kinds & k))
        return SQLITE_OK;
    ++state.calls;
    const bool hit = state.nth > 0 && (state.calls == state.nth || (state.fault == Fault::DiskFull && state.fired));
    if (!hit)
        return SQLITE_OK;
    if (!state.fired)
        state.firedAt = QStringLiteral("%1 %2").arg(QString::fromLatin1(kindName(k)), QFileInfo(name).fileName());
    state.fired = true;
    return state.fault == Fault::DiskFull ? SQLITE_FULL : ioCode(k);
}

int xClose(sqlite3_file* f) {
    File* p = reinterpret_cast<File*>(f);
    const int rc = p->real->pMethods ? p->real->pMethods->xClose(p->real) : SQLITE_OK;
    delete p->name;
    p->name = nullptr;
    return rc;
}
int xRead(sqlite3_file* f, void* buf, int n, sqlite3_int64 at) {
    return inner(f)->pMethods->xRead(inner(f), buf, n, at);
}
int xWrite(sqlite3_file* f, const void* buf, int n, sqlite3_int64 at) {
    if (const int rc = check(Write, *reinterpret_cast<File*>(f)->name))
        return rc;
    return inner(f)->pMethods->xWrite(inner(f), buf, n, at);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    if (const int rc = check(Truncate, *reinterpret_cast<File*>(f)->name))
        return rc;
    return inner(f)->pMethods->xTruncate(inner(f), size);
}
int xSync(sqlite3_file* f, int flags) {
    if (const int rc = check(Sync, *reinterpret_cast<File*>(f)->name))
        return rc;
    return inner(f)->pMethods->xSync(inner(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) {
    return inner(f)->pMethods->xFileSize(inner(f), size);
}
int xLock(sqlite3_file* f, int level) {
    return inner(f)->pMethods->xLock(inner(f), level);
}
int xUnlock(sqlite3_file* f, int level) {
    return inner(f)->pMethods->xUnlock(inner(f), level);
}
int xCheckReservedLock(sqlite3_file* f, int* out) {
    return inner(f)->pMethods->xCheckReservedLock(inner(f), out);
}
int xFileControl(sqlite3_file* f, int op, void* arg) {
    return inner(f)->pMethods->xFileControl(inner(f), op, arg);
}
int xSectorSize(sqlite3_file* f) {
    return inner(f)->pMethods->xSectorSize(inner(f));
}
int xDeviceCharacteristics(sqlite3_file* f) {
    return inner(f)->pMethods->xDeviceCharacteristics(inner(f));
}
int xShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
    if (const int rc = check(ShmMap, *reinterpret_cast<File*>(f)->name))
        return rc;
    return inner(f)->pMethods->xShmMap(inner(f), region, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return inner(f)->pMethods->xShmLock(inner(f), offset, n, flags);
}
void xShmBarrier(sqlite3_file* f) {
    inner(f)->pMethods->xShmBarrier(inner(f));
}
int xShmUnmap(sqlite3_file* f, int deleteFlag) {
    return inner(f)->pMethods->xShmUnmap(inner(f), deleteFlag);
}
int xFetch(sqlite3_file* f, sqlite3_int64 at, int n, void** out) {
    return inner(f)->pMethods->xFetch(inner(f), at, n, out);
}
int xUnfetch(sqlite3_file* f, sqlite3_int64 at, void* p) {
    return inner(f)->pMethods->xUnfetch(inner(f), at, p);
}

const sqlite3_io_methods methods = {3,
                                    xClose,
                                    xRead,
                                    xWrite,
                                    xTruncate,
                                    xSync,
                                    xFileSize,
                                    xLock,
                                    xUnlock,
                                    xCheckReservedLock,
                                    xFileControl,
                                    xSectorSize,
                                    xDeviceCharacteristics,
                                    xShmMap,
                                    xShmLock,
                                    xShmBarrier,
                                    xShmUnmap,
                                    xFetch,
                                    xUnfetch};

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    File* p = reinterpret_cast<File*>(f);
    p->base.pMethods = nullptr;
    p->real = reinterpret_cast<sqlite3_file*>(p + 1);
    p->real->pMethods = nullptr;
    const QString shown = name ? QString::fromUtf8(name) : QStringLiteral("(temp)");
    if (const int rc = check(Open, shown))
        return rc;
    const int rc = real->xOpen(real, name, p->real, flags, outFlags);
    if (rc != SQLITE_OK || !p->real->pMethods)
        return rc;
    // The unix VFS hands out version 3 methods; all of them are passed on.
    p->name = new QString(shown);
    p->base.pMethods = &methods;
    return SQLITE_OK;
}

} // namespace

void install() {
    if (real)
        return;
    real = sqlite3_vfs_find(nullptr);
    vfs = *real;
    vfs.zName = "faults";
    vfs.szOsFile = static_cast<int>(sizeof(File)) + real->szOsFile;
    vfs.xOpen = xOpen;
    sqlite3_vfs_register(&vfs, 1);
}

void arm(unsigned kinds, int nth, Fault fault) {
    state = State{kinds, nth, fault, 0, false, {}};
}

void disarm() {
    state = State{};
}

int calls() {
    return state.calls;
}

bool fired() {
    return state.fired;
}

QString firedAt() {
    return state.firedAt;
}

} // namespace faultvfs
