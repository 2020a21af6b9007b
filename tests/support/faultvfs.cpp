#include "faultvfs.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>

namespace lg::test {
namespace {

sqlite3_vfs* realVfs = nullptr;
sqlite3_vfs faultVfs;
std::atomic<long> counted{0};
std::atomic<long> failFrom{0};
std::atomic<bool> hasTripped{false};
std::atomic<bool> stickyFault{false};

// True when this counted call is to fail.
bool fails()
{
    const long n = ++counted;
    const long from = failFrom.load();
    if (from > 0 && (n == from || (stickyFault && n > from))) {
        hasTripped = true;
        return true;
    }
    return false;
}

struct FaultFile {
    sqlite3_file base;
    sqlite3_file* real;  // lives right after this struct
};

sqlite3_file* real(sqlite3_file* f) { return reinterpret_cast<FaultFile*>(f)->real; }

int xClose(sqlite3_file* f)
{
    const int rc = real(f)->pMethods ? real(f)->pMethods->xClose(real(f)) : SQLITE_OK;
    return rc;
}
int xRead(sqlite3_file* f, void* buf, int n, sqlite3_int64 off) { return real(f)->pMethods->xRead(real(f), buf, n, off); }
int xWrite(sqlite3_file* f, const void* buf, int n, sqlite3_int64 off)
{
    if (fails())
        return SQLITE_IOERR_WRITE;
    return real(f)->pMethods->xWrite(real(f), buf, n, off);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    if (fails())
        return SQLITE_IOERR_TRUNCATE;
    return real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file* f, int flags)
{
    if (fails())
        return SQLITE_IOERR_FSYNC;
    return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) { return real(f)->pMethods->xFileSize(real(f), size); }
int xLock(sqlite3_file* f, int level)
{
    if (fails())
        return SQLITE_IOERR_LOCK;
    return real(f)->pMethods->xLock(real(f), level);
}
int xUnlock(sqlite3_file* f, int level) { return real(f)->pMethods->xUnlock(real(f), level); }
int xCheckReservedLock(sqlite3_file* f, int* out) { return real(f)->pMethods->xCheckReservedLock(real(f), out); }
int xFileControl(sqlite3_file* f, int op, void* arg) { return real(f)->pMethods->xFileControl(real(f), op, arg); }
int xSectorSize(sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); }
int xDeviceCharacteristics(sqlite3_file* f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); }
int xShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out)
{
    return real(f)->pMethods->xShmMap(real(f), page, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    // Only taking a lock can fail; letting go always works.
    if ((flags & SQLITE_SHM_LOCK) && fails())
        return SQLITE_IOERR_SHMLOCK;
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void xShmBarrier(sqlite3_file* f) { real(f)->pMethods->xShmBarrier(real(f)); }
int xShmUnmap(sqlite3_file* f, int deleteFlag) { return real(f)->pMethods->xShmUnmap(real(f), deleteFlag); }
int xFetch(sqlite3_file* f, sqlite3_int64 off, int n, void** out) { return real(f)->pMethods->xFetch(real(f), off, n, out); }
int xUnfetch(sqlite3_file* f, sqlite3_int64 off, void* p) { return real(f)->pMethods->xUnfetch(real(f), off, p); }

const sqlite3_io_methods faultMethods = {
    3,          xClose,       xRead,        xWrite,          xTruncate, xSync,    xFileSize,
    xLock,      xUnlock,      xCheckReservedLock, xFileControl, xSectorSize, xDeviceCharacteristics,
    xShmMap,    xShmLock,     xShmBarrier,  xShmUnmap,       xFetch,    xUnfetch,
};

// The real file's methods may be of an older version; the layer offers only
// what the real file has, so SQLite never calls through to a missing one.
sqlite3_io_methods methodsFor(int version)
{
    sqlite3_io_methods m = faultMethods;
    m.iVersion = version;
    if (version < 2) {
        m.xShmMap = nullptr;
        m.xShmLock = nullptr;
        m.xShmBarrier = nullptr;
        m.xShmUnmap = nullptr;
    }
    if (version < 3) {
        m.xFetch = nullptr;
        m.xUnfetch = nullptr;
    }
    return m;
}
const sqlite3_io_methods methodsV1 = methodsFor(1);
const sqlite3_io_methods methodsV2 = methodsFor(2);
const sqlite3_io_methods methodsV3 = methodsFor(3);

int xOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    f->real = reinterpret_cast<sqlite3_file*>(f + 1);
    std::memset(f->real, 0, size_t(realVfs->szOsFile));
    f->base.pMethods = nullptr;
    const int rc = realVfs->xOpen(realVfs, name, f->real, flags, outFlags);
    if (f->real->pMethods) {
        const int v = f->real->pMethods->iVersion;
        f->base.pMethods = v >= 3 ? &methodsV3 : v == 2 ? &methodsV2 : &methodsV1;
    }
    return rc;
}

int xDelete(sqlite3_vfs*, const char* name, int syncDir) { return realVfs->xDelete(realVfs, name, syncDir); }
int xAccess(sqlite3_vfs*, const char* name, int flags, int* out) { return realVfs->xAccess(realVfs, name, flags, out); }
int xFullPathname(sqlite3_vfs*, const char* name, int n, char* out)
{
    return realVfs->xFullPathname(realVfs, name, n, out);
}
void* xDlOpen(sqlite3_vfs*, const char* name) { return realVfs->xDlOpen(realVfs, name); }
void xDlError(sqlite3_vfs*, int n, char* out) { realVfs->xDlError(realVfs, n, out); }
void (*xDlSym(sqlite3_vfs*, void* h, const char* sym))(void) { return realVfs->xDlSym(realVfs, h, sym); }
void xDlClose(sqlite3_vfs*, void* h) { realVfs->xDlClose(realVfs, h); }
int xRandomness(sqlite3_vfs*, int n, char* out) { return realVfs->xRandomness(realVfs, n, out); }
int xSleep(sqlite3_vfs*, int us) { return realVfs->xSleep(realVfs, us); }
int xCurrentTime(sqlite3_vfs*, double* out) { return realVfs->xCurrentTime(realVfs, out); }
int xGetLastError(sqlite3_vfs*, int n, char* out) { return realVfs->xGetLastError(realVfs, n, out); }
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) { return realVfs->xCurrentTimeInt64(realVfs, out); }

}  // namespace

