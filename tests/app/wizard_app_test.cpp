#include "app/wizard_app.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/globals.h"
#include "app/texts/wizard_texts.h"
#include "platform/backends/headless_backend.h"
#include "platform/system/named_mutex.h"
#include "platform/window/focus.h"
#include "platform/window/message_loop.h"

namespace fs = std::filesystem;

namespace {

// A registry with the given "Language" (none when empty) and a runtime folder of
// the test's own; the headless back end answers and records.
class StartUp : public ::testing::Test {
protected:
    void SetUpRegistry(const std::string& language) {
        dir_ = fs::temp_directory_path() / ("ostrel_start_" + std::to_string(getpid()));
        fs::create_directories(dir_);
        std::ofstream reg(dir_ / "r.reg");
        reg << "Windows Registry Editor Version "
               "5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510]\n";
        if (!language.empty()) reg << "\"Language\"=\"" << language << "\"\n";
        // The preview page reads its folder when the wizard makes it.
        reg << "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\Customization "
               "Wizards]\n\"Installation Path\"=\""
            << dir_.string() << "/\"\n";
        setenv("OSTREL_REGISTRY", (dir_ / "r.reg").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
        g_mainWnd = nullptr;
    }
    void TearDown() override {
        MessageQueue::Current()->CancelScheduled();
        fs::remove_all(dir_);
    }
    // Closes the main window once it runs.
    void CloseWizardLater() {
        MessageQueue::Current()->Schedule(500, [] {
            if (g_mainWnd) g_mainWnd->PostMessage(WM_USER + 3);
        });
    }
    static void Sibling(CWnd& window, const char* title, bool minimised) {
        ASSERT_TRUE(window.CreateEx(nullptr, RECT{0, 0, 10, 10}, title, 0, WS_VISIBLE));
        if (minimised) window.ShowWindow(SW_MINIMIZE);
    }

    fs::path dir_;
    HeadlessBackend backend_;
};

}  // namespace

TEST_F(StartUp, ASiblingIsRestoredAndNamedAndTheWizardLeaves) {
    SetUpRegistry("EN");
    CWnd vardle;
    Sibling(vardle, "Vardle", true);
    EXPECT_FALSE(CWizardApp().InitInstance());
    EXPECT_FALSE(vardle.IsIconic());
    ASSERT_EQ(backend_.Boxes().size(), 1u);
    const RecordedBox& box = backend_.Boxes()[0];
    EXPECT_EQ(box.text,
              "It is not possible to start the Ostrel wizard because the Vardle wizard is already "
              "running.\n"
              "Please close the Vardle wizard.");
    EXPECT_EQ(box.caption, "Ostrel");
    EXPECT_EQ(box.style, MB_ICONINFORMATION | MB_OK);
    EXPECT_EQ(box.owner, &vardle);
    // No instance name was taken on this path.
    EXPECT_FALSE(NamedMutex(CWizardApp::kInstanceMutexName).AlreadyExisted());
}

TEST_F(StartUp, TheMessageNamesTheLastSiblingFound) {
    SetUpRegistry("en");
    CWnd quenby, pellion;
    Sibling(pellion, "Pellion", true);
    Sibling(quenby, "Quenby", true);
    EXPECT_FALSE(CWizardApp().InitInstance());
    EXPECT_FALSE(quenby.IsIconic());
    EXPECT_FALSE(pellion.IsIconic());
    ASSERT_EQ(backend_.Boxes().size(), 1u);
    EXPECT_NE(backend_.Boxes()[0].text.find("the Pellion wizard is already"), std::string::npos);
}

TEST_F(StartUp, SiblingsOfAnotherLanguageAreNotRecognised) {
    SetUpRegistry("ru");
    CWnd vardle;
    Sibling(vardle, "Vardle", false);
    CloseWizardLater();
    EXPECT_TRUE(CWizardApp().InitInstance());
    EXPECT_EQ(g_languageCode, "RU");
    EXPECT_TRUE(backend_.Boxes().empty());
}

TEST_F(StartUp, ASecondCopyBringsTheFirstForwardAndLeavesQuietly) {
    SetUpRegistry("EN");
    NamedMutex first(CWizardApp::kInstanceMutexName);
    CWnd running;
    Sibling(running, "Ostrel", true);
    EXPECT_FALSE(CWizardApp().InitInstance());
    EXPECT_FALSE(running.IsIconic());
    EXPECT_TRUE(running.IsWindowVisible());
    EXPECT_TRUE(backend_.Boxes().empty());
}

TEST_F(StartUp, AMissingLanguageIsReportedAndEnglishIsUsed) {
    SetUpRegistry("");
    CloseWizardLater();
    EXPECT_TRUE(CWizardApp().InitInstance());
    ASSERT_GE(backend_.Boxes().size(), 1u);
    EXPECT_EQ(backend_.Boxes()[0].text,
              "Registry error :\nSOFTWARE\\Norvane\\Tessel 310-510[Language] (2)");
    EXPECT_EQ(g_languageCode, "EN");
    EXPECT_EQ(g_texts.ownTitle, "Ostrel");
}
