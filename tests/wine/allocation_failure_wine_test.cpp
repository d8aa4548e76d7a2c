// Every edge of the module, with each of its allocations made to fail in
// turn (the test build vrpph_fault_injection.dll): the host survives every
// one, and gets the answer the module gives for that failure anywhere else.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/win32_registry.h"
#include "settings/contact_points.h"
#include "support/registry_tools.h"
#include "vrpph_idl.h"
#include "wine/support/modal_watcher.h"
#include "wine/support/owned_bstr.h"
#include "wine/support/registration_guard.h"
#include "wine/support/strict_sink.h"
#include "wine/support/test_bind_info.h"
#include "wine/support/test_manager_window.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

using platform::root::CurrentUser;
using ArmFailure = LONG(WINAPI*)(LONG);
using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using RegisterFn = HRESULT(WINAPI*)();
using ShowOpenDialogFn = BOOL(WINAPI*)(HWND, LPCSTR, LPCSTR);
using ShowAboutDialogFn = BOOL(WINAPI*)();

// Longest walk allowed: an edge that allocates more than this is a fault of
// its own.
constexpr long kMostAllocations = 20000;

std::string FaultModulePath() {
  const std::string dll = VrpphDllPath();
  return dll.substr(0, dll.size() - std::string("vrpph.dll").size()) + "vrpph_fault_injection.dll";
}

class AllocationFailureWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module_) << "cannot load " << FaultModulePath();
    ASSERT_NE(arm_, nullptr);
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    testing::DeleteTree(registry_, CurrentUser, "Software\\Quorvane");
    testing::SetString(registry_, CurrentUser, keys::Main, values::AcceptingTypes, "ZIP, ");
    testing::SetDword(registry_, CurrentUser, keys::DefAction, "zip", 0);
  }
  void TearDown() override {
    arm_(0);
    testing::DeleteTree(registry_, CurrentUser, "Software\\Quorvane");
    CoUninitialize();
  }

  // Calls `edge` with its 1st, 2nd, ... allocation failing until a call
  // makes fewer allocations than the one due to fail. Every answer must be
  // `failed` or `normal`; at least one failure must have been answered.
  template <typename Answer>
  void Walk(const char* name, Answer failed, Answer normal, const std::function<Answer()>& edge) {
    SCOPED_TRACE(name);
    long answeredAsFailed = 0;
    long nth = 1;
    for (; nth <= kMostAllocations; ++nth) {
      arm_(nth);
      const Answer answer = edge();
      const long seen = arm_(0);
      if (seen < nth) {
        EXPECT_EQ(answer, normal) << "the walk's last call, with no allocation failing";
        break;
      }
      EXPECT_TRUE(answer == failed || answer == normal) << "allocation " << nth << " answered " << answer;
      if (answer == failed) ++answeredAsFailed;
    }
    EXPECT_LE(nth, kMostAllocations) << "allocates without end";
    EXPECT_GT(answeredAsFailed, 0) << "no failure reached its caller";
    std::printf("[ WALKED   ] %s: %ld allocations, %ld answered as a failure\n", name, nth - 1, answeredAsFailed);
  }
  template <typename Function>
  Function Export(const char* name) const {
    return platform::GetProc<Function>(module_.get(), name);
  }
  HRESULT NewObject(REFCLSID classId, REFIID iid, void** out) {
    *out = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT hr = Export<GetClassObjectFn>("DllGetClassObject")(classId, IID_IClassFactory,
                                                               reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    hr = factory->CreateInstance(nullptr, iid, out);
    factory->Release();
    return hr;
  }

  platform::UniqueModule module_{LoadLibraryA(FaultModulePath().c_str())};
  ArmFailure arm_ = Export<ArmFailure>("VrpphFailAllocation");
  platform::Win32Registry registry_;
};

