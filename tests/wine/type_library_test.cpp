// The type library widl builds from the IDL, and HTTPPlugProt's IDispatch
// answering through it once it is registered, and failing while it is not.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/com_ref.h"
#include "vrpph_idl.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

using platform::ComRef;
// The library's own locale: the registered library is found for it.
constexpr LCID kEnglish = 0x0409;

std::wstring TestTypeLibraryPath() {
  const std::string path = VrpphDllPath();
  std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
  folder += VRPPH_TYPE_LIBRARY_NAME;
  return std::wstring(folder.begin(), folder.end());
}

std::wstring Documentation(ITypeLib* library, int index) {
  BSTR name = nullptr;
  BSTR help = nullptr;
  library->GetDocumentation(index, &name, &help, nullptr, nullptr);
  std::wstring text = std::wstring(name ? name : L"") + L"|" + (help ? help : L"");
  SysFreeString(name);
  SysFreeString(help);
  return text;
}

TEST(TypeLibraryFileWineTest, DescribesBothClassesAndTheirDualInterfaces) {
  ComRef<ITypeLib> library;
  ASSERT_EQ(LoadTypeLibEx(TestTypeLibraryPath().c_str(), REGKIND_NONE, library.put()), S_OK);
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_VRPPHLib));
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  EXPECT_EQ(attributes->lcid, 0x0409u);
  EXPECT_EQ(attributes->syskind, kModuleSysKind);
  // The loader adds the mark of a library read from a file; the library
  // itself declares no flags.
  EXPECT_EQ(attributes->wLibFlags & ~LIBFLAG_FHASDISKIMAGE, 0);
  library->ReleaseTLibAttr(attributes);
  EXPECT_EQ(Documentation(library.get(), -1), L"VRPPHLib|vrpph 1.0 Type Library");

  struct Expected {
    const GUID* guid;
    const wchar_t* documentation;
    TYPEKIND kind;
  };
  for (const Expected& item : {Expected{&CLSID_HTTPPlugProt, L"HTTPPlugProt|HTTPPlugProt Class", TKIND_COCLASS},
                               Expected{&CLSID_API, L"API|API Class", TKIND_COCLASS},
                               Expected{&IID_IHTTPPlugProt, L"IHTTPPlugProt|IHTTPPlugProt Interface", TKIND_DISPATCH},
                               Expected{&IID_IAPI, L"IAPI|IAPI Interface", TKIND_DISPATCH}}) {
    ComRef<ITypeInfo> info;
    ASSERT_EQ(library->GetTypeInfoOfGuid(*item.guid, info.put()), S_OK);
    TYPEATTR* type = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
    EXPECT_EQ(type->typekind, item.kind);
    if (item.kind == TKIND_COCLASS) {
      EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FCANCREATE);
      EXPECT_EQ(type->cImplTypes, 1);
      INT flags = 0;
      EXPECT_EQ(info->GetImplTypeFlags(0, &flags), S_OK);
      EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
    } else {
      EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FDUAL);
      // The interface's own view carries the automation mark.
      HREFTYPE reference = 0;
      ComRef<ITypeInfo> vtableView;
      ASSERT_EQ(info->GetRefTypeOfImplType(-1, &reference), S_OK);
      ASSERT_EQ(info->GetRefTypeInfo(reference, vtableView.put()), S_OK);
      TYPEATTR* vtableType = nullptr;
      ASSERT_EQ(vtableView->GetTypeAttr(&vtableType), S_OK);
      EXPECT_EQ(vtableType->typekind, TKIND_INTERFACE);
      EXPECT_TRUE(vtableType->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
      EXPECT_TRUE(vtableType->wTypeFlags & TYPEFLAG_FDUAL);
      vtableView->ReleaseTypeAttr(vtableType);
    }
    info->ReleaseTypeAttr(type);
    BSTR name = nullptr;
    BSTR help = nullptr;
    ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr), S_OK);
    EXPECT_EQ(std::wstring(name) + L"|" + help, item.documentation);
    SysFreeString(name);
    SysFreeString(help);
  }
}

