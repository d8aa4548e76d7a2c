// The browser host's stand-in protocol object around the real HTTPPlugProt
// of vrpph.dll: aggregated as urlmon aggregates it, it aggregates the
// handler in turn, passes calls through, notes Start's answers and leaves
// no reference behind.
#include <windows.h>
#include <objbase.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include "recording_factory.h"
#include "vrpph_idl.h"
#include "wine/support/counting_outer.h"
#include "wine/support/interception_settings.h"
#include "wine/support/strict_sink.h"
#include "wine/support/test_bind_info.h"
#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

using browser_host::ComRef;
using browser_host::RecordingFactory;
using browser_host::StartLog;
using CanUnloadNow = HRESULT(WINAPI*)();
using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

template <typename Interface>
void** Out(Interface** pointer) {
  return reinterpret_cast<void**>(pointer);
}

class RecordingProtocolWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(dll_.get(), nullptr);
    ComRef<IClassFactory> handlerFactory;
    ASSERT_EQ(dll_.Export<GetClassObject>("DllGetClassObject")(CLSID_HTTPPlugProt, IID_IClassFactory,
                                                               Out(handlerFactory.put())),
              S_OK);
    factory_ = RecordingFactory::Create(std::move(handlerFactory), log_);
    ASSERT_TRUE(factory_);
  }
  [[nodiscard]] bool DllUnloadable() const { return dll_.Export<CanUnloadNow>("DllCanUnloadNow")() == S_OK; }

  // Declines are answered by the result alone; the log keeps the sink.
  StrictSink sink_{StrictSink::NoCalls()};
  LoadedDll dll_;
  SeededSettings settings_;
  StartLog log_;
  ComRef<IClassFactory> factory_;
};

TEST_F(RecordingProtocolWineTest, StartIsPassedThroughAndItsAnswerNoted) {
  settings_.Main(values::AcceptingTypes, "ZIP, ");
  ComRef<IInternetProtocol> protocol;
  ASSERT_EQ(factory_->CreateInstance(nullptr, IID_IInternetProtocol, Out(protocol.put())), S_OK);
  auto bindInfo = TestBindInfo::Get();
  EXPECT_EQ(protocol->Start(L"http://host/page.html", &sink_, &bindInfo, 0, 0), INET_E_USE_DEFAULT_PROTOCOLHANDLER);
  EXPECT_EQ(protocol->Start(L"http://host/dir/", &sink_, &bindInfo, 0, 0), INET_E_USE_DEFAULT_PROTOCOLHANDLER);
  ASSERT_EQ(log_.Count(), 2u);
  EXPECT_EQ(log_.At(0)->url, L"http://host/page.html");
  EXPECT_EQ(log_.At(0)->result, INET_E_USE_DEFAULT_PROTOCOLHANDLER);
  EXPECT_EQ(log_.At(1)->url, L"http://host/dir/");
  EXPECT_FALSE(log_.At(2));
}

TEST_F(RecordingProtocolWineTest, TheOtherCallsGiveTheHandlersOwnAnswers) {
  ComRef<IInternetProtocol> protocol;
  ASSERT_EQ(factory_->CreateInstance(nullptr, IID_IInternetProtocol, Out(protocol.put())), S_OK);
  EXPECT_EQ(protocol->Continue(nullptr), E_NOTIMPL);
  EXPECT_EQ(protocol->Abort(E_ABORT, 0), E_NOTIMPL);
  EXPECT_EQ(protocol->Terminate(0), E_NOTIMPL);
  EXPECT_EQ(protocol->Suspend(), E_NOTIMPL);
  EXPECT_EQ(protocol->Resume(), E_NOTIMPL);
  EXPECT_EQ(protocol->Read(nullptr, 0, nullptr), E_NOTIMPL);
  EXPECT_EQ(protocol->Seek({}, 0, nullptr), E_NOTIMPL);
  EXPECT_EQ(protocol->LockRequest(0), S_OK);
  EXPECT_EQ(protocol->UnlockRequest(), S_OK);
  EXPECT_EQ(log_.Count(), 0u);
}

TEST_F(RecordingProtocolWineTest, AggregatedItCountsOnItsOuterObjectAndLeavesNothingBehind) {
  CountingOuter outer;
  ComRef<IUnknown> inner;
  EXPECT_EQ(factory_->CreateInstance(&outer, IID_IInternetProtocol, Out(inner.put())), CLASS_E_NOAGGREGATION);
  EXPECT_FALSE(inner);
  ASSERT_EQ(factory_->CreateInstance(&outer, IID_IUnknown, Out(inner.put())), S_OK);
  EXPECT_EQ(outer.references, 1) << "the inner part does not hold its outer object";

  IInternetProtocolRoot* root = nullptr;
  ASSERT_EQ(inner->QueryInterface(IID_IInternetProtocolRoot, Out(&root)), S_OK);
  EXPECT_EQ(outer.references, 2) << "its interfaces count on the outer object";
  IUnknown* identity = nullptr;
  ASSERT_EQ(root->QueryInterface(IID_IUnknown, Out(&identity)), S_OK);
  EXPECT_EQ(identity, static_cast<IUnknown*>(&outer)) << "and answer with its identity";
  identity->Release();
  root->Release();
  EXPECT_EQ(outer.references, 1);

  inner.reset();
  factory_.reset();
  EXPECT_TRUE(DllUnloadable()) << "the aggregated handler and the class object are released";
}

TEST_F(RecordingProtocolWineTest, ItOffersTheProtocolInterfacesOnly) {
  ComRef<IUnknown> object;
  ASSERT_EQ(factory_->CreateInstance(nullptr, IID_IUnknown, Out(object.put())), S_OK);
  IDispatch* dispatch = nullptr;
  EXPECT_EQ(object->QueryInterface(IID_IDispatch, Out(&dispatch)), E_NOINTERFACE);
  EXPECT_EQ(dispatch, nullptr);
  IClassFactory* asFactory = nullptr;
  EXPECT_EQ(factory_->QueryInterface(IID_IClassFactory, Out(&asFactory)), S_OK);
  asFactory->Release();
}

TEST_F(RecordingProtocolWineTest, LockingTheFactoryLocksTheHandlersModule) {
  EXPECT_EQ(factory_->LockServer(TRUE), S_OK);
  factory_.reset();
  EXPECT_FALSE(DllUnloadable()) << "the lock reached vrpph.dll";
  ComRef<IClassFactory> handlerFactory;
  ASSERT_EQ(dll_.Export<GetClassObject>("DllGetClassObject")(CLSID_HTTPPlugProt, IID_IClassFactory,
                                                             Out(handlerFactory.put())),
            S_OK);
  EXPECT_EQ(handlerFactory->LockServer(FALSE), S_OK);
  handlerFactory.reset();
  EXPECT_TRUE(DllUnloadable());
}

}  // namespace
}  // namespace vrpph::wine_tests
