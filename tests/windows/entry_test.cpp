// The DLL's entry points, class factory and plug-in object, reached exactly as the driver's UI
// module reaches them: LoadLibraryW, DllGetClassObject, CreateInstance.
#include "support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace cvtest;

namespace {

// {00000000-0000-0000-0000-0000000000AB}: an interface nobody implements.
constexpr GUID kUnknownIid = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0xab}};

HRESULT CanUnload() {
    return PluginDll::Get().canUnloadNow();
}

// A fresh plug-in object, as the host creates it.
struct Plugin : ::testing::Test {
    ComPtr<IPrintOemUI2> plugin{PluginDll::Get().CreatePlugin()};
    void SetUp() override { ASSERT_TRUE(plugin.get()); }
};

// What is refused leaves nothing alive; locks and live objects keep the module.
TEST(Entry, RefusalsLocksAndLiveObjectsDecideUnloading) {
    auto& dll = PluginDll::Get();
    ASSERT_NE(dll.getClassObject, nullptr);
    EXPECT_EQ(dll.getClassObject(CLSID_CorvanePlugin, IID_IClassFactory, nullptr), E_POINTER);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.getClassObject(kUnknownIid, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(dll.getClassObject(CLSID_CorvanePlugin, kUnknownIid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(CanUnload(), S_OK) << "a refused factory must not stay alive";

    ComPtr<IClassFactory> factory(dll.Factory());
    ASSERT_TRUE(factory.get());
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->QueryInterface(IID_IPrintOemUI2_, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->CreateInstance(factory.get(), IID_IPrintOemUI2_, &out),
              CLASS_E_NOAGGREGATION);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.reset();
    EXPECT_EQ(CanUnload(), S_FALSE) << "a server lock keeps the module";
    EXPECT_EQ(ComPtr<IClassFactory>(dll.Factory())->LockServer(FALSE), S_OK);
    EXPECT_EQ(CanUnload(), S_OK) << "an object refused at creation must not stay alive";
    {
        ComPtr<IPrintOemUI2> plugin(dll.CreatePlugin());
        ASSERT_TRUE(plugin.get());
        EXPECT_EQ(CanUnload(), S_FALSE) << "a live plug-in object keeps the module";
        ASSERT_EQ(plugin->QueryInterface(IID_IUnknown, &out), S_OK);
        EXPECT_EQ(out, plugin.get());
        EXPECT_EQ(static_cast<IUnknown*>(out)->Release(), 1u);
        EXPECT_EQ(plugin->QueryInterface(IID_IPrintCoreUI2_, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(CanUnload(), S_OK);
    // The last Release of either says so with 0.
    EXPECT_EQ(dll.CreatePlugin()->Release(), 0u);
    EXPECT_EQ(dll.Factory()->Release(), 0u);
}

TEST_F(Plugin, ReferenceCountIsExactUnderConcurrency) {
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&] {
            while (!go)
                std::this_thread::yield();
            for (int i = 0; i < 100000; ++i) {
                plugin->AddRef();
                plugin->Release();
            }
        });
    go = true;
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(plugin->AddRef(), 2u);
    EXPECT_EQ(plugin->Release(), 1u);
}

// GetInfo, and the methods whose answer is only a refusal or E_NOTIMPL (the driver's standard
// pages stay, whatever the mode).
TEST_F(Plugin, GetInfoAnswersAndRefusals) {
    DWORD value = 0, needed = 0;
    ASSERT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, &value, 4, &needed), S_OK);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&value), 4), "NVRC");
    EXPECT_EQ(needed, 4u);

    const struct {
        DWORD mode;
        void* buffer;
        DWORD size;
        DWORD* needed;
        DWORD lastError;
    } refusals[] = {
        {OEMGI_GETSIGNATURE, &value, 3, &needed, ERROR_INSUFFICIENT_BUFFER},
        {OEMGI_GETSIGNATURE, nullptr, 4, &needed, ERROR_INSUFFICIENT_BUFFER},
        {OEMGI_GETPUBLISHERINFO, &value, 4, &needed, ERROR_NOT_SUPPORTED},
        {0, &value, 4, &needed, ERROR_INVALID_PARAMETER},
        {OEMGI_GETINTERFACEVERSION, &value, 4, &needed, ERROR_INVALID_PARAMETER},
        {5, &value, 4, &needed, ERROR_INVALID_PARAMETER},
        {OEMGI_GETSIGNATURE, &value, 4, nullptr, ERROR_INVALID_PARAMETER},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(::testing::Message() << "mode " << r.mode << " size " << r.size);
        SetLastError(0);
        EXPECT_EQ(plugin->GetInfo(r.mode, r.buffer, r.size, r.needed), E_FAIL);
        EXPECT_EQ(GetLastError(), r.lastError);
    }
    for (DWORD mode : {DWORD(0), DWORD(OEMCUIP_DOCPROP), DWORD(OEMCUIP_PRNPROP)})
        EXPECT_EQ(plugin->HideStandardUI(mode), E_NOTIMPL) << mode;
    // Parameter blocks that cannot be read: none, another version, an unknown tree mode.
    const auto expectRefused = [](HRESULT hr) {
        EXPECT_EQ(hr, E_FAIL);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
        SetLastError(0);
    };
    PROPSHEETUI_INFO info{sizeof info, 0x0200};
    OEMCUIPPARAM param{sizeof param};
    SetLastError(0);
    expectRefused(plugin->DocumentPropertySheets(nullptr, 0));
    expectRefused(plugin->DevicePropertySheets(nullptr, 0));
    expectRefused(plugin->DocumentPropertySheets(&info, 0));
    expectRefused(plugin->DevicePropertySheets(&info, 0));
    expectRefused(plugin->CommonUIProp(3, &param));
    expectRefused(plugin->CommonUIProp(OEMCUIP_DOCPROP, nullptr));
}

