// Steps 5 and 6 on the real movie: the ready text and its size, the Save-As copy
// and the folder it remembers, the transfer through the phone link into the
// phone's storage with the bar's frames, the outcome texts, and starting over.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <utility>

#include "app/flash/flash_text.h"
#include "app/globals.h"
#include "app/resources/wizard_resources.h"
#include "app/texts/wizard_texts.h"
#include "imaging/px_image.h"
#include "page_fixture.h"
#include "pages/dlg_wiz5.h"
#include "pages/dlg_wiz6.h"
#include "phonelink/link_texts.h"
#include "phonelink/phone_line_texts.h"
#include "phonelink/phone_link_server.h"
#include "platform/backends/headless_backend.h"
#include "platform/window/focus.h"
#include "platform/window/input.h"
#include "platform/window/message_loop.h"
#include "platform/window/paint.h"
#include "stamp/stamp_globals.h"
#include "virtual_time.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A real stamp: 32 x 32, 8 bits, palette; `shade` changes its contents and size.
void WriteStamp(const fs::path& path, int shade) {
    PxImage stamp;
    ASSERT_TRUE(stamp.Create(32, 32, 8, PX_FORMAT_PNG));
    for (int i = 0; i < 256; ++i)
        stamp.SetPaletteIndex(static_cast<BYTE>(i), static_cast<BYTE>(i),
                              static_cast<BYTE>(255 - i), static_cast<BYTE>(i * shade));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            stamp.SetPixelIndex(x, y, static_cast<BYTE>((x * shade + y * 7) % 256));
    ASSERT_TRUE(stamp.Save(path.c_str(), PX_FORMAT_PNG));
}

template <class Page>
class StepPage : public PageHost<Page> {
protected:
    static void SetUpTestSuite() {
        RegisterWizardResources();
        RegisterPhoneLinkServer();
    }
    void SetUp() override {
        dir = fs::temp_directory_path() / ("ostrel_steps_" + std::to_string(getpid()));
        fs::create_directories(dir / "start");
        fs::create_directories(dir / "phone");
        WriteRegistry(initialLink);
        g_stampName = "Sunset";
        g_pendingStampFile = (dir / "Sunset.png").string();
        WriteStamp(g_pendingStampFile, 3);
        PageHost<Page>::SetUp();
    }
    void TearDown() override {
        PageHost<Page>::TearDown();
        g_pendingStampFile.clear();
        unsetenv("OSTREL_REGISTRY");
        fs::remove_all(dir);
    }
    void WriteRegistry(const std::string& link, const std::string& storage = "") {
        std::ofstream reg(dir / "r.reg");
        const std::string root = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510";
        reg << "Windows Registry Editor Version 5.00\n\n"
            << root << "]\n\"Language\"=\"EN\"\n\"Current Link\"=\"" << link << "\"\n\n"
            << root << "\\Customization Wizards]\n\"PhoneIconFolder\"=\"Stamps\"\n\n"
            << root << "\\Customization Wizards\\user]\n\"PathStamp\"=\""
            << (dir / "start").string() << "/\"\n\n"
            << root << "\\PhoneLink]\n\"Storage Folder\"=\""
            << (storage.empty() ? (dir / "phone").string() : storage) << "\"\n";
        setenv("OSTREL_REGISTRY", (dir / "r.reg").c_str(), 1);
    }
    std::string Registry() const { return ReadFile(dir / "r.reg"); }

    std::string initialLink = "USB";
    fs::path dir;
};

using SavePage = StepPage<CDlgWiz5>;

