#pragma once
// A property of a fuzz target: when it fails, the target names it and
// aborts, and libFuzzer keeps the input that broke it. Unlike assert, it
// stays on in the optimised fuzz build.

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void fuzzPropertyFailed(const char* property, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, property);
  std::abort();
}

#define FUZZ_CHECK(property) ((property) ? void() : fuzzPropertyFailed(#property, __FILE__, __LINE__))
