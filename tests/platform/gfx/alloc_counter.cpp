// Replaces the global operator new of the test program with one that can count allocations.
// Kept in its own file so that no caller sees the definitions inline.
#include <cstdlib>
#include <new>

#include "platform/gfx/gfx_test_support.h"

namespace gfx_test {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
std::atomic<long> g_allocated_bytes{0};
}  // namespace gfx_test

void* operator new(size_t n) {
  if (gfx_test::g_counting.load(std::memory_order_relaxed)) {
    gfx_test::g_allocations.fetch_add(1);
    gfx_test::g_allocated_bytes.fetch_add(long(n));
  }
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
