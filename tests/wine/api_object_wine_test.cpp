// The automation class API as a C++ client reaches it: created through COM
// from its registration, called by name through IDispatch and directly
// through IAPI, and its object shell through DllGetClassObject.
#include <windows.h>
#include <objbase.h>
#include <objsafe.h>
#include <oleauto.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/win32/com_ref.h"
#include "platform/win32/win32_registry.h"
#include "prompt/dialog_ids.h"
#include "settings/contact_points.h"
#include "support/registry_tools.h"
#include "vrpph_idl.h"
#include "wine/support/owned_bstr.h"
#include "wine/support/prompt_driver.h"
#include "wine/support/registration_guard.h"
#include "wine/support/standin_manager.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

using platform::ComRef;
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

class ApiObjectWineTest : public ::testing::Test {
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
  void DeleteValue(const char* path, const char* name) {
    auto key = platform::OpenRegKey(registry_, CurrentUser, path, platform::access::AllAccess);
    ASSERT_TRUE(key);
    ASSERT_EQ(registry_.DeleteValue(key.get(), name), platform::status::Success);
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

TEST_F(ApiObjectWineTest, NamesGiveDispatchIdsOneAndTwo) {
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

TEST_F(ApiObjectWineTest, InvokeReachesDownloadFileAndTheManagerGetsTheRecord) {
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

TEST_F(ApiObjectWineTest, InvokeReachesTQUninstallWhichStartsTheUninstallerByItsQuotedPath) {
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

TEST_F(ApiObjectWineTest, DirectCallsAnswerSOkAndZeroWhateverHappens) {
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

TEST_F(ApiObjectWineTest, InterfaceTableAndErrorInfo) {
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
  ComRef<IObjectSafety> safety;
  ComRef<IUnknown> identityThroughSafety;
  ASSERT_EQ(api->QueryInterface(IID_IObjectSafety, Out(safety)), S_OK);
  ASSERT_EQ(safety->QueryInterface(IID_IUnknown, Out(identityThroughSafety)), S_OK);
  EXPECT_EQ(identityThroughSafety.get(), identity.get());

  ComRef<IUnknown> none;
  EXPECT_EQ(dispatch_->QueryInterface(IID_IInternetProtocol, Out(none)), E_NOINTERFACE);
  EXPECT_FALSE(none);
}

constexpr DWORD kUntrustedCaller = INTERFACESAFE_FOR_UNTRUSTED_CALLER;
constexpr DWORD kUntrustedData = INTERFACESAFE_FOR_UNTRUSTED_DATA;

TEST_F(ApiObjectWineTest, SafetyOptionsAnswerForTheScriptedInterfacesAlone) {
  ComRef<IObjectSafety> safety;
  ASSERT_EQ(dispatch_->QueryInterface(IID_IObjectSafety, Out(safety)), S_OK);
  DWORD supported = 7, enabled = 7;
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &enabled), E_POINTER);
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, nullptr), E_POINTER);
  for (const IID* foreign : {&IID_IUnknown, &IID_IObjectSafety, &IID_ISupportErrorInfo, &IID_IInternetProtocol}) {
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(*foreign, &supported, &enabled), E_NOINTERFACE);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(*foreign, kUntrustedCaller, kUntrustedCaller), E_NOINTERFACE);
  }
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IAPI, &supported, &enabled), S_OK);
  EXPECT_EQ(supported, kUntrustedCaller | kUntrustedData);
  EXPECT_EQ(enabled, 0u) << "nothing was set on a fresh object";

  // Every mask and every enabled set over every starting state: the bits of
  // `enabled` within `mask` replace the old ones; unknown bits fail.
  for (DWORD start = 0; start < 4; ++start) {
    for (DWORD mask = 0; mask < 4; ++mask) {
      for (DWORD wanted : {0x0u, 0x1u, 0x2u, 0x3u, 0xFCu, 0xFFu}) {
        ComRef<IObjectSafety> fresh;
        ASSERT_EQ(dll_.CreateInstance(CLSID_API, IID_IObjectSafety, Out(fresh)), S_OK);
        ASSERT_EQ(fresh->SetInterfaceSafetyOptions(IID_IDispatch, 3, start), S_OK);
        ASSERT_EQ(fresh->SetInterfaceSafetyOptions(IID_IAPI, mask, wanted), S_OK);
        EXPECT_EQ(fresh->SetInterfaceSafetyOptions(IID_IAPI, mask | 0x4, wanted), E_FAIL);
        EXPECT_EQ(fresh->SetInterfaceSafetyOptions(IID_IDispatch, 0x80000000u, 0), E_FAIL);
        // One set of options for the object, whichever interface asks.
        ASSERT_EQ(fresh->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
        EXPECT_EQ(enabled, (start & ~mask) | (wanted & mask)) << start << " " << mask << " " << wanted;
      }
    }
  }
}

