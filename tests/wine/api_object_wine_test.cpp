// The automation class API as a C++ client reaches it: created through COM
// from its registration, called by name through IDispatch and directly
// through IAPI, and its object shell through DllGetClassObject.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "comframe/com_ref.h"
#include "platform/win32/win32_registry.h"
#include "registration_guard.h"
#include "settings/contact_points.h"
#include "standin_manager.h"
#include "support/registry_tools.h"
#include "owned_bstr.h"
#include "vrpph_dll.h"
#include "vrpph_idl.h"

namespace vrpph::wine_tests {
namespace {

using comframe::ComRef;
using platform::root::CurrentUser;
using RegisterServer = HRESULT(WINAPI*)();

constexpr DWORD kWait = 15000;

template <typename Interface>
void** Out(ComRef<Interface>& reference) {
  return reinterpret_cast<void**>(reference.put());
}

// DownloadFile's three texts as a late-bound caller passes them: last first.
class DownloadArguments {
 public:
  DownloadArguments(const wchar_t* url, const wchar_t* referer, const wchar_t* path) {
    const wchar_t* texts[3] = {path, referer, url};
    for (int i = 0; i < 3; ++i) {
      VariantInit(&arguments_[i]);
      arguments_[i].vt = VT_BSTR;
      arguments_[i].bstrVal = SysAllocString(texts[i]);
    }
  }
  DownloadArguments(const DownloadArguments&) = delete;
  DownloadArguments& operator=(const DownloadArguments&) = delete;
  ~DownloadArguments() {
    for (VARIANT& argument : arguments_) VariantClear(&argument);
  }
  DISPPARAMS* get() { return &parameters_; }

 private:
  VARIANT arguments_[3];
  DISPPARAMS parameters_{arguments_, nullptr, 3, 0};
};

class ApiObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    testing::DeleteTree(registry_, CurrentUser, "Software\\Quorvane");
    ASSERT_NE(dll_.get(), nullptr);
    auto registerServer = dll_.Export<RegisterServer>("DllRegisterServer");
    ASSERT_EQ(registerServer(), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_API, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, Out(dispatch_)), S_OK);
  }
  void TearDown() override {
    dispatch_.reset();
    manager_.StopAll();
    testing::DeleteTree(registry_, CurrentUser, "Software\\Quorvane");
    CoUninitialize();
  }
  void Remember(const char* extension, DWORD action) {
    testing::SetDword(registry_, CurrentUser, keys::DefAction, extension, action);
  }
  DISPID IdOf(const wchar_t* name) {
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    DISPID id = -7;
    EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << name;
    return id;
  }
  void StartManager() {
    ASSERT_TRUE(manager_.Launch(" /Invisible"));
    ASSERT_NE(StandInManager::WaitForWindow(kManagerClass, nullptr, kWait), nullptr);
  }

  platform::Win32Registry registry_;
  StandInManager manager_;
  LoadedDll dll_;
  RegistrationGuard guard_{[this] {
    if (auto unregister = dll_.Export<RegisterServer>("DllUnregisterServer")) unregister();
  }};
  ComRef<IDispatch> dispatch_;
};

TEST_F(ApiObjectTest, NamesGiveDispatchIdsOneAndTwo) {
  EXPECT_EQ(IdOf(L"DownloadFile"), 1);
  EXPECT_EQ(IdOf(L"TQUninstall"), 2);
  EXPECT_EQ(IdOf(L"downloadfile"), 1) << "another spelling is answered by the type information";

  LPOLESTR names[2] = {const_cast<LPOLESTR>(L"TQUninstall"), const_cast<LPOLESTR>(L"DownloadFile")};
  DISPID ids[2] = {0, 0};
  // Script engines ask with locale 0, for which no library is registered.
  ASSERT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 2, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 2);
  EXPECT_EQ(ids[1], 1);
}

TEST_F(ApiObjectTest, InvokeReachesDownloadFileAndTheManagerGetsTheRecord) {
  StartManager();
  Remember("zip", 0);
  DownloadArguments arguments(L"http://files.example/get/a%20b.zip?mirror=2", L"http://files.example/page",
                              L"C:\\dl\\a b.zip");
  VARIANT result;
  VariantInit(&result);
  const HWND foreground = GetForegroundWindow();
  ASSERT_EQ(dispatch_->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, arguments.get(), &result, nullptr,
                              nullptr),
            S_OK);
  EXPECT_EQ(result.vt, VT_I2);
  EXPECT_EQ(result.iVal, 0);
  auto records = manager_.WaitForEntries("RECORD", 1, kWait);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].bytes,
            "URL=http://files.example/get/a b.zip?mirror=2\nReferer=http://files.example/page\nPath=OPEN");
  EXPECT_EQ(records[0].number, reinterpret_cast<std::uintptr_t>(foreground));

  // Saving to the given path: it is the record's path.
  Remember("zip", 1);
  ASSERT_EQ(dispatch_->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, arguments.get(), &result, nullptr,
                              nullptr),
            S_OK);
  records = manager_.WaitForEntries("RECORD", 2, kWait);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].bytes,
            "URL=http://files.example/get/a b.zip?mirror=2\nReferer=http://files.example/page\nPath=C:\\dl\\a b.zip");
}

