// The editor and preview pages side by side under a stand-in main window, on the
// headless back end, with a registry and an installation folder of their own.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "page_fixture.h"
#include "pages/dlg_wiz3.h"
#include "pages/dlg_wiz4.h"
#include "platform/window/paint.h"
#include "stamp/stamp_globals.h"

namespace fs = std::filesystem;

// A picture whose every pixel has its own colour: red = 8x, green = 8y (y from the
// top), blue = 40.
inline PxImage GradientPicture(LONG w, LONG h) {
    PxImage image;
    image.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            image.SetPixelColor(
                x, h - 1 - y,
                RGBQUAD{40, static_cast<BYTE>((8 * y) & 255), static_cast<BYTE>((8 * x) & 255), 0});
    return image;
}

inline PxImage PlainPicture(LONG w, LONG h, RGBQUAD color) {
    PxImage image;
    image.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            image.SetPixelColor(x, y, color);
    return image;
}

class StampPages : public ::testing::Test {
protected:
    static constexpr UINT kLeft = 0x0001;  // MK_LBUTTON

    static void SetUpTestSuite() { RegisterWizardResources(); }
    void SetUp() override {
        static int counter = 0;
        dir = fs::temp_directory_path() /
              ("ostrel_pages_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
        fs::create_directories(dir / "wizards" / "temp");
        WriteRegistry((dir / "wizards").string(), 16);
        setenv("OSTREL_REGISTRY", (dir / "registry.reg").c_str(), 1);
        g_texts = BuildTexts("EN");
        g_mainWnd = nullptr;
        ResetShared();
        main.CreateEx(nullptr, RECT{0, 0, 580, 411}, "Ostrel", 0, WS_POPUP | WS_VISIBLE);
        editor = std::make_unique<CDlgWiz3>(&main);
        editor->Create(editor->TemplateId(), &main);
        editor->ShowWindow(SW_HIDE);
        preview = std::make_unique<CDlgWiz4>(&main);
        preview->Create(preview->TemplateId(), &main);
        preview->ShowWindow(SW_HIDE);
        LetTimePass(10);
    }
    void TearDown() override {
        preview->DestroyWindow();
        editor->DestroyWindow();
        main.DestroyWindow();
        ClearQueue();
        ResetShared();
        g_mainWnd = nullptr;
        unsetenv("OSTREL_REGISTRY");
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    static void ResetShared() {
        g_editorPicture.image.reset();
        g_editorPicture.owner = nullptr;
        g_previewPicture.image.reset();
        g_previewPicture.owner = nullptr;
        g_previewPicture.lightness = 0.0;
        g_pendingStampFile.clear();
        g_chosenPicturePath.clear();
        g_stampName.clear();
    }
    void WriteRegistry(const std::string& installation, DWORD tolerance) {
        char dword[16];
        std::snprintf(dword, sizeof dword, "%08x", tolerance);
        std::ofstream(dir / "registry.reg")
            << "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\Customization Wizards]\n"
               "\"Installation Path\"=\""
            << installation << "\"\n\"StampTolerance\"=dword:" << dword << "\n";
    }
    // Writes the picture as a file named `name` (a GIF when the name says so, else
    // a PNG) and opens it as step 2 does.
    void Choose(PxImage picture, const std::string& name) {
        const std::string path = (dir / name).string();
        const bool gif = name.size() > 4 && name.substr(name.size() - 4) == ".gif";
        if (gif) {
            ASSERT_TRUE(picture.DecreaseBpp(8, false));
        }
        ASSERT_TRUE(picture.Save(path.c_str(), gif ? PX_FORMAT_GIF : PX_FORMAT_PNG));
        g_chosenPicturePath = path;
        ASSERT_TRUE(g_editorPicture.Open(path, kAcceptAll, 0));
    }
    // The preview page made anew, so that it reads the registry again.
    void RemakePreview() {
        preview->DestroyWindow();
        preview = std::make_unique<CDlgWiz4>(&main);
        preview->Create(preview->TemplateId(), &main);
        preview->ShowWindow(SW_HIDE);
    }
    // Shows one page as the main window does.
    void Show(CDlgWizPage* page) {
        for (CDlgWizPage* other :
             {static_cast<CDlgWizPage*>(editor.get()), static_cast<CDlgWizPage*>(preview.get())})
            if (other != page) other->ShowWindow(SW_HIDE);
        page->ShowWindow(SW_SHOW);
        page->SendMessage(WM_PAINT);
        LetTimePass(100);
        main.received.clear();
    }
    void Mouse(UINT message, POINT at, WPARAM keys = 0) {
        PostMouseEvent(&main, message, at, keys);
        LetTimePass(5);
    }
    void Drag(POINT from, POINT to) {
        Mouse(WM_MOUSEMOVE, from);
        Mouse(WM_LBUTTONDOWN, from, kLeft);
        // The drag's mode is taken where the first move with the button down lands.
        Mouse(WM_MOUSEMOVE, POINT{from.x + 1, from.y}, kLeft);
        Mouse(WM_MOUSEMOVE, POINT{(from.x + to.x) / 2, (from.y + to.y) / 2}, kLeft);
        Mouse(WM_MOUSEMOVE, to, kLeft);
        Mouse(WM_LBUTTONUP, to);
        Mouse(WM_MOUSEMOVE, to);
    }
    COLORREF Pixel(int x, int y) { return WindowSurface(&main)->Get(x, y); }

    fs::path dir;
    HeadlessBackend backend;
    MainProbe main;
    std::unique_ptr<CDlgWiz3> editor;
    std::unique_ptr<CDlgWiz4> preview;
};
