// Linked into a test build of the module (vrpph_fault_injection.dll, never
// shipped): the module's own operator new, which can be told to fail the
// Nth allocation from now, so a test can walk a failure over every
// allocation an entry point makes and see what the host gets.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// 0: no failure is due; n: the nth allocation from now fails.
std::atomic<long> g_countdown{0};
// Allocations made since the failure was armed.
std::atomic<long> g_seen{0};

bool FailThisOne() {
  if (g_countdown.load() == 0) return false;
  ++g_seen;
  return g_countdown.fetch_sub(1) == 1;
}

void* Allocate(std::size_t size) { return std::malloc(size ? size : 1); }

}  // namespace

void* operator new(std::size_t size) {
  if (FailThisOne()) throw std::bad_alloc();
  if (void* memory = Allocate(size)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return FailThisOne() ? nullptr : Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return ::operator new(size, tag); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

// Arms the failure of the `nth` allocation from now (0 disarms) and answers
// how many allocations were made since the last call.
extern "C" LONG WINAPI VrpphFailAllocation(LONG nth) {
  const long seen = g_seen.exchange(0);
  g_countdown.store(nth);
  return seen;
}
