// Processor time used so far, in milliseconds, for tests and benchmarks that
// show a wait or a run costs (almost) none.
#pragma once

#include <windows.h>

namespace kv::test {

inline double fileTimeMs(FILETIME t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 10000.0;
}

inline double processCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return fileTimeMs(kernel) + fileTimeMs(user);
}

inline double threadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    return fileTimeMs(kernel) + fileTimeMs(user);
}

}  // namespace kv::test
