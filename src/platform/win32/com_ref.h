// One counted reference to a COM object, released when the owner goes.
#pragma once

#include <unknwn.h>

#include <utility>

namespace vrpph::platform {

template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ComRef(ComRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) reset(std::exchange(other.object_, nullptr));
    return *this;
  }
  ~ComRef() { reset(); }

  [[nodiscard]] Interface* get() const { return object_; }
  Interface* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // For calls that hand out a reference: releases the old one first.
  Interface** put() {
    reset();
    return &object_;
  }
  // Hands the reference over to the caller.
  Interface* release() { return std::exchange(object_, nullptr); }
  void reset(Interface* object = nullptr) {
    if (Interface* old = std::exchange(object_, object)) old->Release();
  }

 private:
  Interface* object_ = nullptr;
};

}  // namespace vrpph::platform