// Page 6 starts without a phone, so each test decides when a transfer runs.
class TransferPage : public StepPage<CDlgWiz6> {
protected:
    void SetUp() override {
        initialLink = "None";
        StepPage<CDlgWiz6>::SetUp();
        WriteRegistry("USB");
    }
    // The movie's own start of a transfer, as frame 7 sends it.
    void Transfer() {
        page->OnFSCommand("TransfertStarted", "");
        LetTimePass(10);
    }
    std::string Phone(const std::string& name) const {
        return ReadFile(dir / "phone/Stamps" / name);
    }
    void SetChunkDelay(int ms) {
        std::ofstream(dir / "r.reg", std::ios::app)
            << "\"Chunk Delay\"=dword:" << std::hex << std::setw(8) << std::setfill('0') << ms
            << "\n";
    }
    void Click(POINT at) {
        PostMouseEvent(&main, WM_LBUTTONDOWN, at);
        PostMouseEvent(&main, WM_LBUTTONUP, at);
    }
    COLORREF PageColour(POINT at) {
        while (HWND dirty = NextWindowToPaint(MessageQueue::Current().get()))
            UpdateWindow(dirty);
        const POINT origin = SurfaceOrigin(page.get());
        return WindowSurface(page.get())->Get(origin.x + at.x, origin.y + at.y);
    }
    static constexpr POINT kPrevious{385, 375}, kNewStamp{485, 375}, kClose{560, 14};
    static constexpr POINT kPreviousFace{345, 364};  // inside the button, clear of its text
};

// Told of the link's progress like every window of the wizard; acts on the first.
class ProgressProbe : public CWnd {
public:
    std::function<void()> onFirst;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER && onFirst) std::exchange(onFirst, nullptr)();
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

}  // namespace

TEST(ReadyTextOfTheSavePage, NamesTheStampAndItsSize) {
    EXPECT_EQ(ReadyText("Stamp %1% has %2% bytes", "Sunset", 1234),
              "Stamp Sunset.png has 1234 bytes");
    EXPECT_EQ(ReadyText("%2%", "x", 0x1'0000'0005ull), "5");
}

TEST_F(SavePage, EveryShowTellsTheCurrentNameSizeAndLink) {
    const std::string size = std::to_string(fs::file_size(g_pendingStampFile));
    std::string ready = page->movie.GetVariable("TxtPrepTr");
    EXPECT_NE(ready.find("Sunset.png"), std::string::npos) << ready;
    EXPECT_NE(ready.find(size + " bytes"), std::string::npos) << ready;
    // No desktop here: no phone, and Send fills the storage folder.
    EXPECT_EQ(page->movie.GetVariable("CurrentLink"), NoPhoneText("EN"));
    EXPECT_NE(readyTemplate.find("%2%"), std::string::npos);

    // Back to step 4, converted again under another name: the new name and size.
    page->ShowWindow(SW_HIDE);
    g_stampName = "Dawn";
    g_pendingStampFile = (dir / "Dawn.png").string();
    WriteStamp(g_pendingStampFile, 101);
    const std::string newSize = std::to_string(fs::file_size(g_pendingStampFile));
    ASSERT_NE(newSize, size);
    WriteRegistry("None");
    page->ShowWindow(SW_SHOW);
    ready = page->movie.GetVariable("TxtPrepTr");
    EXPECT_NE(ready.find("Dawn.png"), std::string::npos) << ready;
    EXPECT_NE(ready.find(newSize + " bytes"), std::string::npos) << ready;
    EXPECT_EQ(page->movie.GetVariable("CurrentLink"), "None");
    EXPECT_TRUE(backend.Boxes().empty());

    // A stamp file that went away: the file error, and the text stays as it was.
    page->ShowWindow(SW_HIDE);
    fs::remove(g_pendingStampFile);
    page->ShowWindow(SW_SHOW);
    ASSERT_EQ(backend.Boxes().size(), 1u);
    EXPECT_NE(backend.Boxes()[0].text.find("Dawn.png"), std::string::npos);
    EXPECT_EQ(page->movie.GetVariable("TxtPrepTr"), ready);
}

