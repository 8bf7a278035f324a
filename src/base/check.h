// Faults of the caller that debug and test builds stop on and release builds ignore.
#pragma once

#include <cstdio>
#include <cstdlib>

#ifdef NDEBUG
#define CW_CHECK(cond, what) ((void)0)
#else
#define CW_CHECK(cond, what)                                                            \
  do {                                                                                  \
    if (!(cond)) {                                                                      \
      std::fprintf(stderr, "%s:%d: fault: %s (%s)\n", __FILE__, __LINE__, what, #cond); \
      std::abort();                                                                     \
    }                                                                                   \
  } while (0)
#endif
