// The process's resident memory as Linux reports it, for the benchmarks' peak figures.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tarvo::bench {

// A line "VmRSS:   1234 kB" of /proc/self/status, in bytes; -1 when it is missing.
inline std::int64_t statusBytes(const char* field) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    std::int64_t bytes = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            bytes = std::strtoll(line + length + 1, nullptr, 10) * 1024;
            break;
        }
    }
    std::fclose(status);
    return bytes;
}

// Writing 5 to clear_refs sets the peak resident size (VmHWM) back to the current one, so that
// the peak read afterwards is that of the work measured; answers whether the kernel took it.
inline bool resetPeakResidentSize() {
    std::FILE* refs = std::fopen("/proc/self/clear_refs", "w");
    if (!refs)
        return false;
    const bool written = std::fputs("5", refs) >= 0;
    return std::fclose(refs) == 0 && written;
}

} // namespace tarvo::bench