TEST_F(SavePage, SaveAsCopiesTheStampAndTheNextDialogStartsInItsFolder) {
    fs::create_directories(dir / "Stamps");
    backend.QueueSaveAsAnswer((dir / "Stamps/Sunset").string());
    page->OnFSCommand("SaveOnComp", "");
    ASSERT_EQ(backend.SaveAsRequests().size(), 1u);
    const SaveAsRequest& asked = backend.SaveAsRequests()[0];
    EXPECT_EQ(asked.filter, "png|*.png||");
    EXPECT_EQ(asked.fileName, "Sunset");
    EXPECT_EQ(asked.defaultExtension, "png");
    EXPECT_EQ(asked.initialFolder, (dir / "start").string() + "/");
    EXPECT_EQ(asked.owner, &main);
    EXPECT_EQ(ReadFile(dir / "Stamps/Sunset.png"), ReadFile(g_pendingStampFile));
    EXPECT_NE(Registry().find("\"PathStamp\"=\"" + (dir / "Stamps").string() + "/\""),
              std::string::npos);

    page->OnFSCommand("SaveOnComp", "");
    ASSERT_EQ(backend.SaveAsRequests().size(), 2u);
    EXPECT_EQ(backend.SaveAsRequests()[1].initialFolder, (dir / "Stamps").string() + "/");
    EXPECT_TRUE(backend.Boxes().empty());
}

TEST_F(SavePage, CancelCopiesNothingWritesNothingAndSaysNothing) {
    const std::string before = Registry();
    backend.QueueSaveAsAnswer("");
    page->OnFSCommand("SaveOnComp", "");
    EXPECT_EQ(backend.SaveAsRequests().size(), 1u);
    EXPECT_EQ(Registry(), before);
    EXPECT_TRUE(backend.Boxes().empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "start"), fs::directory_iterator{}), 0);
}

TEST_F(SavePage, SavingOverAFileIsAskedByTheCopyNotTheDialog) {
    const fs::path existing = dir / "start/Sunset.png";
    std::ofstream(existing) << "an older stamp";
    backend.QueueSaveAsAnswer(existing.string());
    backend.QueueBoxAnswer(IDNO);
    page->OnFSCommand("SaveOnComp", "");
    ASSERT_EQ(backend.Boxes().size(), 1u);
    EXPECT_NE(backend.Boxes()[0].text.find("already exists"), std::string::npos);
    EXPECT_EQ(ReadFile(existing), "an older stamp");

    backend.QueueSaveAsAnswer(existing.string());
    backend.QueueBoxAnswer(IDYES);
    page->OnFSCommand("SaveOnComp", "");
    EXPECT_EQ(ReadFile(existing), ReadFile(g_pendingStampFile));
}

TEST_F(SavePage, EnterMovesOnAndExitAsksFirst) {
    page->OnOK();
    page->OnFSCommand("ChangeStep", "5");
    page->OnFSCommand("ChangeStep", "4");
    LetTimePass(10);
    EXPECT_TRUE(main.Got(WM_WIZ_NEXT, 0));
    EXPECT_TRUE(main.Got(WM_WIZ_PREVIOUS));
    EXPECT_EQ(main.received.size(), 2u);
    backend.QueueBoxAnswer(IDCANCEL);
    page->OnFSCommand("exit", "");
    LetTimePass(10);
    ASSERT_EQ(backend.Boxes().size(), 1u);
    EXPECT_EQ(backend.Boxes()[0].text, g_texts.exitQuestion);
    EXPECT_FALSE(main.Got(WM_WIZ_EXIT));
    EXPECT_TRUE(fs::exists(g_pendingStampFile));
}

TEST_F(TransferPage, ProgressMovesTheBarAndShowsTheLinksStatus) {
    page->movie.GotoFrame(7);  // where the bar is; its command is left undelivered
    g_linkStatusText = FormatFlashText("Sending Sunset.png… 50%", true, false);
    for (const auto& [progress, frame] : {std::pair{0, 1}, {3, 1}, {50, 13}, {100, 26}}) {
        page->SendMessage(WM_USER, static_cast<WPARAM>(progress), 0);
        EXPECT_EQ(page->movie.TCurrentFrame("barre"), frame) << progress;
    }
    EXPECT_EQ(page->movie.GetVariable("_txt"), g_linkStatusText);
}

