// vrpph.dll's class object and HTTPPlugProt's object shells, reached through
// DllGetClassObject as COM reaches them.
#include <windows.h>
#include <objbase.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include "vrpph_idl.h"
#include "wine/support/counting_outer.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

using CanUnloadNow = HRESULT(WINAPI*)();
using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

constexpr IID kForeignInterface = {
    0x0badf00d, 0x1234, 0x5678, {0x9a, 0xbc, 0xde, 0xf0, 0x12, 0x34, 0x56, 0x78}};

template <typename Interface>
void** Out(Interface** pointer) {
  return reinterpret_cast<void**>(pointer);
}

class ComFrameWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(dll_.get(), nullptr);
    getClassObject_ = dll_.Export<GetClassObject>("DllGetClassObject");
    canUnload_ = dll_.Export<CanUnloadNow>("DllCanUnloadNow");
  }
  IClassFactory* Factory() {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(getClassObject_(CLSID_HTTPPlugProt, IID_IClassFactory, Out(&factory)), S_OK);
    return factory;
  }

  LoadedDll dll_;
  GetClassObject getClassObject_ = nullptr;
  CanUnloadNow canUnload_ = nullptr;
};

TEST_F(ComFrameWineTest, TheClassObjectIsMadeOnceAndHeldOnlyByClients) {
  EXPECT_EQ(canUnload_(), S_OK);
  IClassFactory* first = Factory();
  EXPECT_EQ(canUnload_(), S_FALSE);
  IUnknown* second = nullptr;
  ASSERT_EQ(getClassObject_(CLSID_HTTPPlugProt, IID_IUnknown, Out(&second)), S_OK);
  EXPECT_EQ(static_cast<IUnknown*>(first), second);
  second->Release();
  EXPECT_EQ(canUnload_(), S_FALSE);
  first->Release();
  EXPECT_EQ(canUnload_(), S_OK) << "the class table's own reference does not count";
}