// As the browser treats a control on a page: told its caller is untrusted,
// then called by name through IDispatch.
TEST_F(ApiObjectWineTest, AnUntrustedCallerCannotChooseThePathOrStartTheUninstaller) {
  testing::SetString(registry_, CurrentUser, keys::Main, values::AcceptingTypes, "ZIP, ");
  StartManager();
  ComRef<IObjectSafety> safety;
  ASSERT_EQ(dispatch_->QueryInterface(IID_IObjectSafety, Out(safety)), S_OK);
  ASSERT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, kUntrustedCaller | kUntrustedData,
                                              kUntrustedCaller | kUntrustedData),
            S_OK);
  auto download = [this](const wchar_t* path) {
    DownloadArguments arguments(L"http://files.example/a.zip", L"http://files.example/page", path);
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(dispatch_->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, arguments.get(), &result, nullptr,
                                nullptr),
              S_OK);
  };
  auto uninstall = [this] {
    DISPPARAMS none{};
    EXPECT_EQ(dispatch_->Invoke(2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              S_OK);
  };
  const std::string expected = "URL=http://files.example/a.zip\nReferer=http://files.example/page\nPath=";

  // A remembered save action: no dialog at all.
  Remember("zip", 1);
  download(L"C:\\users\\Start Menu\\Programs\\Startup\\run.exe");
  // The dialog's OK with the save choice.
  DeleteValue(keys::DefAction, "zip");
  {
    PromptDriver driver([](HWND prompt) {
      Click(prompt, prompt_control::SaveChoice);
      Press(prompt, IDOK);
    });
    download(L"C:\\users\\Start Menu\\Programs\\Startup\\run.exe");
    EXPECT_TRUE(driver.found());
  }
  uninstall();
  // Cleared again, the object stays restricted.
  ASSERT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, kUntrustedCaller | kUntrustedData, 0), S_OK);
  Remember("zip", 1);
  download(L"C:\\elsewhere\\run.exe");
  uninstall();

  const auto records = manager_.WaitForEntries("RECORD", 3, kWait);
  ASSERT_EQ(records.size(), 3u);
  for (const auto& record : records) EXPECT_EQ(record.bytes, expected);
  // An uninstaller start shows within a second (see the test below it).
  Sleep(1500);
  EXPECT_TRUE(manager_.Entries("UNINSTALL").empty());
  EXPECT_EQ(manager_.Entries("START").size(), 1u) << "only the manager's own start";
}

// The same object, never told anything, serves a local program in full; the
// line-break rule holds for every caller.
TEST_F(ApiObjectWineTest, ALocalClientKeepsEveryPowerButNoFieldOfItsOwn) {
  StartManager();
  Remember("zip", 1);
  ComRef<IAPI> api;
  ASSERT_EQ(dispatch_->QueryInterface(IID_IAPI, Out(api)), S_OK);
  Bstr url(L"http://files.example/a.zip"), referer(L"http://files.example/page"), path(L"C:\\dl\\a.zip");
  Bstr brokenReferer(L"x\nPath=C:\\Startup\\run.exe"), brokenPath(L"C:\\dl\\a.zip\r\nFileName=run.exe");
  Bstr brokenUrl(L"http://files.example/x\nPath=C:\\run.exe\na.zip");
  short result = 7;
  EXPECT_EQ(api->DownloadFile(url.get(), brokenReferer.get(), path.get(), &result), S_OK);
  EXPECT_EQ(api->DownloadFile(url.get(), referer.get(), brokenPath.get(), &result), S_OK);
  EXPECT_EQ(api->DownloadFile(brokenUrl.get(), referer.get(), path.get(), &result), S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(api->DownloadFile(url.get(), referer.get(), path.get(), &result), S_OK);
  testing::SetString(registry_, CurrentUser, keys::Main, values::ProgramPath, manager_.ProgramPath());
  EXPECT_EQ(api->TQUninstall(), S_OK);

  const auto records = manager_.WaitForEntries("RECORD", 1, kWait);
  ASSERT_EQ(records.size(), 1u) << "nothing sent for a line break";
  EXPECT_EQ(records[0].bytes, "URL=http://files.example/a.zip\nReferer=http://files.example/page\nPath=C:\\dl\\a.zip");
  EXPECT_EQ(manager_.WaitForEntries("UNINSTALL", 1, kWait).size(), 1u);
}

TEST_F(ApiObjectWineTest, ReferencesFromTwoThreadsAtOnceAreAllCounted) {
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
