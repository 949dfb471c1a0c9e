// The component through the object model: created by its class id, asked for its
// interfaces, advised a sink, and sending with its status events arriving on the
// caller's thread while the copy runs, in the wizard's language.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "link_test_support.h"
#include "phonelink/connection_point.h"
#include "phonelink/link_texts.h"
#include "phonelink/phone_link_interfaces.h"
#include "phonelink/phone_link_server.h"
#include "phonelink/wide_text.h"
#include "platform/window/clock.h"

using namespace link_test;

namespace {

class RecordingSink final : public IPhoneLinkEvents {
public:
    struct Event {
        std::string text;
        long value1, value2;
        bool partialOnPhone;  // the temporary file was there, the stamp not yet
        std::thread::id thread;
    };
    std::vector<Event> events;
    fs::path phoneFolder;
    int references = 1;

    HRESULT QueryInterface(const IID& iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IPhoneLinkEvents) return E_NOINTERFACE;
        *object = static_cast<IPhoneLinkEvents*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return static_cast<ULONG>(++references); }
    ULONG Release() override { return static_cast<ULONG>(--references); }
    HRESULT OnStatus(const std::wstring& text, long value1, long value2, long) override {
        std::error_code ignored;
        bool partial = false, final = false;
        for (auto& e : fs::directory_iterator(phoneFolder, ignored)) {
            const std::string name = e.path().filename().string();
            partial = partial || name.rfind(".Sunset.png.part-", 0) == 0;
            final = final || name == "Sunset.png";
        }
        events.push_back(
            {Utf8FromWide(text), value1, value2, partial && !final, std::this_thread::get_id()});
        return S_OK;
    }
};

class LinkObject : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(std::make_shared<VirtualClock>());
        RegisterPhoneLinkServer();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        fs::create_directories(scratch.path() / "phone");
        stamp = scratch / "Sunset.png";
        WriteFile(stamp, PngBytes(32, 32, 3, 1000));
        UseRegistry(scratch / "r.reg", scratch / "phone", "FR", 15);
        sink.phoneFolder = scratch.path() / "phone/Stamps";
    }
    void TearDown() override {
        CoUninitialize();
        SetClock(nullptr);
    }
    ComPtr<IPhoneLink> Create() {
        ComPtr<IPhoneLink> link;
        EXPECT_EQ(CoCreateInstance(CLSID_PhoneLink, nullptr, 23, IID_IPhoneLink, link.PutVoid()),
                  S_OK);
        return link;
    }

    Scratch scratch;
    std::string stamp;
    RecordingSink sink;
};

}  // namespace

TEST_F(LinkObject, CreationByClassIdAndTheInterfacesItAnswers) {
    EXPECT_EQ(CLSID_PhoneLink.ToString(), "{FA9ABB20-D0F9-40DC-9645-21FE03867B32}");
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(CoCreateInstance(*GUID::Parse("{00000000-1111-2222-3333-444444444444}"), nullptr,
                               CLSCTX_ALL, IID_IUnknown, unknown.PutVoid()),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(CLSID_PhoneLink, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                               unknown.PutVoid()),
              REGDB_E_CLASSNOTREG);
    ComPtr<IPhoneLink> link = Create();
    ASSERT_TRUE(link);
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(link.As(IID_IConnectionPointContainer, &container), S_OK);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(IID_IPhoneLink, point.Put()), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(IID_IPhoneLinkEvents, point.Put()), S_OK);
    ComPtr<IUnknown> other;
    EXPECT_EQ(link.As(*GUID::Parse("{00000000-1111-2222-3333-444444444444}"), &other),
              E_NOINTERFACE);

    // Advised sinks are held until they are unadvised.
    std::uint32_t cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    EXPECT_EQ(sink.references, 2);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(sink.references, 1);
}

