#include "support/kernels.h"

#include <stdexcept>

#include "orvex/orvex.h"

namespace NOrvexTest {

const char* FuncName(Func fn) {
    switch (fn) {
        case Func::Exp: return "Exp";
        case Func::Log: return "Log";
        case Func::Sigmoid: return "Sigmoid";
        case Func::Tanh: return "Tanh";
    }
    return "?";
}

namespace {

using namespace NOrvex;

#define ORVEX_ROW(F, LevelName, Suffix, E, A)                                                     \
    KernelRow {                                                                                   \
        Func::F, Level::LevelName, E, A, &F##Suffix<E, A>, &F##Suffix<E, A>, &F##Plain, &F##Plain,  \
            std::string(#F #Suffix) + (E ? "_exact" : "_fast") + (A ? "_aligned" : ""),           \
            Func::F == Func::Log ? 2 : 4, Level::LevelName == Level::Avx512 ? 64 : 32                 \
    }
#define ORVEX_ROWS4(F, LevelName, Suffix)                                                         \
    ORVEX_ROW(F, LevelName, Suffix, false, false), ORVEX_ROW(F, LevelName, Suffix, false, true),  \
        ORVEX_ROW(F, LevelName, Suffix, true, false), ORVEX_ROW(F, LevelName, Suffix, true, true)

}  // namespace

const std::vector<KernelRow>& VectorKernels() {
    static const std::vector<KernelRow> rows = {
        ORVEX_ROWS4(Exp, Avx, Avx),     ORVEX_ROWS4(Exp, Avx2, Avx2),         ORVEX_ROWS4(Exp, Avx512, Avx512),
        ORVEX_ROWS4(Log, Avx, Avx),     ORVEX_ROWS4(Log, Avx2, Avx2),         ORVEX_ROWS4(Log, Avx512, Avx512),
        ORVEX_ROWS4(Sigmoid, Avx, Avx), ORVEX_ROWS4(Sigmoid, Avx2, Avx2), ORVEX_ROWS4(Sigmoid, Avx512, Avx512),
        ORVEX_ROWS4(Tanh, Avx, Avx),    ORVEX_ROWS4(Tanh, Avx2, Avx2),       ORVEX_ROWS4(Tanh, Avx512, Avx512),
    };
    return rows;
}

const std::vector<KernelRow>& Dispatchers() {
    static const std::vector<KernelRow> rows = {
        ORVEX_ROWS4(Exp, Dispatch, ),
        ORVEX_ROWS4(Log, Dispatch, ),
        ORVEX_ROWS4(Sigmoid, Dispatch, ),
        ORVEX_ROWS4(Tanh, Dispatch, ),
    };
    return rows;
}

const KernelRow& FindKernel(Func fn, Level level, bool exact, bool aligned) {
    for (const KernelRow& row : VectorKernels()) {
        if (row.fn == fn && row.level == level && row.exact == exact && row.aligned == aligned) {
            return row;
        }
    }
    throw std::logic_error("no such kernel");
}

bool Runnable(const KernelRow& row) {
    switch (row.level) {
        case Level::Avx: return NOrvex::HaveAvx();
        case Level::Avx2: return NOrvex::HaveAvx2();
        case Level::Avx512: return NOrvex::HaveAvx512();
        case Level::Dispatch: return true;
    }
    return false;
}

Tier ModelTier(Level level) { return level == Level::Avx ? Tier::Avx : Tier::Avx2; }

}  // namespace NOrvexTest
