#pragma once
// A failed expectation stops the run with a message, so the fuzzer keeps the
// input that caused it.
#include <cstdio>
#include <cstdlib>

#define SELVARIN_FUZZ_REQUIRE(cond)                                                         \
  do {                                                                                      \
    if (!(cond)) {                                                                          \
      std::fprintf(stderr, "%s:%d: expectation failed: %s\n", __FILE__, __LINE__, #cond);   \
      std::abort();                                                                         \
    }                                                                                       \
  } while (0)