TEST(TypeLibraryFileWineTest, IapiHasItsTwoMethodsInSlotsEightAndNine) {
  ComRef<ITypeLib> library;
  ASSERT_EQ(LoadTypeLibEx(TestTypeLibraryPath().c_str(), REGKIND_NONE, library.put()), S_OK);
  ComRef<ITypeInfo> dispatchView;
  ASSERT_EQ(library->GetTypeInfoOfGuid(IID_IAPI, dispatchView.put()), S_OK);
  // The interface's own table, as the dual interface's vtable sees it.
  HREFTYPE reference = 0;
  ASSERT_EQ(dispatchView->GetRefTypeOfImplType(-1, &reference), S_OK);
  ComRef<ITypeInfo> info;
  ASSERT_EQ(dispatchView->GetRefTypeInfo(reference, info.put()), S_OK);
  TYPEATTR* type = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
  EXPECT_EQ(type->typekind, TKIND_INTERFACE);
  ASSERT_EQ(type->cFuncs, 2);
  info->ReleaseTypeAttr(type);

  FUNCDESC* download = nullptr;
  ASSERT_EQ(info->GetFuncDesc(0, &download), S_OK);
  EXPECT_EQ(download->memid, 1);
  EXPECT_EQ(download->oVft, 7 * static_cast<short>(sizeof(void*)));
  EXPECT_EQ(download->callconv, CC_STDCALL);
  EXPECT_EQ(download->elemdescFunc.tdesc.vt, VT_HRESULT);
  ASSERT_EQ(download->cParams, 4);
  const USHORT expectedFlags[4] = {PARAMFLAG_FIN, PARAMFLAG_NONE, PARAMFLAG_NONE,
                                   PARAMFLAG_FOUT | PARAMFLAG_FRETVAL};
  for (int p = 0; p < 3; ++p) EXPECT_EQ(download->lprgelemdescParam[p].tdesc.vt, VT_BSTR) << p;
  EXPECT_EQ(download->lprgelemdescParam[3].tdesc.vt, VT_PTR);
  EXPECT_EQ(download->lprgelemdescParam[3].tdesc.lptdesc->vt, VT_I2);
  for (int p = 0; p < 4; ++p) EXPECT_EQ(download->lprgelemdescParam[p].paramdesc.wParamFlags, expectedFlags[p]) << p;
  info->ReleaseFuncDesc(download);

  FUNCDESC* uninstall = nullptr;
  ASSERT_EQ(info->GetFuncDesc(1, &uninstall), S_OK);
  EXPECT_EQ(uninstall->memid, 2);
  EXPECT_EQ(uninstall->oVft, 8 * static_cast<short>(sizeof(void*)));
  EXPECT_EQ(uninstall->cParams, 0);
  info->ReleaseFuncDesc(uninstall);

  BSTR help = nullptr;
  ASSERT_EQ(info->GetDocumentation(1, nullptr, &help, nullptr, nullptr), S_OK);
  EXPECT_STREQ(help, L"method DownloadFile");
  SysFreeString(help);
  ASSERT_EQ(info->GetDocumentation(2, nullptr, &help, nullptr, nullptr), S_OK);
  EXPECT_STREQ(help, L"method TQUninstall");
  SysFreeString(help);
}

class PlugProtDispatchWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    // Nothing of ours is registered unless a test does it.
    UnRegisterTypeLib(LIBID_VRPPHLib, 1, 0, 0x0409, kModuleSysKind);
    ASSERT_NE(dll_.get(), nullptr);
    ASSERT_EQ(dll_.CreateInstance(CLSID_HTTPPlugProt, IID_IDispatch, reinterpret_cast<void**>(&dispatch_)), S_OK);
  }
  void TearDown() override {
    if (dispatch_) dispatch_->Release();
    UnRegisterTypeLib(LIBID_VRPPHLib, 1, 0, 0x0409, kModuleSysKind);
    CoUninitialize();
  }
  void RegisterTestLibrary() {
    ComRef<ITypeLib> library;
    std::wstring path = TestTypeLibraryPath();
    ASSERT_EQ(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()), S_OK);
    ASSERT_EQ(RegisterTypeLib(library.get(), path.data(), nullptr), S_OK);
  }

  LoadedDll dll_;
  IDispatch* dispatch_ = nullptr;
};

TEST_F(PlugProtDispatchWineTest, CountsOneTypeInformation) {
  UINT count = 7;
  EXPECT_EQ(dispatch_->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(dispatch_->GetTypeInfoCount(nullptr), E_POINTER);
}

TEST_F(PlugProtDispatchWineTest, WithoutTheRegisteredLibraryEveryLookupFails) {
  ITypeInfo* info = reinterpret_cast<ITypeInfo*>(this);
  EXPECT_EQ(dispatch_->GetTypeInfo(0, 0, &info), TYPE_E_LIBNOTREGISTERED);
  EXPECT_EQ(info, nullptr);
  EXPECT_EQ(dispatch_->GetTypeInfo(0, 0, nullptr), E_POINTER);
  LPOLESTR name = const_cast<LPOLESTR>(L"Anything");
  DISPID id = 42;
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), TYPE_E_LIBNOTREGISTERED);
  EXPECT_EQ(id, 42);
  DISPPARAMS none{};
  EXPECT_EQ(dispatch_->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            TYPE_E_LIBNOTREGISTERED);
  // A failed load is tried again: once registered, the same object answers.
  RegisterTestLibrary();
  EXPECT_EQ(dispatch_->GetTypeInfo(0, kEnglish, &info), S_OK);
  ASSERT_NE(info, nullptr);
  info->Release();
}

TEST_F(PlugProtDispatchWineTest, OneTypeInformationForEveryIndexAndLocale) {
  RegisterTestLibrary();
  ComRef<ITypeInfo> first;
  ComRef<ITypeInfo> second;
  ASSERT_EQ(dispatch_->GetTypeInfo(0, kEnglish, first.put()), S_OK);
  ASSERT_EQ(dispatch_->GetTypeInfo(5, 0x0407, second.put()), S_OK);
  EXPECT_EQ(first.get(), second.get());
  TYPEATTR* type = nullptr;
  ASSERT_EQ(first->GetTypeAttr(&type), S_OK);
  EXPECT_TRUE(IsEqualGUID(type->guid, IID_IHTTPPlugProt));
  first->ReleaseTypeAttr(type);
}

TEST_F(PlugProtDispatchWineTest, NamesResolveThroughTheTypeInformation) {
  RegisterTestLibrary();
  ComRef<ITypeInfo> info;
  ASSERT_EQ(dispatch_->GetTypeInfo(0, kEnglish, info.put()), S_OK);
  // The dispatch view lists IDispatch's own methods; ask it directly for
  // the id the cache must agree with.
  LPOLESTR known = const_cast<LPOLESTR>(L"GetTypeInfoCount");
  MEMBERID expected = 0;
  ASSERT_EQ(info->GetIDsOfNames(&known, 1, &expected), S_OK);
  DISPID id = 0;
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, &known, 1, 0, &id), S_OK);
  EXPECT_EQ(id, expected);
  LPOLESTR otherCase = const_cast<LPOLESTR>(L"gettypeinfocount");
  id = 0;
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, &otherCase, 1, 0, &id), S_OK) << "answered by the type information";
  EXPECT_EQ(id, expected);

  LPOLESTR names[2] = {const_cast<LPOLESTR>(L"NoSuchMethod"), known};
  DISPID ids[2] = {7, 7};
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[1], 7) << "the name after the unknown one is not looked at";
}

}  // namespace
}  // namespace vrpph::wine_tests
