// Started by tst_largepages: starts as the program does, then tells how its large
// blocks of memory are held and what environment its children would see.
#include "platform/largepages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

int main(int, char *argv[])
{
    LargePages::startWithHugePages(argv);
    constexpr std::size_t kSize = 64u << 20;
    auto *block = static_cast<char *>(std::malloc(kSize));
    std::memset(block, 1, kSize);
    long hugeKb = 0;
    std::ifstream smaps("/proc/self/smaps_rollup");
    for (std::string line; std::getline(smaps, line);) {
        if (line.rfind("AnonHugePages:", 0) == 0)
            hugeKb = std::strtol(line.c_str() + 14, nullptr, 10);
    }
    const char *tunables = std::getenv("GLIBC_TUNABLES");
    std::printf("huge_kb=%ld\ntunables=%s\nmarker=%s\n", hugeKb,
                tunables ? tunables : "(unset)",
                std::getenv("TAVREL_TUNABLES_BEFORE") ? "set" : "(unset)");
    const int status = block[kSize - 1] == 1 ? 0 : 1;
    std::free(block);
    return status;
}
