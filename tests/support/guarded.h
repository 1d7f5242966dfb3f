// Arrays placed against an unreadable page, with every other byte of their pages set to a
// known pattern, to catch reads past the end and writes outside [0, count).
#ifndef ORVEX_TESTS_GUARDED_H
#define ORVEX_TESTS_GUARDED_H

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace NOrvexTest {

class GuardedRegion {
public:
    static constexpr unsigned char kPattern = 0xA5;

    // Room for `bytes` bytes in front of an unreadable page.
    explicit GuardedRegion(std::size_t bytes) {
        page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        usable_ = (bytes + 64 + page_ - 1) / page_ * page_ + page_;
        void* p = mmap(nullptr, usable_ + page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) {
            throw std::runtime_error("mmap failed");
        }
        base_ = static_cast<unsigned char*>(p);
        if (mprotect(base_ + usable_, page_, PROT_NONE) != 0) {
            throw std::runtime_error("mprotect failed");
        }
        std::memset(base_, kPattern, usable_);
    }
    ~GuardedRegion() { munmap(base_, usable_ + page_); }
    GuardedRegion(const GuardedRegion&) = delete;
    GuardedRegion& operator=(const GuardedRegion&) = delete;

    // An array of `bytes` bytes ending exactly where the unreadable page begins.
    void* AtEnd(std::size_t bytes) { return base_ + usable_ - bytes; }
    // An array starting `offset` bytes after a 64-byte boundary, followed by pattern bytes.
    void* AtStart(std::size_t offset) { return base_ + page_ + offset; }

    // True when every byte outside [p, p + bytes) still holds the pattern.
    bool UntouchedOutside(const void* p, std::size_t bytes) const {
        const unsigned char* lo = static_cast<const unsigned char*>(p);
        for (const unsigned char* q = base_; q < base_ + usable_; ++q) {
            if ((q < lo || q >= lo + bytes) && *q != kPattern) {
                return false;
            }
        }
        return true;
    }

private:
    std::size_t page_ = 0;
    std::size_t usable_ = 0;
    unsigned char* base_ = nullptr;
};

}  // namespace NOrvexTest

#endif  // ORVEX_TESTS_GUARDED_H