TEST_F(AllocationFailureWineTest, ClassObjectsAndStartAnswerAsForAnyFailure) {
  Walk<HRESULT>("DllGetClassObject", E_OUTOFMEMORY, S_OK, [this] {
    IUnknown* object = nullptr;
    const HRESULT hr = Export<GetClassObjectFn>("DllGetClassObject")(CLSID_API, IID_IClassFactory,
                                                                     reinterpret_cast<void**>(&object));
    if (object) object->Release();
    return hr;
  });

  TestManagerWindow manager(manager::DefaultTitle, 0);
  IInternetProtocol* protocol = nullptr;
  ASSERT_EQ(NewObject(CLSID_HTTPPlugProt, IID_IInternetProtocol, reinterpret_cast<void**>(&protocol)), S_OK);
  // The failure is a decline: the browser fetches the file itself.
  for (const wchar_t* url : {L"http://images.example/a.jpg", L"http://files.example/a.zip"}) {
    const HRESULT normal = url[7] == 'i' ? INET_E_USE_DEFAULT_PROTOCOLHANDLER : S_FALSE;
    Walk<HRESULT>("Start", INET_E_USE_DEFAULT_PROTOCOLHANDLER, normal, [&] {
      TestBindInfo bind = TestBindInfo::Get();
      StrictSink sink(StrictSink::NoCalls());  // a failure is a decline, not a report
      return protocol->Start(url, &sink, &bind, 0, 0);
    });
  }
  protocol->Release();
  EXPECT_FALSE(manager.received().empty()) << "the walks' last calls delivered";
}

TEST_F(AllocationFailureWineTest, TheAutomationClassAnswersSOkWhateverFails) {
  TestManagerWindow manager(manager::DefaultTitle, 0);
  IAPI* api = nullptr;
  ASSERT_EQ(NewObject(CLSID_API, IID_IAPI, reinterpret_cast<void**>(&api)), S_OK);
  Bstr url(L"http://files.example/a%20b.zip"), referer(L"http://files.example/"), path(L"C:\\dl\\a b.zip");
  short result = 0;
  // Both always answer S_OK; a failure shows only as nothing done, so the
  // walk counts the calls whose allocation failed.
  long failedDownloads = 0;
  for (long nth = 1;; ++nth) {
    const std::size_t before = manager.received().size();
    arm_(nth);
    ASSERT_EQ(api->DownloadFile(url.get(), referer.get(), path.get(), &result), S_OK);
    const long seen = arm_(0);
    if (seen < nth) {
      EXPECT_EQ(manager.received().size(), before + 1) << "the last call, with nothing failing, delivered";
      break;
    }
    failedDownloads += manager.received().size() == before;
    ASSERT_LT(nth, kMostAllocations);
  }
  EXPECT_GT(failedDownloads, 0);
  for (long nth = 1;; ++nth) {
    arm_(nth);
    ASSERT_EQ(api->TQUninstall(), S_OK);
    if (arm_(0) < nth) break;
  }
  api->Release();
}

TEST_F(AllocationFailureWineTest, RegistrationReportsRunningOutOfMemory) {
  RegistrationGuard guard([this] { Export<RegisterFn>("DllUnregisterServer")(); });
  auto registerServer = Export<RegisterFn>("DllRegisterServer");
  auto unregisterServer = Export<RegisterFn>("DllUnregisterServer");
  Walk<HRESULT>("DllRegisterServer", E_OUTOFMEMORY, S_OK, [registerServer] { return registerServer(); });
  Walk<HRESULT>("DllUnregisterServer", E_OUTOFMEMORY, S_OK, [unregisterServer] { return unregisterServer(); });
  EXPECT_EQ(KeyValues(HKEY_CLASSES_ROOT, "CLSID\\{8208D502-60BD-11D5-A6AE-008048B33DEA}"), "<missing>");
}

TEST_F(AllocationFailureWineTest, TheHostExportsAndTheDialogAnswerAsCancelOrNothingFound) {
  auto showOpen = Export<ShowOpenDialogFn>("DllShowOpenDialog");
  auto showAbout = Export<ShowAboutDialogFn>("DllShowAboutDialog");
  Walk<BOOL>("DllShowOpenDialog, remembered action", FALSE, TRUE,
             [showOpen] { return showOpen(nullptr, "http://files.example/a.zip", nullptr); });
  // The dialog itself: its procedure's allocations fail too, and end it as
  // Cancel; the watcher presses OK in every prompt that comes up.
  ModalWatcher watcher(IDOK);
  Walk<BOOL>("DllShowOpenDialog, the dialog", FALSE, TRUE,
             [showOpen] { return showOpen(nullptr, "http://files.example/b.rar", "b.rar"); });
  // A program path long enough to live on the heap; nothing is there to start.
  testing::SetString(registry_, CurrentUser, keys::Main, values::ProgramPath,
                     "C:\\no such folder\\of the download manager\\TQP.EXE");
  Walk<BOOL>("DllShowAboutDialog", TRUE, TRUE, [showAbout] { return showAbout(); });
}

}  // namespace
}  // namespace vrpph::wine_tests
