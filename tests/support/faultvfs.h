#pragma once

// A file layer for SQLite that fails on request: installed as the default,
// it passes every call to the real one and counts the calls that write,
// sync or take a lock; once armed, the n-th such call fails as the disk
// would (an I/O error). A sticky fault also fails every later call until
// it is disarmed, as a disk that went away stays away.
//
//     FaultVfs::install();
//     FaultVfs::arm(n);   // fail from the n-th counted call on
//     ... run the operation ...
//     FaultVfs::disarm();
//
// For tests only.

namespace lg::test {

class FaultVfs {
public:
    // Registers the layer as SQLite's default (once per process).
    static void install();
    // Counting starts from zero; the n-th counted call fails (n >= 1), and
    // with `sticky` every one after it too. n = 0 counts without failing.
    static void arm(long n, bool sticky = false);
    static void disarm();
    // Calls counted since the last arm().
    static long count();
    // Whether a call has failed since the last arm().
    static bool tripped();
};

}  // namespace lg::test
