#include "support/test_util.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace NOrvexTest {

std::string Hex(std::uint64_t bits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(bits));
    return buf;
}

namespace {

bool CpuinfoHasFlag(const std::string& flags, const std::string& flag) {
    std::istringstream words(flags);
    std::string word;
    while (words >> word) {
        if (word == flag) {
            return true;
        }
    }
    return false;
}

}  // namespace

CpuExpectation ExpectedCpu() {
    const char* expect = std::getenv("ORVEX_EXPECT_CPU");
    const bool emulated = std::getenv("ORVEX_EMULATED") != nullptr;
    if (expect != nullptr && std::string(expect) == "sandybridge") {
        return {true, false, emulated};
    }
    if (expect != nullptr && std::string(expect) == "nehalem") {
        return {false, false, emulated};
    }
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("flags", 0) == 0) {
            const bool avx = CpuinfoHasFlag(line, "avx") && CpuinfoHasFlag(line, "xsave");
            const bool avx2 = avx && CpuinfoHasFlag(line, "avx2") && CpuinfoHasFlag(line, "fma");
            return {avx, avx2, emulated};
        }
    }
    return {false, false, emulated};
}

std::size_t SampleSize(std::size_t hostSize) {
    return ExpectedCpu().emulated ? hostSize / 32 + 1 : hostSize;
}

}  // namespace NOrvexTest