// The host calls through raw vtable slots; check the slots themselves, not our header's view.
TEST_F(Plugin, VtableSlotsAndDocumentEvent) {
    void** vtable = *reinterpret_cast<void***>(plugin.get());
    using GetInfoFn = HRESULT(STDMETHODCALLTYPE*)(void*, DWORD, PVOID, DWORD, PDWORD);
    DWORD value = 0, needed = 0;
    auto getInfo = reinterpret_cast<GetInfoFn>(vtable[cvabi::kSlotGetInfo]);
    ASSERT_EQ(getInfo(plugin.get(), OEMGI_GETVERSION, &value, 4, &needed), S_OK);
    EXPECT_EQ(value, 10u);
    // DocumentEvent through its slot: the filter asks for no events. A buffer that ends before
    // the count is treated as none (nothing is written into it); one that ends right after it
    // is enough.
    using DocEventFn =
        HRESULT(STDMETHODCALLTYPE*)(void*, HANDLE, HDC, INT, ULONG, PVOID, ULONG, PVOID, PINT);
    auto docEvent = reinterpret_cast<DocEventFn>(vtable[cvabi::kSlotDocumentEvent]);
    struct {
        DOCEVENT_FILTER filter;
        DWORD more[8];
    } buffer{};
    constexpr ULONG countEnd = offsetof(DOCEVENT_FILTER, cElementsReturned) + sizeof(UINT);
    const struct {
        ULONG size;
        UINT returned;
        INT result;
    } cases[] = {{sizeof buffer, 0, DOCUMENTEVENT_SUCCESS},
                 {countEnd - 1, 5, DOCUMENTEVENT_FAILURE},
                 {countEnd, 0, DOCUMENTEVENT_SUCCESS}};
    for (const auto& c : cases) {
        buffer.filter.cbSize = sizeof buffer;
        buffer.filter.cElementsAllocated = 9;
        buffer.filter.cElementsReturned = 5;
        INT result = 0;
        EXPECT_EQ(docEvent(plugin.get(), nullptr, nullptr, DOCUMENTEVENT_QUERYFILTER, 0, nullptr,
                           c.size, &buffer, &result),
                  S_OK);
        EXPECT_EQ(buffer.filter.cElementsReturned, c.returned) << c.size;
        EXPECT_EQ(result, c.result) << c.size;
    }
    // No buffer: the filter fails; no result to write: the call fails.
    INT result = 0;
    EXPECT_EQ(plugin->DocumentEvent(nullptr, nullptr, DOCUMENTEVENT_QUERYFILTER, 0, nullptr, 0,
                                    nullptr, &result),
              S_OK);
    EXPECT_EQ(result, DOCUMENTEVENT_FAILURE);
    EXPECT_EQ(plugin->DocumentEvent(nullptr, nullptr, DOCUMENTEVENT_STARTDOC, 0, nullptr, 0,
                                    nullptr, nullptr),
              E_FAIL);
}

// A stand-in for the driver's object: counts the questions asked of it. The plug-in only keeps
// and releases what it is given here, so a bare IUnknown answering for IPrintCoreUI2 does.
struct FakeDriver : IUnknown {
    LONG refs = 1;
    int queries = 0;
    bool offerCoreUI = true;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        ++queries;
        *ppv = offerCoreUI && IsEqualIID(riid, IID_IPrintCoreUI2_) ? this : nullptr;
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(Entry, PublishDriverInterfaceAsksOnceAndReleasesAtTheEnd) {
    FakeDriver driver;
    {
        ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
        ASSERT_TRUE(plugin.get());
        EXPECT_EQ(plugin->PublishDriverInterface(&driver), S_OK);
        EXPECT_EQ(driver.refs, 2);
        EXPECT_EQ(plugin->PublishDriverInterface(&driver), S_OK);
        EXPECT_EQ(driver.queries, 1) << "a second publish must not ask again";
    }
    EXPECT_EQ(driver.refs, 1) << "the driver interface is released with the object";

    FakeDriver refusing;
    refusing.offerCoreUI = false;
    ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
    EXPECT_EQ(plugin->PublishDriverInterface(&refusing), E_FAIL);
    refusing.offerCoreUI = true;
    EXPECT_EQ(plugin->PublishDriverInterface(&refusing), S_OK) << "a failure keeps coreUI unset";
    EXPECT_EQ(refusing.queries, 2);
    EXPECT_EQ(plugin->PublishDriverInterface(nullptr), S_OK) << "held already";
    ComPtr<IPrintOemUI2> fresh(PluginDll::Get().CreatePlugin());
    EXPECT_EQ(fresh->PublishDriverInterface(nullptr), E_FAIL);
}

} // namespace
