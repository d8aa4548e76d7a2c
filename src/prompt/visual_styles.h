// The visual-styles activation context around one prompt: built from the
// module's own manifest so that the dialog's controls are drawn with the
// current styles whatever the host's manifest asks for.
#pragma once

#include <cstdint>

namespace vrpph {

// The platform's activation-context calls; each answers as a system that
// lacks the function when it does.
class ActivationContextApi {
 public:
  using Handle = std::uintptr_t;
  static constexpr Handle kInvalid = ~Handle{0};  // INVALID_HANDLE_VALUE

  virtual ~ActivationContextApi() = default;
  // CreateActCtxA from the module's manifest resource; kInvalid on failure.
  virtual Handle Create() = 0;
  // ActivateActCtx; false on failure.
  virtual bool Activate(Handle context, std::uintptr_t* cookie) = 0;
  // DeactivateActCtx with flags 0.
  virtual void Deactivate(std::uintptr_t cookie) = 0;
  // ReleaseActCtx.
  virtual void Release(Handle context) = 0;
};

// One prompt's context on the prompt's own thread. Activations do not nest;
// destruction undoes whatever is still active or held.
class VisualStyles {
 public:
  explicit VisualStyles(ActivationContextApi& api) : api_(api) {}
  VisualStyles(const VisualStyles&) = delete;
  VisualStyles& operator=(const VisualStyles&) = delete;
  ~VisualStyles() { Deactivate(); }

  // Creates and activates the context; true when it is active. A second
  // call while active creates nothing.
  bool Activate();
  // Deactivates and releases what Activate made; nothing without it.
  void Deactivate();

  [[nodiscard]] bool Active() const { return active_; }

 private:
  ActivationContextApi& api_;
  ActivationContextApi::Handle handle_ = ActivationContextApi::kInvalid;
  std::uintptr_t cookie_ = 0;
  bool active_ = false;
};

}  // namespace vrpph
