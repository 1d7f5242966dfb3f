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
    CpuExpectation cpu{false, false, false, emulated};
    if (expect != nullptr) {
        const std::string name = expect;
        cpu.avx = name == "haswell" || name == "sandybridge";
        cpu.avx2 = name == "haswell";
        return cpu;
    }
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("flags", 0) == 0) {
            cpu.avx = CpuinfoHasFlag(line, "avx") && CpuinfoHasFlag(line, "xsave");
            cpu.avx2 = cpu.avx && CpuinfoHasFlag(line, "avx2") && CpuinfoHasFlag(line, "fma");
            cpu.avx512 = cpu.avx2;
            for (const char* flag : {"avx512f", "avx512cd", "avx512bw", "avx512dq", "avx512vl"}) {
                cpu.avx512 = cpu.avx512 && CpuinfoHasFlag(line, flag);
            }
            break;
        }
    }
    return cpu;
}

std::size_t SampleSize(std::size_t hostSize) {
    return ExpectedCpu().emulated ? hostSize / 32 + 1 : hostSize;
}

}  // namespace NOrvexTest
