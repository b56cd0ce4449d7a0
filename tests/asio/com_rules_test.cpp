// The COM rules, through the exports of the built library as a host reaches
// them, and at class level where the object model itself is the subject.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "asio/iasio.h"
#include "asio_test_support.h"
#include "com_unknown.h"
#include "driver_ids.h"
#include "driver_library.h"

namespace {

using asiotest::DriverLibrary;
using asiotest::Units;

// {6A1C2E55-0B7D-4C8E-9F10-2B3C4D5E6F70}: an id nobody implements.
const GUID kOtherId = {0x6A1C2E55, 0x0B7D, 0x4C8E, {0x9F, 0x10, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x70}};

class ComRules : public ::testing::Test {
protected:
    ComRules() : m_unit(Units("1:")), m_install(m_unit), m_lib(MX_DRIVER_LIBRARY_64) {}

    IClassFactory* Factory() {
        void* p = nullptr;
        EXPECT_EQ(m_lib.GetClassObject(kDriverClassId, IID_IClassFactory, &p), S_OK);
        return static_cast<IClassFactory*>(p);
    }

    vu::VirtualUnit m_unit;
    vu::ScopedInstall m_install;
    DriverLibrary m_lib;
};

TEST_F(ComRules, LibraryExportsTheFiveFunctionsAndNothingOfTheDriver) {
    ASSERT_TRUE(m_lib.Loaded());
    EXPECT_EQ(m_lib.Symbol("_ZN8AsioOursC1EP8IUnknown"), nullptr);
    EXPECT_EQ(m_lib.RegisterServer(), S_OK);
    EXPECT_EQ(m_lib.UnregisterServer(), S_OK);
    EXPECT_EQ(m_lib.EntryPoint(nullptr, DLL_THREAD_ATTACH, nullptr), TRUE);
}

TEST_F(ComRules, GetClassObjectAnswersByClassAndInterface) {
    ASSERT_TRUE(m_lib.Loaded());
    struct Case {
        const char* name;
        const GUID* clsid;
        const GUID* iid;
        HRESULT expected;
    };
    static const Case kCases[] = {
        {"driver class, IClassFactory", &kDriverClassId, &IID_IClassFactory, S_OK},
        {"driver class, IUnknown", &kDriverClassId, &IID_IUnknown, S_OK},
        {"driver class, its own id as interface", &kDriverClassId, &kDriverClassId, E_NOINTERFACE},
        {"driver class, another interface", &kDriverClassId, &kOtherId, E_NOINTERFACE},
        {"another class, IClassFactory", &kOtherId, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
        {"another class, another interface", &kOtherId, &kOtherId, E_NOINTERFACE},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        void* sentinel = reinterpret_cast<void*>(0x1234);
        void* p = sentinel;
        EXPECT_EQ(m_lib.GetClassObject(*c.clsid, *c.iid, &p), c.expected);
        if (c.expected == S_OK) {
            ASSERT_NE(p, nullptr);
            IClassFactory* factory = static_cast<IClassFactory*>(p);
            // One reference, the caller's.
            EXPECT_EQ(factory->AddRef(), 2u);
            EXPECT_EQ(factory->Release(), 1u);
            EXPECT_EQ(factory->Release(), 0u);
        } else {
            EXPECT_EQ(p, sentinel) << "the out-parameter must stay untouched";
        }
    }
    EXPECT_EQ(m_lib.GetClassObject(kDriverClassId, IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(ComRules, FactoryAnswersItsInterfacesOnly) {
    ASSERT_TRUE(m_lib.Loaded());
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    void* p = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(factory->QueryInterface(kOtherId, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(factory->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    for (const GUID* iid : {&IID_IUnknown, &IID_IClassFactory}) {
        EXPECT_EQ(factory->QueryInterface(*iid, &p), S_OK);
        EXPECT_EQ(p, factory);
        EXPECT_EQ(factory->Release(), 1u);
    }
    EXPECT_EQ(factory->Release(), 0u);
}

TEST_F(ComRules, CreateInstanceGivesIasioWithOneReference) {
    ASSERT_TRUE(m_lib.Loaded());
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    void* p = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, kDriverClassId, &p), S_OK);
    factory->Release();
    IASIO* asio = static_cast<IASIO*>(p);
    ASSERT_NE(asio, nullptr);
    EXPECT_EQ(m_lib.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(asio->AddRef(), 2u);
    EXPECT_EQ(asio->Release(), 1u);

    // A host's opening calls, through the library's vtable.
    EXPECT_EQ(asio->init(nullptr), ASIOTrue);
    char name[32];
    std::memset(name, 'x', sizeof name);
    asio->getDriverName(name);
    EXPECT_STREQ(name, "Calvera");
    EXPECT_EQ(asio->getDriverVersion(), 1);
    EXPECT_EQ(asio->outputReady(), ASE_OK);
    EXPECT_EQ(asio->future(kAsioCanTimeInfo, nullptr), ASE_NotPresent);

    // Asking for the driver interface again, and for IUnknown.
    void* again = nullptr;
    EXPECT_EQ(asio->QueryInterface(kDriverClassId, &again), S_OK);
    EXPECT_EQ(again, asio);
    EXPECT_EQ(asio->Release(), 1u);
    void* unknown = nullptr;
    EXPECT_EQ(asio->QueryInterface(IID_IUnknown, &unknown), S_OK);
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(static_cast<INonDelegatingUnknown*>(unknown)->NonDelegatingRelease(), 1u);
    void* none = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(asio->QueryInterface(kOtherId, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    m_unit.ClearLog();
    EXPECT_EQ(asio->Release(), 0u);
    // The last release destroyed the object: the unit saw it let go.
    EXPECT_EQ(asiotest::Describe(m_unit.Log()),
              (std::vector<std::string>{"1 IOCTL_UNREGISTER_EVENTS", "close 1"}));
    EXPECT_EQ(m_lib.CanUnloadNow(), S_OK);
}

TEST_F(ComRules, CreateInstanceRefusesOrUndoesWhatItCannotAnswer) {
    ASSERT_TRUE(m_lib.Loaded());
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    struct FakeOuter : IUnknown {
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
        ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }
    } outer;
    struct Case {
        const char* name;
        IUnknown* outer;
        const GUID* iid;
        bool createsObject;  // the unit sees an object made and destroyed again
    };
    static const Case kCases[] = {
        {"aggregation asked for the driver interface", &outer, &kDriverClassId, false},
        {"aggregation asked for another interface", &outer, &kOtherId, false},
        {"an interface the object does not know", nullptr, &kOtherId, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        m_unit.ClearLog();
        void* p = reinterpret_cast<void*>(0x1234);
        EXPECT_EQ(factory->CreateInstance(c.outer, *c.iid, &p), E_NOINTERFACE);
        if (c.createsObject) {
            EXPECT_EQ(p, nullptr);
            const std::vector<std::string> log = asiotest::Describe(m_unit.Log());
            ASSERT_FALSE(log.empty());
            EXPECT_EQ(log.back(), "close 1") << asiotest::Join(log);
        } else {
            EXPECT_EQ(p, reinterpret_cast<void*>(0x1234));
            EXPECT_TRUE(m_unit.Log().empty()) << asiotest::Join(asiotest::Describe(m_unit.Log()));
        }
        EXPECT_EQ(m_lib.CanUnloadNow(), S_OK) << "no object may be left alive";
    }
    EXPECT_EQ(factory->CreateInstance(nullptr, kDriverClassId, nullptr), E_POINTER);
    factory->Release();
}

TEST_F(ComRules, CanUnloadNowWhileAnObjectLivesOrTheServerIsLocked) {
    ASSERT_TRUE(m_lib.Loaded());
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    // A factory alone does not keep the library loaded.
    EXPECT_EQ(m_lib.CanUnloadNow(), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(m_lib.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(m_lib.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(m_lib.CanUnloadNow(), S_OK);

    void* p = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, kDriverClassId, &p), S_OK);
    factory->Release();
    EXPECT_EQ(m_lib.CanUnloadNow(), S_FALSE);
    static_cast<IASIO*>(p)->Release();
    EXPECT_EQ(m_lib.CanUnloadNow(), S_OK);
}

TEST_F(ComRules, AggregatedObjectForwardsItsIunknownToTheOuterObject) {
    ASSERT_TRUE(m_lib.Loaded());
    // An outer object that counts what reaches it and hands out the inner
    // object's driver interface.
    struct Outer : IUnknown {
        INonDelegatingUnknown* inner = nullptr;
        int addRefs = 0;
        int releases = 0;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
            return inner->NonDelegatingQueryInterface(riid, ppv);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++addRefs); }
        ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(++releases); }
    } outer;
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    void* p = nullptr;
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, &p), S_OK);
    factory->Release();
    outer.inner = static_cast<INonDelegatingUnknown*>(p);
    ASSERT_NE(outer.inner, nullptr);

    void* asioPointer = nullptr;
    ASSERT_EQ(outer.inner->NonDelegatingQueryInterface(kDriverClassId, &asioPointer), S_OK);
    EXPECT_EQ(outer.addRefs, 1) << "the interface's reference belongs to the outer object";
    IASIO* asio = static_cast<IASIO*>(asioPointer);
    asio->AddRef();
    asio->Release();
    asio->Release();
    EXPECT_EQ(outer.addRefs, 2);
    EXPECT_EQ(outer.releases, 2);
    void* viaOuter = nullptr;
    EXPECT_EQ(asio->QueryInterface(kDriverClassId, &viaOuter), S_OK);
    EXPECT_EQ(viaOuter, asioPointer);
    EXPECT_EQ(outer.addRefs, 3);
    EXPECT_EQ(m_lib.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(outer.inner->NonDelegatingRelease(), 0u);
    EXPECT_EQ(m_lib.CanUnloadNow(), S_OK);
}

// --- class level: the reference-count rules of CUnknown ---

// An object whose destructor takes and drops references to itself, as a
// destructor that hands `this` to a helper would.
class SelfReferencingObject : public CUnknown {
public:
    explicit SelfReferencingObject(int* destroyed) : CUnknown(u"test", nullptr, nullptr), m_destroyed(destroyed) {}
    ~SelfReferencingObject() override {
        ++*m_destroyed;
        NonDelegatingAddRef();
        NonDelegatingAddRef();
        NonDelegatingRelease();
        NonDelegatingRelease();
    }

private:
    int* m_destroyed;
};

TEST(CUnknownRules, LastReleaseDestroysOnceEvenWhenTheDestructorTakesReferences) {
    const LONG before = ComObjectCount();
    int destroyed = 0;
    auto* object = new SelfReferencingObject(&destroyed);
    EXPECT_EQ(ComObjectCount(), before + 1);
    EXPECT_EQ(object->NonDelegatingAddRef(), 1u);
    EXPECT_EQ(object->NonDelegatingAddRef(), 2u);
    EXPECT_EQ(object->NonDelegatingRelease(), 1u);
    EXPECT_EQ(object->NonDelegatingRelease(), 0u);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(ComObjectCount(), before);
}

TEST(CUnknownRules, QueryInterfaceKnowsOnlyIunknown) {
    int destroyed = 0;
    auto* object = new SelfReferencingObject(&destroyed);
    object->NonDelegatingAddRef();
    EXPECT_EQ(object->NonDelegatingQueryInterface(IID_IUnknown, nullptr), E_POINTER);
    void* p = nullptr;
    EXPECT_EQ(object->NonDelegatingQueryInterface(IID_IUnknown, &p), S_OK);
    EXPECT_EQ(p, static_cast<INonDelegatingUnknown*>(object));
    EXPECT_EQ(object->RefCount(), 2);
    p = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(object->NonDelegatingQueryInterface(kDriverClassId, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    object->NonDelegatingRelease();
    object->NonDelegatingRelease();
    EXPECT_EQ(destroyed, 1);
}

}  // namespace
