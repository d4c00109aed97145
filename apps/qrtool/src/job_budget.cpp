#include "job_budget.h"

#include <algorithm>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace qrtool {
namespace {

uint64_t PhysicalMemoryBytes() {
#ifdef _WIN32
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
#else
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long page_size = sysconf(_SC_PAGESIZE);
    uint64_t bytes = pages > 0 && page_size > 0 ? uint64_t(pages) * uint64_t(page_size) : 0;
    // A container's limit (cgroup v2), "max" when there is none.
    std::ifstream limit("/sys/fs/cgroup/memory.max");
    std::string text;
    if (limit >> text && !text.empty() && text.size() < 20 &&
        text.find_first_not_of("0123456789") == std::string::npos) {
        const uint64_t limited = std::stoull(text);
        if (limited > 0 && (bytes == 0 || limited < bytes)) bytes = limited;
    }
    return bytes;
#endif
}

}  // namespace

uint64_t MemoryBudgetBytes() { return PhysicalMemoryBytes() / 2; }

unsigned JobsWithinMemory(unsigned wanted, uint64_t budget_bytes) {
    if (budget_bytes == 0) return std::max(1u, wanted);  // unknown: as asked
    const uint64_t fit = std::max<uint64_t>(1, budget_bytes / kJobMemoryBytes);
    return static_cast<unsigned>(std::min<uint64_t>(std::max(1u, wanted), fit));
}

}  // namespace qrtool
