#include "platform/largepages.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

constexpr const char *kTunables = "GLIBC_TUNABLES";
constexpr const char *kHugePages = "glibc.malloc.hugetlb=1";
// Set for the second start: what GLIBC_TUNABLES held before ("-" for nothing).
constexpr const char *kBefore = "TAVREL_TUNABLES_BEFORE";

bool hugePagesOnRequest()
{
    std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string line;
    return std::getline(mode, line) && line.find("[madvise]") != std::string::npos;
}

} // namespace

void LargePages::startWithHugePages(char *argv[])
{
    if (const char *before = std::getenv(kBefore)) {
        // The second start: the C library has read the choice; children get the
        // environment the program was given.
        if (std::strcmp(before, "-") == 0)
            unsetenv(kTunables);
        else
            setenv(kTunables, before, 1);
        unsetenv(kBefore);
        return;
    }
    const char *tunables = std::getenv(kTunables);
    if ((tunables && std::strstr(tunables, "glibc.malloc.hugetlb")) || !hugePagesOnRequest())
        return;
    const std::string before = tunables && *tunables ? tunables : "";
    const std::string value = before.empty() ? kHugePages : before + ":" + kHugePages;
    setenv(kBefore, before.empty() ? "-" : before.c_str(), 1);
    setenv(kTunables, value.c_str(), 1);
    execv("/proc/self/exe", argv);
    // Not started again: go on as started.
    unsetenv(kBefore);
    if (before.empty())
        unsetenv(kTunables);
    else
        setenv(kTunables, before.c_str(), 1);
}