// The picture over the bar reads from the computer to the phone, left to right:
// the stamp, the arrow pointing on, the phone.
TEST_F(TransferPage, TheStampGoesToThePhoneInThePicture) {
    page->movie.GotoFrame(7);  // painted, its command left undelivered
    while (HWND dirty = NextWindowToPaint(MessageQueue::Current().get()))
        UpdateWindow(dirty);
    ASSERT_EQ(page->movie.FrameNum(), 7);
    const SurfacePtr surface = WindowSurface(page.get());
    const POINT origin = SurfaceOrigin(page.get());
    const auto first = [&](COLORREF colour, int from) {  // four in a row: no outline
        int run = 0;
        for (int x = from; x < 520; ++x) {
            run = surface->Get(origin.x + x, origin.y + 146) == colour ? run + 1 : 0;
            if (run == 4) return x - 3;
        }
        return -1;
    };
    const int stamp = first(RGB(0xF5, 0x9E, 0x0B), 60);
    const int arrow = first(RGB(0x25, 0x63, 0xEB), 60);
    const int phone = first(RGB(0x1F, 0x29, 0x37), 60);
    EXPECT_GT(stamp, 0);
    EXPECT_LT(stamp, arrow);
    EXPECT_LT(arrow, phone);
    // The arrow's head is on the phone's side: its tip row reaches further right
    // than its shaft's end.
    EXPECT_EQ(surface->Get(origin.x + arrow + 76, origin.y + 146), RGB(0x25, 0x63, 0xEB));
    EXPECT_NE(surface->Get(origin.x + arrow + 76, origin.y + 134), RGB(0x25, 0x63, 0xEB));
    EXPECT_EQ(surface->Get(origin.x + arrow + 62, origin.y + 134), RGB(0x25, 0x63, 0xEB));
}

TEST_F(TransferPage, WithoutAPhoneNothingStarts) {
    EXPECT_EQ(page->movie.FrameNum(), 8);
    EXPECT_EQ(page->movie.GetVariable("CurrentLink"), "None");
    EXPECT_EQ(page->linkClient, nullptr);
    EXPECT_FALSE(fs::exists(dir / "phone/Stamps"));
    EXPECT_FALSE(page->confirmExit);
}

TEST_F(TransferPage, ShowingWithAPhoneSendsTheStampAndShowsTheMoviesSuccessText) {
    const std::string okTemplate = page->movie.GetVariable("_OkTxt");
    page->ShowWindow(SW_HIDE);
    page->ShowWindow(SW_SHOW);
    LetTimePass(100);
    EXPECT_EQ(Phone("Sunset.png"), ReadFile(g_pendingStampFile));
    EXPECT_EQ(page->transferResult, FillPlaceholders(okTemplate, "Sunset.png"));
    EXPECT_EQ(page->movie.GetVariable("_ErrTxt"),
              FormatFlashText(page->transferResult, false, false));
    EXPECT_EQ(page->movie.FrameNum(), 8);
    // The link's last word reached the page, ready for the movie.
    EXPECT_EQ(g_linkStatusText, FormatFlashText("Sunset.png has been sent.", true, false));
}

TEST_F(TransferPage, AFailureShowsTheLinksTextBetweenTheLocalisedLines) {
    WriteRegistry("USB", (dir / "unplugged").string());
    page->movie.GotoFrame(7);
    Transfer();
    const std::string m(LinkTextIn("EN", LinkText::kNotConnected));
    EXPECT_EQ(page->transferResult, m);
    EXPECT_EQ(
        page->movie.GetVariable("_ErrTxt"),
        FormatFlashText("<B>Transfer error.</B>\n\n" + m + "\n\nPress \"Previous\" to try again.",
                        false, false));
    EXPECT_EQ(page->movie.FrameNum(), 8);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "phone"), fs::directory_iterator{}), 0);
}

TEST_F(TransferPage, TwoTransfersShareOneClientAndTransferDoneChangesNothing) {
    Transfer();
    CPhoneLink* first = page->linkClient.get();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->HasEvents());
    Transfer();
    EXPECT_EQ(page->linkClient.get(), first);
    const long frame = page->movie.FrameNum();
    page->OnFSCommand("TransferDone", "");
    LetTimePass(10);
    EXPECT_EQ(page->movie.FrameNum(), frame);
    EXPECT_TRUE(main.received.empty());
}

