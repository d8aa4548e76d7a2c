#include "prompt/visual_styles.h"

namespace vrpph {

bool VisualStyles::Activate() {
  if (active_) return true;
  // A context created by an earlier call whose activation failed is
  // replaced, not leaked.
  if (handle_ != ActivationContextApi::kInvalid) api_.Release(handle_);
  handle_ = api_.Create();
  if (handle_ != ActivationContextApi::kInvalid) active_ = api_.Activate(handle_, &cookie_);
  return active_;
}

void VisualStyles::Deactivate() {
  if (active_) {
    api_.Deactivate(cookie_);
    active_ = false;
  }
  if (handle_ != ActivationContextApi::kInvalid) {
    api_.Release(handle_);
    handle_ = ActivationContextApi::kInvalid;
  }
}

}  // namespace vrpph