TEST_F(ApiObjectTest, InvokeReachesTQUninstallWhichStartsTheUninstallerByItsQuotedPath) {
  testing::SetString(registry_, CurrentUser, keys::Main, values::ProgramPath, manager_.ProgramPath());
  DISPPARAMS none{};
  ASSERT_EQ(dispatch_->Invoke(2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            S_OK);
  auto uninstalls = manager_.WaitForEntries("UNINSTALL", 1, kWait);
  ASSERT_EQ(uninstalls.size(), 1u) << "the path has blanks: only the quoted form starts the program";
  auto starts = manager_.Entries("START");
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].bytes, " /UnInstall");
}

TEST_F(ApiObjectTest, DirectCallsAnswerSOkAndZeroWhateverHappens) {
  ComRef<IAPI> api;
  ASSERT_EQ(dispatch_->QueryInterface(IID_IAPI, Out(api)), S_OK);
  Remember("zip", 0);
  Bstr url(L"http://h/a.zip");
  short result = 7;
  // No manager and no program to start: nothing is sent, nothing shown.
  EXPECT_EQ(api->DownloadFile(url.get(), nullptr, nullptr, &result), S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(api->DownloadFile(nullptr, nullptr, nullptr, &result), S_OK);
  EXPECT_EQ(api->DownloadFile(url.get(), nullptr, nullptr, nullptr), S_OK) << "no result slot is no crash";
  EXPECT_EQ(api->TQUninstall(), S_OK);
  EXPECT_TRUE(manager_.ReadLog().empty());
}

TEST_F(ApiObjectTest, InterfaceTableAndErrorInfo) {
  ComRef<IAPI> api;
  ComRef<ISupportErrorInfo> errorInfo;
  ComRef<IUnknown> identity;
  ComRef<IUnknown> identityThroughSecond;
  ASSERT_EQ(dispatch_->QueryInterface(IID_IAPI, Out(api)), S_OK);
  ASSERT_EQ(dispatch_->QueryInterface(IID_ISupportErrorInfo, Out(errorInfo)), S_OK);
  ASSERT_EQ(api->QueryInterface(IID_IUnknown, Out(identity)), S_OK);
  ASSERT_EQ(errorInfo->QueryInterface(IID_IUnknown, Out(identityThroughSecond)), S_OK);
  EXPECT_EQ(static_cast<void*>(api.get()), static_cast<void*>(dispatch_.get()));
  EXPECT_EQ(identity.get(), identityThroughSecond.get());
  EXPECT_EQ(static_cast<void*>(identity.get()), static_cast<void*>(api.get()));

  EXPECT_EQ(errorInfo->InterfaceSupportsErrorInfo(IID_IAPI), S_OK);
  EXPECT_EQ(errorInfo->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
  EXPECT_EQ(errorInfo->InterfaceSupportsErrorInfo(IID_ISupportErrorInfo), S_FALSE);

  ComRef<IUnknown> none;
  EXPECT_EQ(dispatch_->QueryInterface(IID_IInternetProtocol, Out(none)), E_NOINTERFACE);
  EXPECT_FALSE(none);
}

TEST_F(ApiObjectTest, ReferencesFromTwoThreadsAtOnceAreAllCounted) {
  IAPI* api = nullptr;
  ASSERT_EQ(dll_.CreateInstance(CLSID_API, IID_IAPI, reinterpret_cast<void**>(&api)), S_OK);
  // Both threads start together, so that their counting overlaps.
  std::atomic<int> ready{0};
  auto hammer = [api, &ready] {
    ++ready;
    while (ready.load() < 2) {
    }
    for (int i = 0; i < 1000000; ++i) {
      api->AddRef();
      api->Release();
    }
  };
  std::thread first(hammer);
  std::thread second(hammer);
  first.join();
  second.join();
  EXPECT_EQ(api->AddRef(), 2u);
  EXPECT_EQ(api->Release(), 1u);
  EXPECT_EQ(api->Release(), 0u);
}

}  // namespace
}  // namespace vrpph::wine_tests