void FaultVfs::install()
{
    if (realVfs)
        return;
    sqlite3_initialize();
    realVfs = sqlite3_vfs_find(nullptr);
    faultVfs = sqlite3_vfs{};
    faultVfs.iVersion = 2;
    faultVfs.szOsFile = int(sizeof(FaultFile)) + realVfs->szOsFile;
    faultVfs.mxPathname = realVfs->mxPathname;
    faultVfs.zName = "listgen-fault";
    faultVfs.xOpen = xOpen;
    faultVfs.xDelete = xDelete;
    faultVfs.xAccess = xAccess;
    faultVfs.xFullPathname = xFullPathname;
    faultVfs.xDlOpen = xDlOpen;
    faultVfs.xDlError = xDlError;
    faultVfs.xDlSym = xDlSym;
    faultVfs.xDlClose = xDlClose;
    faultVfs.xRandomness = xRandomness;
    faultVfs.xSleep = xSleep;
    faultVfs.xCurrentTime = xCurrentTime;
    faultVfs.xGetLastError = xGetLastError;
    faultVfs.xCurrentTimeInt64 = xCurrentTimeInt64;
    sqlite3_vfs_register(&faultVfs, 1);
}

void FaultVfs::arm(long n, bool sticky)
{
    counted = 0;
    hasTripped = false;
    stickyFault = sticky;
    failFrom = n;
}

void FaultVfs::disarm()
{
    failFrom = 0;
}

long FaultVfs::count()
{
    return counted.load();
}

bool FaultVfs::tripped()
{
    return hasTripped.load();
}

}  // namespace lg::test