TEST_F(TransferPage, EnterDuringATransferIsIgnoredAndAfterItStartsOver) {
    // Pressed while the copy runs: New stamp is disabled until the outcome shows.
    SetFocus(&page->movie);
    MessageQueue::Current()->Schedule(GetClock()->NowMs(), [this] {
        PostKeyEvent(WM_KEYDOWN, VK_RETURN);
        PostMouseEvent(&main, WM_LBUTTONDOWN, POINT{80, 385});
    });
    Transfer();
    EXPECT_TRUE(fs::exists(g_pendingStampFile));
    EXPECT_TRUE(main.received.empty());

    const std::string stamp = g_pendingStampFile;
    PostKeyEvent(WM_KEYDOWN, VK_RETURN);
    LetTimePass(10);
    EXPECT_FALSE(fs::exists(stamp));
    EXPECT_TRUE(g_pendingStampFile.empty());
    EXPECT_TRUE(main.Got(WM_WIZ_NEXT, 1));
}

TEST_F(TransferPage, BackToStepFiveAndExitWithoutAQuestion) {
    page->OnFSCommand("ChangeStep", "5");
    LetTimePass(10);
    EXPECT_TRUE(main.Got(WM_WIZ_PREVIOUS));
    // Frame 2 hands the movie back to the page's waiting frame for the next show.
    EXPECT_EQ(page->movie.FrameNum(), 6);
    page->OnFSCommand("exit", "");
    LetTimePass(10);
    EXPECT_TRUE(main.Got(WM_WIZ_EXIT));
    EXPECT_TRUE(backend.Boxes().empty());
    EXPECT_TRUE(g_pendingStampFile.empty());
}

// The windows take input while the copy runs; the buttons that must wait show it.
TEST_F(TransferPage, WhileSendingPreviousAndNewStampShowDisabledAndIgnoreClicks) {
    // Looked at and clicked on the first progress event, when the copy surely runs;
    // its slow chunks leave the clicks ample time to arrive before it ends.
    SetChunkDelay(1000);
    page->movie.GotoFrame(7);
    COLORREF face = 0;
    long frame = 0;
    ProgressProbe probe;
    probe.CreateEx(&main, RECT{0, 0, 0, 0}, "", 0, WS_CHILD);
    probe.onFirst = [&] {
        face = PageColour(kPreviousFace);
        frame = page->movie.FrameNum();
        Click(kPrevious);
        Click(kNewStamp);
        PostKeyEvent(WM_KEYDOWN, VK_RETURN);
    };
    Transfer();
    EXPECT_EQ(face, RGB(0xD5, 0xDB, 0xE5));
    EXPECT_EQ(frame, 7);
    EXPECT_TRUE(main.received.empty());
    EXPECT_EQ(Phone("Sunset.png"), ReadFile(g_pendingStampFile));
    // The outcome shown, both are live again.
    EXPECT_EQ(page->movie.FrameNum(), 8);
    EXPECT_EQ(PageColour(kPreviousFace), RGB(0xFF, 0xFF, 0xFF));
    Click(kPrevious);
    LetTimePass(10);
    EXPECT_TRUE(main.Got(WM_WIZ_PREVIOUS));
}

// A slow copy (two seconds a chunk): the close button stops it at once, takes
// back its partial file and leaves the old stamp; the wizard is asked to close.
TEST_F(TransferPage, ClosingDuringASlowCopyStopsItAndLeavesTheOldStamp) {
    fs::create_directories(dir / "phone/Stamps");
    WriteStamp(dir / "phone/Stamps/Sunset.png", 5);
    const std::string old = Phone("Sunset.png");
    SetChunkDelay(2000);
    ProgressProbe probe;
    probe.CreateEx(&main, RECT{0, 0, 0, 0}, "", 0, WS_CHILD);
    probe.onFirst = [this] { Click(kClose); };
    const auto start = std::chrono::steady_clock::now();
    page->movie.GotoFrame(7);  // the movie starts the transfer, as on the screen
    LetTimePass(10);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(1000));
    EXPECT_TRUE(main.Got(WM_WIZ_EXIT));
    EXPECT_EQ(page->movie.FrameNum(), 7) << "no outcome on the way out";
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir / "phone/Stamps"))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"Sunset.png"});
    EXPECT_TRUE(Phone("Sunset.png") == old) << "the old stamp changed";
    EXPECT_FALSE(fs::exists(dir / "Sunset.png"));
    probe.DestroyWindow();
}
