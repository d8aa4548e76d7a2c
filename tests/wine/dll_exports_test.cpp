// The six exports of vrpph.dll, reached by name as hosts reach them. Their
// exact names are tests/pe/check_dll_surface.sh's to hold.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "wine/support/registration_guard.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

using CanUnloadNow = HRESULT(WINAPI*)();
using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using RegisterServer = HRESULT(WINAPI*)();
using ShowAboutDialog = BOOL(WINAPI*)();

// A class id that is not ours.
constexpr CLSID kForeignClass = {
    0x12345678, 0x9abc, 0xdef0, {0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0}};

class DllExportsWineTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(dll_.get(), nullptr) << "cannot load " << VrpphDllPath(); }

  LoadedDll dll_;
};

TEST_F(DllExportsWineTest, FreshlyLoadedModuleCanUnload) {
  auto canUnload = dll_.Export<CanUnloadNow>("DllCanUnloadNow");
  ASSERT_NE(canUnload, nullptr);
  EXPECT_EQ(canUnload(), S_OK);
}

TEST_F(DllExportsWineTest, GetClassObjectRejectsANullOutPointer) {
  auto getClassObject = dll_.Export<GetClassObject>("DllGetClassObject");
  ASSERT_NE(getClassObject, nullptr);
  EXPECT_EQ(getClassObject(kForeignClass, IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(DllExportsWineTest, GetClassObjectClearsTheOutPointerForAnUnknownClass) {
  auto getClassObject = dll_.Export<GetClassObject>("DllGetClassObject");
  ASSERT_NE(getClassObject, nullptr);
  for (const CLSID& classId : {kForeignClass, CLSID_NULL, IID_IUnknown}) {
    for (const IID& interfaceId : {IID_IClassFactory, IID_IUnknown}) {
      int sentinel = 0;
      void* object = &sentinel;
      EXPECT_EQ(getClassObject(classId, interfaceId, &object), CLASS_E_CLASSNOTAVAILABLE);
      EXPECT_EQ(object, nullptr);
    }
  }
}

TEST_F(DllExportsWineTest, FailedClassRequestsLeaveNoLock) {
  auto getClassObject = dll_.Export<GetClassObject>("DllGetClassObject");
  auto canUnload = dll_.Export<CanUnloadNow>("DllCanUnloadNow");
  ASSERT_NE(getClassObject, nullptr);
  ASSERT_NE(canUnload, nullptr);
  void* object = nullptr;
  ASSERT_EQ(getClassObject(kForeignClass, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(canUnload(), S_OK);
}

TEST_F(DllExportsWineTest, RegisterAndUnregisterSucceedRepeatedly) {
  auto registerServer = dll_.Export<RegisterServer>("DllRegisterServer");
  auto unregisterServer = dll_.Export<RegisterServer>("DllUnregisterServer");
  ASSERT_NE(registerServer, nullptr);
  ASSERT_NE(unregisterServer, nullptr);
  // Registration rewrites the platform's protocol handler keys: put them back.
  RegistrationGuard guard([unregisterServer] { unregisterServer(); });
  // Unregistering what was never registered is not an error.
  EXPECT_EQ(unregisterServer(), S_OK);
  EXPECT_EQ(registerServer(), S_OK);
  EXPECT_EQ(registerServer(), S_OK);
  EXPECT_EQ(unregisterServer(), S_OK);
  EXPECT_EQ(unregisterServer(), S_OK);
}

TEST_F(DllExportsWineTest, ShowAboutDialogAnswersTrue) {
  auto showAbout = dll_.Export<ShowAboutDialog>("DllShowAboutDialog");
  ASSERT_NE(showAbout, nullptr);
  EXPECT_EQ(showAbout(), TRUE);
}

}  // namespace
}  // namespace vrpph::wine_tests
