// The prompt's activation context on Wine's kernel32, built from the
// manifest inside vrpph.dll.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "prompt/visual_styles.h"
#include "prompt/win32/kernel_procs.h"
#include "prompt/win32/win32_activation_context.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

FARPROC FindNothing(const char*) { return nullptr; }

HANDLE CurrentContext() {
  HANDLE context = nullptr;
  GetCurrentActCtx(&context);
  return context;
}

TEST(KernelProcsWineTest, FindsTheFourFunctionsByNameAndNothingElse) {
  for (const char* name : {"CreateActCtxA", "ActivateActCtx", "DeactivateActCtx", "ReleaseActCtx"}) {
    EXPECT_EQ(LoadKernelProc(name), GetProcAddress(GetModuleHandleA("kernel32.dll"), name)) << name;
    EXPECT_NE(LoadKernelProc(name), nullptr) << name;
  }
  EXPECT_EQ(LoadKernelProc("NoSuchFunctionAnywhere"), nullptr);
}

TEST(VisualStylesWineTest, TheManifestContextIsActiveOnlyBetweenActivateAndDeactivate) {
  LoadedDll dll;
  ASSERT_NE(dll.get(), nullptr);
  Win32ActivationContextApi api(dll.get(), LoadKernelProc);
  const HANDLE before = CurrentContext();
  {
    VisualStyles styles(api);
    ASSERT_TRUE(styles.Activate());
    const HANDLE during = CurrentContext();
    EXPECT_NE(during, before);
    EXPECT_TRUE(styles.Activate());
    EXPECT_EQ(CurrentContext(), during) << "no nesting: the same context stays";

    // The context carries the manifest's dependency: the common controls
    // it names are version 6.
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof data;
    EXPECT_TRUE(FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, "comctl32.dll",
                                         &data));
    styles.Deactivate();
    EXPECT_EQ(CurrentContext(), before);
  }
  if (before) ReleaseActCtx(before);
}

TEST(VisualStylesWineTest, EachThreadKeepsItsOwnContext) {
  LoadedDll dll;
  ASSERT_NE(dll.get(), nullptr);
  Win32ActivationContextApi api(dll.get(), LoadKernelProc);
  VisualStyles mine(api);
  ASSERT_TRUE(mine.Activate());
  const HANDLE active = CurrentContext();
  // Another prompt starts and ends on another thread meanwhile.
  bool activated = false;
  std::thread([&api, &activated] {
    VisualStyles theirs(api);
    activated = theirs.Activate();
    theirs.Deactivate();
  }).join();
  EXPECT_TRUE(activated);
  EXPECT_EQ(CurrentContext(), active) << "the other thread's end left this thread's context alone";
  mine.Deactivate();
  if (active) ReleaseActCtx(active);
}

TEST(VisualStylesWineTest, WithoutTheKernelFunctionsNothingIsActivated) {
  LoadedDll dll;
  ASSERT_NE(dll.get(), nullptr);
  Win32ActivationContextApi api(dll.get(), FindNothing);
  const HANDLE before = CurrentContext();
  VisualStyles styles(api);
  EXPECT_FALSE(styles.Activate());
  EXPECT_EQ(CurrentContext(), before);
  styles.Deactivate();
  EXPECT_EQ(CurrentContext(), before);
  if (before) ReleaseActCtx(before);
}

TEST(VisualStylesWineTest, AModuleWithoutTheManifestGivesNoContext) {
  // The test program itself carries no manifest resource 2.
  Win32ActivationContextApi api(GetModuleHandleA(nullptr), LoadKernelProc);
  VisualStyles styles(api);
  EXPECT_FALSE(styles.Activate());
}

}  // namespace
}  // namespace vrpph::wine_tests
