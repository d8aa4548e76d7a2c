#include "registration/script_runner.h"

#include <optional>
#include <vector>

#include "registration/delete_key_tree.h"
#include "registration/script_chars.h"
#include "registration/script_value.h"
#include "registration/script_words.h"

namespace vrpph {

namespace access = platform::access;
namespace status = platform::status;
using platform::HKey;

struct ScriptRunner::Block {
  HKey parent{};
  bool enteredInRecovery = false;
  bool recoveryMode = false;
  // NoRemove clears it for its own entry and every later one of the block.
  bool deletionAllowed = true;
  platform::RegKey current;
};

ScriptRunner::ScriptRunner(platform::Registry& registry, const platform::Text& text, std::string_view script)
    : registry_(registry), text_(text), reader_(text, script) {}

HResult ScriptRunner::Next() { return reader_.ReadToken(&token_); }

HResult ScriptRunner::RunScript(bool doRegister) {
  while (!reader_.AtEnd()) {
    if (HResult hr = Next(); hresult::Failed(hr)) return hr;
    std::optional<HKey> root = ScriptRootKey(token_);
    if (!root) return hresult::DispException;
    if (HResult hr = Next(); hresult::Failed(hr)) return hr;
    if (!BeginsWith(token_, '{')) return hresult::DispException;
    if (doRegister) {
      std::size_t start = reader_.Position();
      HResult hr = ProcessBlock(*root, true, false);
      if (hresult::Failed(hr)) {
        // Undo this block's partial work; the first failure is what counts.
        reader_.Seek(start);
        static_cast<void>(ProcessBlock(*root, false, false));
        return hr;
      }
    } else if (HResult hr = ProcessBlock(*root, false, false); hresult::Failed(hr)) {
      return hr;
    }
    reader_.SkipWhiteSpace();
  }
  return hresult::Ok;
}

HResult ScriptRunner::ProcessBlock(HKey parent, bool doRegister, bool recovery) {
  if (depth_ >= kMaxBlockDepth) return hresult::DispException;
  ++depth_;
  Block block;
  block.parent = parent;
  block.enteredInRecovery = recovery;
  block.recoveryMode = recovery;
  HResult hr = Next();
  while (!hresult::Failed(hr) && !BeginsWith(token_, '}')) hr = Entry(block, doRegister);
  block.current.Reset();
  --depth_;
  return hr;
}

HResult ScriptRunner::Entry(Block& block, bool doRegister) {
  const bool forceRemove = SameWord(token_, "ForceRemove");
  const bool deleteKey = SameWord(token_, "Delete");
  if (forceRemove || deleteKey) {
    if (HResult hr = Next(); hresult::Failed(hr)) return hr;
    // In unregister mode both words are dropped and the name is read on.
    if (doRegister) {
      if (HasBackslash(text_, token_)) return hresult::DispException;
      if (!IsProtectedKeyName(token_)) static_cast<void>(DeleteKeyTree(registry_, block.parent, token_.c_str()));
      if (deleteKey) return EndDeleteEntry();
    }
  }
  if (SameWord(token_, "NoRemove")) {
    block.deletionAllowed = false;
    if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  }
  if (SameWord(token_, "Val")) return ValueEntry(block, doRegister);
  if (HasBackslash(text_, token_)) return hresult::DispException;
  return doRegister ? RegisterKeyEntry(block) : UnregisterKeyEntry(block);
}

HResult ScriptRunner::EndDeleteEntry() {
  if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  if (token_ == "=") {
    if (HResult hr = SkipTypeAndValue(); hresult::Failed(hr)) return hr;
    if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  }
  // The key was just removed: there is nothing to hold a block's entries.
  if (token_ == "{") return hresult::DispException;
  return hresult::Ok;
}

HResult ScriptRunner::ValueEntry(Block& block, bool doRegister) {
  if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  if (token_.size() > kMaxValueNameBytes) return hresult::DispException;
  const std::string name = token_;
  if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  if (!BeginsWith(token_, '=')) return hresult::DispException;
  if (doRegister) {
    if (HResult hr = AddScriptValue(block.parent, name.c_str()); hresult::Failed(hr)) return hr;
  } else {
    // Below a root the parent was opened for reading and the registry refuses.
    if (!block.recoveryMode) static_cast<void>(registry_.DeleteValue(block.parent, name.c_str()));
    if (HResult hr = SkipTypeAndValue(); hresult::Failed(hr)) return hr;
    if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  }
  // A value has no entries of its own.
  if (token_ == "{") return hresult::DispException;
  return hresult::Ok;
}

HResult ScriptRunner::RegisterKeyEntry(Block& block) {
  const char* name = token_.c_str();
  HKey key{};
  if (registry_.OpenKey(block.parent, name, access::AllAccess, &key) != status::Success &&
      registry_.OpenKey(block.parent, name, access::Read, &key) != status::Success &&
      registry_.CreateKey(block.parent, name, nullptr, access::AllAccess, &key, nullptr) != status::Success) {
    return hresult::DispException;
  }
  block.current = platform::RegKey(registry_, key);
  if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  if (BeginsWith(token_, '=')) {
    if (HResult hr = AddScriptValue(block.current.get(), nullptr); hresult::Failed(hr)) return hr;
  }
  if (token_ == "{") {
    if (HResult hr = ProcessBlock(block.current.get(), true, false); hresult::Failed(hr)) return hr;
    if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  }
  return hresult::Ok;
}

HResult ScriptRunner::UnregisterKeyEntry(Block& block) {
  if (!block.recoveryMode) {
    block.current.Reset();
    // Read access: deleting a key does not depend on its parent's rights, and
    // the registry refuses value deletions through this key, which is what
    // keeps the values of a key that stays (see src/resources/registration_scripts.md).
    block.current = platform::OpenRegKey(registry_, block.parent, token_.c_str(), access::Read);
    if (!block.current) block.recoveryMode = true;
  }
  std::string remembered;
  // A cut name would name another key: such a key is never deleted by it.
  const bool wholeName = RememberKeyName(text_, token_, &remembered);
  if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  if (BeginsWith(token_, '=')) {
    if (HResult hr = SkipTypeAndValue(); hresult::Failed(hr)) return hr;
    if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  }
  if (BeginsWith(token_, '{')) {
    HKey key = block.recoveryMode ? HKey{} : block.current.get();
    if (HResult hr = ProcessBlock(key, false, block.recoveryMode); hresult::Failed(hr)) return hr;
    if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  }
  if (block.recoveryMode) {
    // The key was missing here or above: nothing of it is touched.
    block.recoveryMode = block.enteredInRecovery;
    return hresult::Ok;
  }
  std::uint32_t subkeys = 0;
  if (registry_.QuerySubkeyCount(block.current.get(), &subkeys) != status::Success) subkeys = 0;
  if (subkeys > 0) {
    if (wholeName && !IsProtectedKeyName(remembered)) {
      static_cast<void>(DeleteKeyTree(registry_, block.current.get(), remembered.c_str()));
    }
    return hresult::Ok;
  }
  if (block.current.Reset() != status::Success) return hresult::DispException;
  if (block.deletionAllowed && wholeName) static_cast<void>(registry_.DeleteKey(block.parent, remembered.c_str()));
  return hresult::Ok;
}

HResult ScriptRunner::AddScriptValue(HKey key, const char* name) {
  if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  std::optional<std::uint32_t> type = ScriptValueType(token_);
  if (!type) return hresult::DispException;
  if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  std::vector<std::uint8_t> data;
  if (HResult hr = EncodeScriptValue(*type, token_, &data); hresult::Failed(hr)) return hr;
  // An empty value still passes real memory; a refused write is not reported.
  const std::uint8_t none = 0;
  static_cast<void>(registry_.SetValue(key, name, *type, data.empty() ? &none : data.data(),
                                       static_cast<std::uint32_t>(data.size())));
  return Next();
}

HResult ScriptRunner::SkipTypeAndValue() {
  if (HResult hr = Next(); hresult::Failed(hr)) return hr;
  return Next();
}

HResult RunScript(platform::Registry& registry, const platform::Text& text, std::string_view expandedScript,
                  bool doRegister) {
  ScriptRunner runner(registry, text, expandedScript);
  return runner.RunScript(doRegister);
}

}  // namespace vrpph
