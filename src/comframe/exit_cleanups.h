// Work the module leaves for the moment it is unloaded, run newest first.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vrpph::comframe {

class ExitCleanups {
 public:
  using Cleanup = void (*)(std::uintptr_t data);

  constexpr ExitCleanups() = default;
  ExitCleanups(const ExitCleanups&) = delete;
  ExitCleanups& operator=(const ExitCleanups&) = delete;

  // E_OUTOFMEMORY when no node can be had. The caller holds the lock that
  // guards the list.
  HRESULT Add(Cleanup cleanup, std::uintptr_t data);
  // Calls each cleanup, newest first, and frees the list.
  void RunAll();
  // Frees the list without calling anything.
  void Discard();

 private:
  struct Node {
    Cleanup cleanup;
    std::uintptr_t data;
    Node* next;
  };
  Node* head_ = nullptr;
};

}  // namespace vrpph::comframe
