#pragma once

// What every fuzz target shares: the libFuzzer entry points, the text view
// of an input, and the way a target says it found a fault.
//
// A target is built twice: against libFuzzer (`./run fuzz`, clang), and
// against replay.cpp, a small driver that runs the stored corpus once, so
// the normal test suite keeps every input that once broke something.

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace lg::fuzz {

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// The input as text, invalid UTF-8 replaced as Qt does for a file's bytes.
inline QString text(const uint8_t* data, size_t size) { return QString::fromUtf8(bytes(data, size)); }

// A broken invariant: says what and where, then aborts so that libFuzzer
// keeps the input (and the replay driver fails).
[[noreturn]] inline void fault(const char* what, const QString& detail = {})
{
    std::fprintf(stderr, "fuzz fault: %s\n%s\n", what, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

inline void check(bool ok, const char* what, const QString& detail = {})
{
    if (!ok)
        fault(what, detail);
}

}  // namespace lg::fuzz