TEST_F(LinkObject, NoApartmentNoObject) {
    CoUninitialize();
    std::thread([] {
        ComPtr<IUnknown> unknown;
        EXPECT_EQ(
            CoCreateInstance(CLSID_PhoneLink, nullptr, CLSCTX_ALL, IID_IUnknown, unknown.PutVoid()),
            CO_E_NOTINITIALIZED);
    }).join();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

TEST_F(LinkObject, ProgressArrivesOnTheCallerWhileTheCopyRunsAndTheMessageIsEmpty) {
    ComPtr<IPhoneLink> link = Create();
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    link.As(IID_IConnectionPointContainer, &container);
    container->FindConnectionPoint(IID_IPhoneLinkEvents, point.Put());
    std::uint32_t cookie = 0;
    point->Advise(&sink, &cookie);

    std::wstring message = L"INIT";
    long status = -1;
    ASSERT_EQ(link->Init(&message, &status), S_OK);
    message = L"left from before";
    ASSERT_EQ(link->SendFile(WideFromUtf8(stamp), L"Stamps", &message, &status), S_OK);
    EXPECT_EQ(message, L"");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFile(scratch / "phone/Stamps/Sunset.png"), ReadFile(stamp));

    // 1000 bytes and more in chunks of 256: the start, four chunks, the end.
    ASSERT_GE(sink.events.size(), 6u);
    EXPECT_EQ(sink.events.front().value2, 0);
    EXPECT_EQ(sink.events.front().text, "Envoi de Sunset.png… 0%");
    long last = -1;
    int duringCopy = 0;
    for (const auto& e : sink.events) {
        EXPECT_EQ(e.thread, std::this_thread::get_id());
        EXPECT_GE(e.value2, last);
        last = e.value2;
        duringCopy += e.partialOnPhone;
    }
    EXPECT_GE(duringCopy, 3);
    EXPECT_EQ(sink.events.back().value2, 100);
    EXPECT_EQ(sink.events.back().value1, static_cast<long>(ReadFile(stamp).size()));
    point->Unadvise(cookie);
}

TEST_F(LinkObject, AFailureAlwaysWritesATextInTheWizardsLanguage) {
    ComPtr<IPhoneLink> link = Create();
    std::wstring message;
    long status = 0;
    UseRegistry(scratch / "r.reg", scratch / "unplugged", "de");
    ASSERT_EQ(link->SendFile(WideFromUtf8(stamp), L"Stamps", &message, &status), S_OK);
    EXPECT_EQ(Utf8FromWide(message), LinkTextIn("DE", LinkText::kNotConnected));
    EXPECT_NE(status, 0);
    UseRegistry(scratch / "r.reg", scratch / "phone", "EN");
    ASSERT_EQ(link->SendFile(WideFromUtf8(scratch / "nothing.png"), L"Stamps", &message, &status),
              S_OK);
    EXPECT_EQ(Utf8FromWide(message), "The stamp file nothing.png cannot be found.");
    // Sound files are refused too: the phone shows only stamps.
    EXPECT_EQ(link->SetConversion(L"audio/amr", L"VocoderTypeName", L"MR102", &message, &status),
              S_OK);
    WriteFile(scratch / "ring.wav", "RIFF....WAVE");
    link->SendFile(WideFromUtf8(scratch / "ring.wav"), L"Stamps", &message, &status);
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(Snapshot(scratch.path() / "phone").size(), 0u);
}

TEST(LinkTexts, EveryLanguageHasEveryTextWithItsPlaceholders) {
    for (const char* code :
         {"EN", "FR", "DE", "SP", "IT", "PT", "NL", "PL", "CZ", "RU", "CHS", "CHT"}) {
        for (int i = 0; i < static_cast<int>(LinkText::kCount); ++i) {
            const auto which = static_cast<LinkText>(i);
            const std::string_view text = LinkTextIn(code, which);
            EXPECT_FALSE(text.empty()) << code << " " << i;
            if (std::string_view(code) != "EN") {
                EXPECT_NE(text, LinkTextIn("EN", which)) << code << " " << i;
            }
        }
        const std::string sending = FormatLinkText(code, LinkText::kSending, "a%2%.png", "42");
        EXPECT_NE(sending.find("a%2%.png"), std::string::npos) << code;
        EXPECT_NE(sending.find("42%"), std::string::npos) << code;
    }
    EXPECT_EQ(LinkTextIn("xx", LinkText::kSent), LinkTextIn("EN", LinkText::kSent));
}

TEST(WideText, PathsInAnyEncodingSurviveTheRoundTrip) {
    const std::string names[] = {"Sunset.png",
                                 "Закат.png",
                                 "日落.png",
                                 "caf\xe9.png",
                                 std::string("a\0b", 3),
                                 "\xf0\x9f\x8c\x85 \xc0\xaf"};
    for (const std::string& name : names)
        EXPECT_EQ(Utf8FromWide(WideFromUtf8(name)), name);
    EXPECT_EQ(WideFromUtf8("é"), L"é");
}
