#include "support/golden.h"

namespace NOrvexTest {

namespace {

// One expected slot: known or not.
struct Slot {
    bool known;
    std::uint64_t bits;
};
constexpr Slot kOpen{false, 0};
constexpr Slot V(std::uint64_t bits) { return {true, bits}; }

GoldenCase Row(Func func, bool isDouble, std::uint64_t input, Slot fastAvx, Slot fastAvx2, Slot exactAvx,
               Slot exactAvx2, const char* note) {
    GoldenCase c{};
    c.func = func;
    c.isDouble = isDouble;
    c.input = input;
    const Slot slots[2][2] = {{fastAvx, fastAvx2}, {exactAvx, exactAvx2}};
    for (int e = 0; e < 2; ++e) {
        for (int t = 0; t < 2; ++t) {
            c.known[e][t] = slots[e][t].known;
            c.expected[e][t] = slots[e][t].bits;
        }
    }
    c.note = note;
    return c;
}

// The same result in all four variants.
GoldenCase All(Func f, bool d, std::uint64_t in, std::uint64_t out, const char* note) {
    return Row(f, d, in, V(out), V(out), V(out), V(out), note);
}
// One result for fast, one for exact, both tiers alike.
GoldenCase Forms(Func f, bool d, std::uint64_t in, std::uint64_t fast, std::uint64_t exact, const char* note) {
    return Row(f, d, in, V(fast), V(fast), V(exact), V(exact), note);
}
GoldenCase FastOnly(Func f, bool d, std::uint64_t in, std::uint64_t fast, const char* note) {
    return Row(f, d, in, V(fast), V(fast), kOpen, kOpen, note);
}
GoldenCase ExactOnly(Func f, bool d, std::uint64_t in, std::uint64_t exact, const char* note) {
    return Row(f, d, in, kOpen, kOpen, V(exact), V(exact), note);
}
// Every slot given separately.
GoldenCase Each(Func f, bool d, std::uint64_t in, std::uint64_t fastAvx, std::uint64_t fastAvx2,
                std::uint64_t exactAvx, std::uint64_t exactAvx2, const char* note) {
    return Row(f, d, in, V(fastAvx), V(fastAvx2), V(exactAvx), V(exactAvx2), note);
}

constexpr bool F = false;  // float row
constexpr bool D = true;   // double row

constexpr Func kExp = Func::Exp;
constexpr Func kLog = Func::Log;
constexpr Func kSig = Func::Sigmoid;
constexpr Func kTanh = Func::Tanh;

std::vector<GoldenCase> Build() {
    return {
        // ---- exp, float
        All(kExp, F, 0x00000000, 0x3F800000, "e^0"),
        All(kExp, F, 0x80000000, 0x3F800000, "e^-0"),
        All(kExp, F, 0x00000001, 0x3F800000, "e^(smallest subnormal)"),
        All(kExp, F, 0x807FFFFF, 0x3F800000, "e^(negative largest subnormal)"),
        Forms(kExp, F, 0x3F800000, 0x402DF85E, 0x402DF854, "e^1"),
        Forms(kExp, F, 0xBF800000, 0x3EBC5A94, 0x3EBC5AB2, "e^-1"),
        Forms(kExp, F, 0xC2B00000, 0x0003DB7F, 0x0041EDCC, "e^-88: fast lowest-binade artefact"),
        Forms(kExp, F, 0xC2C80000, 0x00000000, 0x0000001B, "e^-100"),
        FastOnly(kExp, F, 0xC2B20000, 0x00000000, "e^-89: fast, below its lower clamp"),
        All(kExp, F, 0x42B17218, 0x7F800000, "e^88.72283935546875 overflows"),
        All(kExp, F, 0x42C80000, 0x7F800000, "e^100 overflows"),
        All(kExp, F, 0x7F7FFFFF, 0x7F800000, "e^(largest float)"),
        All(kExp, F, 0x7F800000, 0x7F800000, "e^+inf"),
        All(kExp, F, 0xFF800000, 0x00000000, "e^-inf"),
        All(kExp, F, 0xC2D00000, 0x00000000, "e^-104: below both lower clamps"),
        All(kExp, F, 0xFF7FFFFF, 0x00000000, "e^(most negative float)"),
        Forms(kExp, F, 0x7FC00000, 0x7F800000, 0x7FC00000, "e^NaN"),
        Forms(kExp, F, 0x7F800001, 0x7F800000, 0x7FC00001, "e^sNaN: quieted by the scaling"),
        Forms(kExp, F, 0xFFC01234, 0x7F800000, 0xFFC01234, "e^(negative NaN with payload)"),

        // ---- exp, double
        All(kExp, D, 0x0000000000000000, 0x3FF0000000000000, "e^0"),
        All(kExp, D, 0x8000000000000000, 0x3FF0000000000000, "e^-0"),
        Each(kExp, D, 0x3FF0000000000000, 0x4005BF0BD3E62FAA, 0x4005BF0BD3E62FAA, 0x4005BF0A8B146550,
             0x4005BF0A8B146551, "e^1: exact differs between the tiers"),
        Forms(kExp, D, 0xBFF0000000000000, 0x3FD78B5272EAF614, 0x3FD78B56362CD8E7, "e^-1"),
        // Listed as decimals; both are shortest round-trip texts, so they name these doubles.
        Forms(kExp, D, 0xC086280000000000, 0x00017FC8949B9911, 0x0008BFE55DE029B8,
              "e^-709: 2.08483074287691e-309 fast, 1.216780750624245e-308 exact"),
        FastOnly(kExp, D, 0xC086800000000000, 0x0000000000000000, "e^-720, fast"),
        Forms(kExp, D, 0xC087480000000000, 0x0000000000000000, 0x0000000000000001,
              "e^-745: exact gives the smallest subnormal"),
        All(kExp, D, 0x40862E42FEFA39EE, 0x7FEFFFFFFFFFFA74, "e^709.7827128933839 = 1.7976931348620325e+308"),
        All(kExp, D, 0x40862E42FEFA39EF, 0x7FF0000000000000, "e^709.782712893384 overflows"),
        All(kExp, D, 0x7FF0000000000000, 0x7FF0000000000000, "e^+inf"),
        All(kExp, D, 0xFFF0000000000000, 0x0000000000000000, "e^-inf"),
        All(kExp, D, 0xC08F400000000000, 0x0000000000000000, "e^-1000: below both lower clamps"),
        Forms(kExp, D, 0x7FF8000000000000, 0x7FF0000000000000, 0x7FF8000000000000, "e^NaN"),
        Forms(kExp, D, 0x7FF0000000000001, 0x7FF0000000000000, 0x7FF8000000000001, "e^sNaN: quieted"),

        // ---- log, float
        All(kLog, F, 0x3F800000, 0x00000000, "ln 1"),
        All(kLog, F, 0x40000000, 0x3F317218, "ln 2"),
        All(kLog, F, 0x3F000000, 0xBF317218, "ln 0.5"),
        All(kLog, F, 0x7F7FFFFF, 0x42B17218, "ln(largest float)"),
        All(kLog, F, 0x00800000, 0xC2AEAC50, "ln(smallest normal)"),
        Each(kLog, F, 0x402DF854, 0x3F800014, 0x3F800014, 0x3F800000, 0x3F7FFFFF,
             "ln e: exact differs between the tiers"),
        Each(kLog, F, 0x3F3504F3, 0xBEB17219, 0xBEB17218, 0xBEB17219, 0xBEB17218,
             "threshold sqrt(1/2): not big, tiers differ"),
        Forms(kLog, F, 0x00000001, 0xC2B00F34, 0xC2CE8ED0, "ln(smallest subnormal)"),
        FastOnly(kLog, F, 0x007FFFFF, 0xC2AEAC50, "ln(largest subnormal), fast: as the smallest normal"),
        All(kLog, F, 0x7F800001, 0x7F800001, "ln sNaN: not quieted"),
        All(kLog, F, 0xFFC00001, 0xFFC00001, "ln(negative NaN with payload)"),
        All(kLog, F, 0x7FC00000, 0x7FC00000, "ln NaN"),
        All(kLog, F, 0xBF800000, 0xFFC00000, "ln -1"),
        All(kLog, F, 0xFF800000, 0xFFC00000, "ln -inf"),
        All(kLog, F, 0x80000001, 0xFFC00000, "ln(negative subnormal)"),
        All(kLog, F, 0xFF7FFFFF, 0xFFC00000, "ln(most negative float)"),
        All(kLog, F, 0x00000000, 0xFF800000, "ln +0"),
        All(kLog, F, 0x80000000, 0xFF800000, "ln -0"),
        All(kLog, F, 0x7F800000, 0x7F800000, "ln +inf"),

        // ---- log, double
        All(kLog, D, 0x3FF0000000000000, 0x0000000000000000, "ln 1"),
        All(kLog, D, 0x4000000000000000, 0x3FE62E42FEFA39EF, "ln 2"),
        All(kLog, D, 0x3FE0000000000000, 0xBFE62E42FEFA39EF, "ln 0.5"),
        All(kLog, D, 0x3FE6A09E667F3BCD, 0xBFD62E42FEFA39EE, "threshold sqrt(1/2): not big"),
        All(kLog, D, 0x3FE6A09E667F3BCE, 0xBFD62E42FEFA39EA, "just above the threshold"),
        All(kLog, D, 0x7FEFFFFFFFFFFFFF, 0x40862E42FEFA39EF, "ln(largest double)"),
        All(kLog, D, 0x0010000000000000, 0xC086232BDD7ABCD2, "ln(smallest normal)"),
        Forms(kLog, D, 0x4005BF0A8B145769, 0x3FF00002937DCA48, 0x3FEFFFFFFF54141A, "ln e"),
        Forms(kLog, D, 0x4008000000000000, 0x3FF193E7CF66E68D, 0x3FF193EA7ADE0035, "ln 3"),
        Forms(kLog, D, 0x4024000000000000, 0x40026BB0AF7765B6, 0x40026BB1BBD2A891, "ln 10"),
        Row(kLog, D, 0x3FFCB7AD61695F82, V(0x3FE2B7A6F404BB94), V(0x3FE2B7A6F404BB95), kOpen, kOpen,
            "fast differs between the tiers"),
        Row(kLog, D, 0x3FE3792B3F87AD3C, kOpen, kOpen, V(0xBFDFC9C81C084666), V(0xBFDFC9C81C084665),
            "exact differs between the tiers"),
        Forms(kLog, D, 0x0000000000000001, 0xC08628B76E3A7B61, 0xC0874385446D71C3, "ln(smallest subnormal)"),
        FastOnly(kLog, D, 0x000FFFFFFFFFFFFF, 0xC086232BDD7ABCD2,
                 "ln(largest subnormal), fast: as the smallest normal"),
        All(kLog, D, 0x7FF0000000000001, 0x7FF0000000000001, "ln sNaN: not quieted"),
        All(kLog, D, 0xFFF8000000000001, 0xFFF8000000000001, "ln(negative NaN with payload)"),
        All(kLog, D, 0xBFF0000000000000, 0xFFF8000000000000, "ln -1"),
        All(kLog, D, 0xFFF0000000000000, 0xFFF8000000000000, "ln -inf"),
        All(kLog, D, 0x8000000000000001, 0xFFF8000000000000, "ln(negative subnormal)"),
        All(kLog, D, 0x0000000000000000, 0xFFF0000000000000, "ln +0"),
        All(kLog, D, 0x8000000000000000, 0xFFF0000000000000, "ln -0"),
        All(kLog, D, 0x7FF0000000000000, 0x7FF0000000000000, "ln +inf"),

        // ---- sigmoid, float
        All(kSig, F, 0xC2B17218, 0x00000000, "saturation: -88.72283935546875 gives +0"),
        All(kSig, F, 0xC2B17217, 0x00200016, "next float above: subnormal"),
        All(kSig, F, 0xC2AEAC50, 0x00800000, "-87.3365478515625: smallest normal"),
        All(kSig, F, 0x41851591, 0x3F7FFFFE, "16.635530471801758: just below 1"),
        All(kSig, F, 0x41851592, 0x3F800000, "16.63553237915039: exactly 1"),
        All(kSig, F, 0x42C80000, 0x3F800000, "100: exactly 1"),
        All(kSig, F, 0x33851592, 0x3F000001, "0.5 window, positive edge"),
        All(kSig, F, 0x33851591, 0x3F000000, "inside the 0.5 window, positive side"),
        FastOnly(kSig, F, 0xB4400829, 0x3EFFFFFE, "0.5 window, negative edge, fast"),
        FastOnly(kSig, F, 0xB4400828, 0x3F000000, "inside the 0.5 window, negative side, fast"),
        FastOnly(kSig, F, 0xB4400002, 0x3F000000, "exact's negative edge is inside fast's window"),
        ExactOnly(kSig, F, 0xB4400002, 0x3EFFFFFE, "0.5 window, negative edge, exact"),
        ExactOnly(kSig, F, 0xB4400001, 0x3F000000, "inside the 0.5 window, negative side, exact"),
        All(kSig, F, 0x00000000, 0x3F000000, "sigmoid +0"),
        All(kSig, F, 0x80000000, 0x3F000000, "sigmoid -0"),
        All(kSig, F, 0x00000001, 0x3F000000, "sigmoid(smallest subnormal)"),
        All(kSig, F, 0x807FFFFF, 0x3F000000, "sigmoid(negative subnormal)"),
        Forms(kSig, F, 0x3F800000, 0x3F3B26B0, 0x3F3B26A8, "sigmoid 1"),
        Forms(kSig, F, 0xBF800000, 0x3E89B2AB, 0x3E89B2B1, "sigmoid -1"),
        Forms(kSig, F, 0x3F000000, 0x3F1F5972, 0x3F1F597F, "sigmoid 0.5"),
        Each(kSig, F, 0xC0400000, 0x3D42417B, 0x3D42417C, 0x3D4241A4, 0x3D4241A3, "sigmoid -3: tiers differ"),
        Forms(kSig, F, 0xC1A00000, 0x310DA41D, 0x310DA432, "sigmoid -20"),
        All(kSig, F, 0x7F800000, 0x3F800000, "sigmoid +inf"),
        All(kSig, F, 0xFF800000, 0x00000000, "sigmoid -inf"),
        All(kSig, F, 0xC2C80000, 0x00000000, "sigmoid -100"),
        Forms(kSig, F, 0x7F800001, 0x00000000, 0x7FC00001, "sigmoid sNaN"),
        Forms(kSig, F, 0xFFC00123, 0x00000000, 0xFFC00123, "sigmoid(negative NaN with payload)"),

        // ---- sigmoid, double
        All(kSig, D, 0xC0862E42FEFA39EF, 0x0000000000000000, "saturation: -709.782712893384 gives +0"),
        All(kSig, D, 0xC0862E42FEFA39EE, 0x00040000000000B2, "next double above: subnormal"),
        All(kSig, D, 0xC086232BDD7ABCD2, 0x0010000000000000, "-708.3964185322641: smallest normal"),
        All(kSig, D, 0xC086232BDD7ABCD3, 0x000FFFFFFFFFFE9D, "the double below: subnormal"),
        All(kSig, D, 0x40425E4F7B2737F9, 0x3FEFFFFFFFFFFFFE, "36.736800569677094: just below 1"),
        All(kSig, D, 0x40425E4F7B2737FA, 0x3FF0000000000000, "36.7368005696771: exactly 1"),
        All(kSig, D, 0x4059000000000000, 0x3FF0000000000000, "100: exactly 1"),
        All(kSig, D, 0x3CA0A2B23F3BAB73, 0x3FE0000000000000, "0.5 window: largest positive input"),
        All(kSig, D, 0x3CA0A2B23F3BAB74, 0x3FE0000000000001, "next double above the window"),
        FastOnly(kSig, D, 0xBCB8010521F635F4, 0x3FE0000000000000, "0.5 window: negative end, fast"),
        FastOnly(kSig, D, 0xBCB8010521F635F5, 0x3FDFFFFFFFFFFFFE, "below the window, fast"),
        FastOnly(kSig, D, 0xBCB80000000E73BF, 0x3FE0000000000000, "below exact's window is inside fast's"),
        ExactOnly(kSig, D, 0xBCB80000000E73BE, 0x3FE0000000000000, "0.5 window: negative end, exact"),
        ExactOnly(kSig, D, 0xBCB80000000E73BF, 0x3FDFFFFFFFFFFFFE, "below the window, exact"),
        All(kSig, D, 0x0000000000000000, 0x3FE0000000000000, "sigmoid +0"),
        All(kSig, D, 0x8000000000000000, 0x3FE0000000000000, "sigmoid -0"),
        All(kSig, D, 0x800FFFFFFFFFFFFF, 0x3FE0000000000000, "sigmoid(negative subnormal)"),
        Forms(kSig, D, 0x3FF0000000000000, 0x3FE764D5F73D56FC, 0x3FE764D4F5D5A8B3, "sigmoid 1"),
        Forms(kSig, D, 0xBFF0000000000000, 0x3FD1365556106FF5, 0x3FD136561454B27B, "sigmoid -1"),
        Forms(kSig, D, 0xC034000000000000, 0x3E21B483BC2692F1, 0x3E21B4865556C310, "sigmoid -20"),
        Each(kSig, D, 0xC011A3D70A3D70A4, 0x3F88984379239F71, 0x3F88984379239F70, 0x3F8898481E18BF0B,
             0x3F8898481E18BF0B, "sigmoid -4.41: fast tiers differ"),
        Each(kSig, D, 0xC0050A3D70A3D70A, 0x3FB13625307F6081, 0x3FB13625307F6081, 0x3FB1362558813047,
             0x3FB1362558813046, "sigmoid -2.63: exact tiers differ"),
        All(kSig, D, 0x7FF0000000000000, 0x3FF0000000000000, "sigmoid +inf"),
        All(kSig, D, 0xFFF0000000000000, 0x0000000000000000, "sigmoid -inf"),
        Forms(kSig, D, 0x7FF0000000000001, 0x0000000000000000, 0x7FF8000000000001, "sigmoid sNaN"),
        Forms(kSig, D, 0xFFF8000000000123, 0x0000000000000000, 0xFFF8000000000123,
              "sigmoid(negative NaN with payload)"),

        // ---- tanh, float
        All(kTanh, F, 0xC1102CB4, 0xBF800000, "saturation: -9.010913848876953 gives -1"),
        All(kTanh, F, 0xC1102CB3, 0xBF7FFFFF, "next float above"),
        All(kTanh, F, 0x41051591, 0x3F7FFFFC, "8.317765235900879: just below 1"),
        All(kTanh, F, 0x41051592, 0x3F800000, "8.317766189575195: exactly 1"),
        All(kTanh, F, 0x42C80000, 0x3F800000, "tanh 100"),
        All(kTanh, F, 0xC2C80000, 0xBF800000, "tanh -100"),
        All(kTanh, F, 0x33051592, 0x34000000, "zero window, positive edge: 2^-23"),
        All(kTanh, F, 0x33051591, 0x00000000, "inside the zero window, positive side"),
        FastOnly(kTanh, F, 0xB3C00829, 0xB4000000, "zero window, negative edge, fast: -2^-23"),
        FastOnly(kTanh, F, 0xB3C00828, 0x00000000, "inside the zero window, negative side, fast"),
        FastOnly(kTanh, F, 0xB3C00002, 0x00000000, "exact's negative edge is inside fast's window"),
        ExactOnly(kTanh, F, 0xB3C00002, 0xB4000000, "zero window, negative edge, exact: -2^-23"),
        ExactOnly(kTanh, F, 0xB3C00001, 0x00000000, "inside the zero window, negative side, exact"),
        All(kTanh, F, 0x00000000, 0x00000000, "tanh +0"),
        All(kTanh, F, 0x80000000, 0x00000000, "tanh -0 gives +0"),
        All(kTanh, F, 0x00000001, 0x00000000, "tanh(smallest subnormal)"),
        All(kTanh, F, 0x807FFFFF, 0x00000000, "tanh(negative subnormal) gives +0"),
        Forms(kTanh, F, 0x3F800000, 0x3F42F7DE, 0x3F42F7D4, "tanh 1"),
        Forms(kTanh, F, 0xBF800000, 0xBF42F7E0, 0xBF42F7D6, "tanh -1"),
        Forms(kTanh, F, 0x3E800000, 0x3E7ACB90, 0x3E7ACBF8, "tanh 0.25"),
        Each(kTanh, F, 0xBF828F5C, 0xBF451603, 0xBF451604, 0xBF4515F9, 0xBF4515F9,
             "tanh -1.0199999809265137: fast tiers differ"),
        Each(kTanh, F, 0xBEFAE148, 0xBEE88F26, 0xBEE88F26, 0xBEE88F10, 0xBEE88F0E,
             "tanh -0.49000000953674316: exact tiers differ"),
        All(kTanh, F, 0x7F800000, 0x3F800000, "tanh +inf"),
        All(kTanh, F, 0xFF800000, 0xBF800000, "tanh -inf"),
        Forms(kTanh, F, 0x7FC00000, 0xBF800000, 0x7FC00000, "tanh NaN"),
        Forms(kTanh, F, 0x7F800001, 0xBF800000, 0x7FC00001, "tanh sNaN: quieted"),

        // ---- tanh, double
        All(kTanh, D, 0xC0330FC1931F09CA, 0xBFF0000000000000, "saturation: -19.061547465398498 gives -1"),
        All(kTanh, D, 0xC0330FC1931F09C9, 0xBFEFFFFFFFFFFFFF, "next double above"),
        All(kTanh, D, 0x40325E4F7B2737F9, 0x3FEFFFFFFFFFFFFC, "18.368400284838547: just below 1"),
        All(kTanh, D, 0x40325E4F7B2737FA, 0x3FF0000000000000, "18.36840028483855: exactly 1"),
        All(kTanh, D, 0xC076300000000000, 0xBFF0000000000000, "tanh -355"),
        All(kTanh, D, 0x3C90A2B23F3BAB73, 0x0000000000000000, "zero window: largest positive input"),
        All(kTanh, D, 0x3C90A2B23F3BAB74, 0x3CB0000000000000, "next double: 2^-52"),
        FastOnly(kTanh, D, 0xBCA8010521F635F4, 0x0000000000000000, "zero window: negative end, fast"),
        FastOnly(kTanh, D, 0xBCA8010521F635F5, 0xBCB0000000000000, "below the window, fast: -2^-52"),
        FastOnly(kTanh, D, 0xBCA80000000E73BF, 0x0000000000000000, "below exact's window is inside fast's"),
        ExactOnly(kTanh, D, 0xBCA80000000E73BE, 0x0000000000000000, "zero window: negative end, exact"),
        ExactOnly(kTanh, D, 0xBCA80000000E73BF, 0xBCB0000000000000, "below the window, exact: -2^-52"),
        All(kTanh, D, 0x0000000000000000, 0x0000000000000000, "tanh +0"),
        All(kTanh, D, 0x8000000000000000, 0x0000000000000000, "tanh -0 gives +0"),
        All(kTanh, D, 0x8000000000000001, 0x0000000000000000, "tanh(negative subnormal) gives +0"),
        Forms(kTanh, D, 0x3FF0000000000000, 0x3FE85EFBC51844E2, 0x3FE85EFAB514ED48, "tanh 1"),
        Forms(kTanh, D, 0xBFF0000000000000, 0xBFE85EFC0A6B6DA4, 0xBFE85EFAB514ED0A, "tanh -1"),
        Forms(kTanh, D, 0x3FD0000000000000, 0x3FCF597251131F60, 0x3FCF597EA69A3FD8, "tanh 0.25"),
        Each(kTanh, D, 0x3FB999999999999A, 0x3FB983EBE0132CA0, 0x3FB983EBE0132CB0, 0x3FB983D7795ED8D0,
             0x3FB983D7795ED8D0, "tanh 0.1: fast tiers differ"),
        Each(kTanh, D, 0xBFD0A3D70A3D70A4, 0xBFD0465E0C3F5FE4, 0xBFD0465E0C3F5FE4, 0xBFD04660C509AA12,
             0xBFD04660C509AA10, "tanh -0.26: exact tiers differ"),
        All(kTanh, D, 0x7FF0000000000000, 0x3FF0000000000000, "tanh +inf"),
        All(kTanh, D, 0xFFF0000000000000, 0xBFF0000000000000, "tanh -inf"),
        Forms(kTanh, D, 0x7FF8000000000000, 0xBFF0000000000000, 0x7FF8000000000000, "tanh NaN"),
        Forms(kTanh, D, 0x7FF0000000000001, 0xBFF0000000000000, 0x7FF8000000000001, "tanh sNaN: quieted"),
    };
}

}  // namespace

const std::vector<GoldenCase>& GoldenCases() {
    static const std::vector<GoldenCase> cases = Build();
    return cases;
}

}  // namespace NOrvexTest
