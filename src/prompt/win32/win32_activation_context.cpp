#include "prompt/win32/win32_activation_context.h"

#include <optional>
#include <string>

#include "platform/win32/module_file.h"

#include "prompt/dialog_ids.h"
#include "prompt/win32/kernel_procs.h"

namespace vrpph {
namespace {

using CreateActCtxFn = HANDLE(WINAPI*)(const ACTCTXA*);
using ActivateActCtxFn = BOOL(WINAPI*)(HANDLE, ULONG_PTR*);
using DeactivateActCtxFn = BOOL(WINAPI*)(DWORD, ULONG_PTR);
using ReleaseActCtxFn = void(WINAPI*)(HANDLE);

// The context description the 32-bit module hands over.
static_assert(sizeof(void*) != 4 || sizeof(ACTCTXA) == 32);

}  // namespace

Win32ActivationContextApi::Win32ActivationContextApi(HMODULE module, ProcLookup lookup)
    : module_(module), lookup_(lookup) {}

ActivationContextApi::Handle Win32ActivationContextApi::Create() {
  auto create = LoadKernelFunction<CreateActCtxFn>(lookup_, "CreateActCtxA");
  if (!create) return kInvalid;
  // A cut path names some other file: no context rather than a wrong one.
  const std::optional<std::string> path = platform::ModuleFileNameA(module_);
  if (!path) return kInvalid;
  ACTCTXA description = {};
  description.cbSize = sizeof description;
  description.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  description.lpSource = path->c_str();
  description.lpResourceName = MAKEINTRESOURCEA(prompt_resource::Manifest);
  return reinterpret_cast<Handle>(create(&description));
}

bool Win32ActivationContextApi::Activate(Handle context, std::uintptr_t* cookie) {
  auto activate = LoadKernelFunction<ActivateActCtxFn>(lookup_, "ActivateActCtx");
  ULONG_PTR received = 0;
  if (!activate || !activate(reinterpret_cast<HANDLE>(context), &received)) return false;
  *cookie = received;
  return true;
}

void Win32ActivationContextApi::Deactivate(std::uintptr_t cookie) {
  if (auto deactivate = LoadKernelFunction<DeactivateActCtxFn>(lookup_, "DeactivateActCtx")) deactivate(0, cookie);
}

void Win32ActivationContextApi::Release(Handle context) {
  if (auto release = LoadKernelFunction<ReleaseActCtxFn>(lookup_, "ReleaseActCtx")) {
    release(reinterpret_cast<HANDLE>(context));
  }
}

}  // namespace vrpph