TEST_F(ComFrameWineTest, UnknownClassesAndInterfacesAreRefused) {
  void* object = this;
  EXPECT_EQ(getClassObject_(IID_IInternetProtocol, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  IClassFactory* before = Factory();
  before->Release();
  object = this;
  EXPECT_EQ(getClassObject_(CLSID_HTTPPlugProt, IID_IInternetProtocol, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(canUnload_(), S_OK);
  IClassFactory* after = Factory();
  EXPECT_EQ(after, before) << "the class object stays cached";
  after->Release();
}

TEST_F(ComFrameWineTest, LockServerCountsEachCall) {
  IClassFactory* factory = Factory();
  factory->Release();
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(canUnload_(), S_FALSE);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(canUnload_(), S_OK);
}

TEST_F(ComFrameWineTest, AStandaloneObjectAnswersItsTableWithOneIdentity) {
  IClassFactory* factory = Factory();
  IHTTPPlugProt* dual = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IHTTPPlugProt, Out(&dual)), S_OK);
  factory->Release();
  EXPECT_EQ(canUnload_(), S_FALSE) << "a live object keeps the module";

  IDispatch* dispatch = nullptr;
  IInternetProtocol* protocol = nullptr;
  IInternetProtocolRoot* root = nullptr;
  IUnknown* viaDual = nullptr;
  IUnknown* viaProtocol = nullptr;
  ASSERT_EQ(dual->QueryInterface(IID_IDispatch, Out(&dispatch)), S_OK);
  ASSERT_EQ(dual->QueryInterface(IID_IInternetProtocol, Out(&protocol)), S_OK);
  ASSERT_EQ(protocol->QueryInterface(IID_IInternetProtocolRoot, Out(&root)), S_OK);
  ASSERT_EQ(dual->QueryInterface(IID_IUnknown, Out(&viaDual)), S_OK);
  ASSERT_EQ(protocol->QueryInterface(IID_IUnknown, Out(&viaProtocol)), S_OK);
  EXPECT_EQ(static_cast<void*>(dispatch), static_cast<void*>(dual));
  EXPECT_EQ(static_cast<void*>(root), static_cast<void*>(protocol));
  EXPECT_EQ(viaDual, viaProtocol);
  EXPECT_EQ(static_cast<void*>(viaDual), static_cast<void*>(dual)) << "the first row is the identity";

  void* none = this;
  EXPECT_EQ(protocol->QueryInterface(kForeignInterface, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(protocol->QueryInterface(IID_IInternetProtocol, nullptr), E_POINTER);

  EXPECT_EQ(dual->AddRef(), 7u);
  EXPECT_EQ(protocol->Release(), 6u) << "both pointers share one count";
  for (IUnknown* held : std::initializer_list<IUnknown*>{dispatch, protocol, root, viaDual, viaProtocol}) {
    held->Release();
  }
  EXPECT_EQ(canUnload_(), S_FALSE);
  EXPECT_EQ(dual->Release(), 0u);
  EXPECT_EQ(canUnload_(), S_OK);
}

TEST_F(ComFrameWineTest, AFailedCreationLeavesNoLock) {
  IClassFactory* factory = Factory();
  void* object = this;
  EXPECT_EQ(factory->CreateInstance(nullptr, kForeignInterface, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
  factory->Release();
  EXPECT_EQ(canUnload_(), S_OK);
}

TEST_F(ComFrameWineTest, AggregationHandsOutTheInnerUnknownOnly) {
  IClassFactory* factory = Factory();
  CountingOuter outer;
  void* object = this;
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IInternetProtocol, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  IUnknown* inner = nullptr;
  ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, Out(&inner)), S_OK);
  factory->Release();
  EXPECT_EQ(outer.references, 1) << "the outer object is not counted";

  IInternetProtocol* protocol = nullptr;
  ASSERT_EQ(inner->QueryInterface(IID_IInternetProtocol, Out(&protocol)), S_OK);
  EXPECT_EQ(outer.references, 2) << "the inner object's interfaces count on the outer object";
  IUnknown* identity = nullptr;
  ASSERT_EQ(protocol->QueryInterface(IID_IUnknown, Out(&identity)), S_OK);
  EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
  identity->Release();
  IHTTPPlugProt* dual = nullptr;
  const int queries = outer.queries;
  ASSERT_EQ(protocol->QueryInterface(IID_IHTTPPlugProt, Out(&dual)), S_OK);
  EXPECT_EQ(outer.queries, queries + 1) << "the outer object is asked first";
  EXPECT_EQ(outer.references, 3);
  EXPECT_EQ(dual->Release(), 2u);
  EXPECT_EQ(protocol->Release(), 1u);
  EXPECT_EQ(canUnload_(), S_FALSE);
  EXPECT_EQ(inner->Release(), 0u);
  EXPECT_EQ(canUnload_(), S_OK);
}

TEST_F(ComFrameWineTest, OnlyStartDoesWork) {
  IClassFactory* factory = Factory();
  IInternetProtocol* protocol = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IInternetProtocol, Out(&protocol)), S_OK);
  factory->Release();
  EXPECT_EQ(protocol->Continue(nullptr), E_NOTIMPL);
  EXPECT_EQ(protocol->Abort(E_FAIL, 0), E_NOTIMPL);
  EXPECT_EQ(protocol->Terminate(0), E_NOTIMPL);
  EXPECT_EQ(protocol->Suspend(), E_NOTIMPL);
  EXPECT_EQ(protocol->Resume(), E_NOTIMPL);
  char buffer[4];
  ULONG read = 7;
  EXPECT_EQ(protocol->Read(buffer, sizeof buffer, &read), E_NOTIMPL);
  EXPECT_EQ(read, 7u);
  LARGE_INTEGER move{};
  EXPECT_EQ(protocol->Seek(move, 0, nullptr), E_NOTIMPL);
  EXPECT_EQ(protocol->LockRequest(0), S_OK);
  EXPECT_EQ(protocol->UnlockRequest(), S_OK);
  protocol->Release();
}

}  // namespace
}  // namespace vrpph::wine_tests
