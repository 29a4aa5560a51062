#pragma once
// Hand-overs that the thread sanitizer can't see on its own: Qt hands posted
// events between threads and ends its threads under its own locks, inside Qt,
// which is not built with the sanitizer. release() on the giving side and
// acquire() on the taking side, on the same address, mark such an edge.
// Outside a thread-sanitizer build both are empty.

#if defined(__SANITIZE_THREAD__)
#define KEL_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KEL_TSAN 1
#endif
#endif
#ifdef KEL_TSAN
#include <sanitizer/tsan_interface.h>
#endif

namespace TsanHandOver
{

inline void release([[maybe_unused]] const void *address)
{
#ifdef KEL_TSAN
    __tsan_release(const_cast<void *>(address));
#endif
}

inline void acquire([[maybe_unused]] const void *address)
{
#ifdef KEL_TSAN
    __tsan_acquire(const_cast<void *>(address));
#endif
}

} // namespace TsanHandOver
