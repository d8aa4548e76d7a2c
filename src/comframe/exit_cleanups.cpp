#include "comframe/exit_cleanups.h"

#include <new>

namespace vrpph::comframe {

HRESULT ExitCleanups::Add(Cleanup cleanup, std::uintptr_t data) {
  Node* node = new (std::nothrow) Node{cleanup, data, head_};
  if (!node) return E_OUTOFMEMORY;
  head_ = node;
  return S_OK;
}

void ExitCleanups::RunAll() {
  while (Node* node = head_) {
    head_ = node->next;
    node->cleanup(node->data);
    delete node;
  }
}

void ExitCleanups::Discard() {
  while (Node* node = head_) {
    head_ = node->next;
    delete node;
  }
}

}  // namespace vrpph::comframe
