// Win32 critical sections: one the module starts and ends itself at attach
// and detach, and a scope that holds one.
#pragma once

#include <windows.h>

namespace vrpph::comframe {

// Trivial until Initialize, so it can live in constant-initialised state.
class ModuleSection {
 public:
  constexpr ModuleSection() = default;
  ModuleSection(const ModuleSection&) = delete;
  ModuleSection& operator=(const ModuleSection&) = delete;

  void Initialize() { InitializeCriticalSection(&section_); }
  void Delete() { DeleteCriticalSection(&section_); }
  void Enter() { EnterCriticalSection(&section_); }
  void Leave() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_{};
};

// A section owned by one object for the whole of its life.
class OwnedSection {
 public:
  OwnedSection() { InitializeCriticalSection(&section_); }
  OwnedSection(const OwnedSection&) = delete;
  OwnedSection& operator=(const OwnedSection&) = delete;
  ~OwnedSection() { DeleteCriticalSection(&section_); }

  void Enter() { EnterCriticalSection(&section_); }
  void Leave() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

template <typename Section>
class SectionLock {
 public:
  explicit SectionLock(Section& section) : section_(section) { section_.Enter(); }
  SectionLock(const SectionLock&) = delete;
  SectionLock& operator=(const SectionLock&) = delete;
  ~SectionLock() { section_.Leave(); }

 private:
  Section& section_;
};

}  // namespace vrpph::comframe
