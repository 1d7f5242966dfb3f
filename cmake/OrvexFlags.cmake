# Flags shared by every target of the project.
#
# Results are specified bit for bit: no contraction of a multiply and an add into an FMA unless
# the code asks for one with an intrinsic, and never fast-math. No -march=native: each tier's
# instruction set is given to that tier's units only (see src/CMakeLists.txt).
add_compile_options(-ffp-contract=off -fno-fast-math -Wall -Wextra)

if(ORVEX_SANITIZE)
  add_compile_options(-fsanitize=${ORVEX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ORVEX_SANITIZE})
endif()

# The frame clears the upper register halves itself on its one exit; the compiler adds no second one.
set(ORVEX_AVX_FLAGS -mavx -mno-vzeroupper)
set(ORVEX_AVX2_FLAGS -mavx2 -mfma -mno-vzeroupper)
# The x86-64-v4 set of AVX-512 extensions, on top of AVX2 and FMA3. GCC 12 warns about the
# deliberately undefined pass-through operand inside its own 512-bit intrinsics (_mm512_min_ps,
# _mm512_cvtps_epi32, ...); the warning says nothing about our code there.
set(ORVEX_AVX512_FLAGS -mavx2 -mfma -mavx512f -mavx512cd -mavx512bw -mavx512dq -mavx512vl -mno-vzeroupper)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND ORVEX_AVX512_FLAGS -Wno-maybe-uninitialized)
endif()
