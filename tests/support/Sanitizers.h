// Which sanitizer instruments this build, in one spelling for GCC (__SANITIZE_*__) and clang
// (__has_feature): TESSOLON_ASAN, TESSOLON_TSAN.
#pragma once

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSOLON_ASAN 1
#endif
#if __has_feature(thread_sanitizer)
#define TESSOLON_TSAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(TESSOLON_ASAN)
#define TESSOLON_ASAN 1
#endif
#if defined(__SANITIZE_THREAD__) && !defined(TESSOLON_TSAN)
#define TESSOLON_TSAN 1
#endif
