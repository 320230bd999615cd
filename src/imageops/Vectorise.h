#pragma once

// Hot pixel loops are compiled twice, for AVX2 and for the x86-64 baseline, and the program
// picks the version once when it starts; the loops themselves are plain C++ that the compiler
// vectorises for either.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define TESSAPLAN_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TESSAPLAN_VECTOR_CLONES
#endif
