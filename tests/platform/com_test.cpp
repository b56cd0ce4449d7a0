// COM basics: GUID layout and comparison, the standard interface ids, and the
// slot order of IUnknown and IClassFactory as an implementation sees them.
#include "com.h"

#include <gtest/gtest.h>

namespace {

const CLSID kDriverClass = {0x5B3E0C71, 0x7A24, 0x4D19, {0x8E, 0x62, 0x0F, 0x4A, 0x9C, 0x2D, 0x7B, 0x35}};

TEST(Com, GuidsCompareAllSixteenBytes) {
    static_assert(sizeof(GUID) == 16);
    static_assert(sizeof(HRESULT) == 4);
    const IID unknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    const IID factory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    EXPECT_TRUE(IsEqualIID(IID_IUnknown, unknown));
    EXPECT_TRUE(IsEqualIID(IID_IClassFactory, factory));
    EXPECT_TRUE(IID_IUnknown != IID_IClassFactory);
    CLSID almost = kDriverClass;
    almost.Data4[7] ^= 1;
    EXPECT_FALSE(IsEqualCLSID(almost, kDriverClass));
    EXPECT_TRUE(kDriverClass == kDriverClass);
}

TEST(Com, ResultCodesHaveTheirWindowsValues) {
    struct Case {
        HRESULT code;
        uint32_t value;
        bool failed;
    };
    static const Case kCases[] = {
        {S_OK, 0, false},
        {S_FALSE, 1, false},
        {E_NOINTERFACE, 0x80004002, true},
        {E_POINTER, 0x80004003, true},
        {E_OUTOFMEMORY, 0x8007000E, true},
        {CLASS_E_CLASSNOTAVAILABLE, 0x80040111, true},
        {CLASS_E_NOAGGREGATION, 0x80040110, true},
        {SELFREG_E_CLASS, 0x80040201, true},
        {E_FAIL, 0x80004005, true},
        {E_UNEXPECTED, 0x8000FFFF, true},
        {E_INVALIDARG, 0x80070057, true},
        {E_NOTIMPL, 0x80004001, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.value);
        EXPECT_EQ(static_cast<uint32_t>(c.code), c.value);
        EXPECT_EQ(FAILED(c.code), c.failed);
        EXPECT_EQ(SUCCEEDED(c.code), !c.failed);
    }
}

// A minimal class factory, used through base-class pointers as a host would.
class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID, void** ppv) override {
        if (!ppv) return E_POINTER;
        return outer ? CLASS_E_NOAGGREGATION : E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        m_locks += lock ? 1 : -1;
        return S_OK;
    }
    ULONG m_refs = 1;
    int m_locks = 0;
};

TEST(Com, InterfacesDispatchThroughTheirBases) {
    Factory factory;
    IUnknown* unknown = &factory;
    void* result = nullptr;
    EXPECT_EQ(unknown->QueryInterface(IID_IClassFactory, &result), S_OK);
    auto* asFactory = static_cast<IClassFactory*>(result);
    EXPECT_EQ(asFactory, static_cast<IClassFactory*>(&factory));
    EXPECT_EQ(factory.m_refs, 2u);
    EXPECT_EQ(asFactory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory.m_locks, 1);
    EXPECT_EQ(asFactory->CreateInstance(unknown, IID_IUnknown, &result), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(unknown->QueryInterface(kDriverClass, &result), E_NOINTERFACE);
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(asFactory->Release(), 1u);
}

}  // namespace
