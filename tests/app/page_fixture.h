// A page on the headless back end under a stand-in main window that records what
// the page asks of it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "app/flash/wiz_page.h"
#include "app/globals.h"
#include "app/resources/wizard_resources.h"
#include "app/texts/wizard_texts.h"
#include "platform/backends/headless_backend.h"
#include "platform/window/input.h"
#include "virtual_time.h"

// Stands in for the main window and records what the pages ask of it.
class MainProbe : public CWnd {
public:
    std::vector<std::pair<UINT, WPARAM>> received;
    bool Got(UINT message, WPARAM wParam = 0) const {
        for (const auto& [m, w] : received)
            if (m == message && w == wParam) return true;
        return false;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SYSCOMMAND || message == WM_NCLBUTTONDOWN ||
            (message >= WM_WIZ_NEXT && message <= WM_WIZ_REDUCE))
            received.emplace_back(message, wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

template <class Page>
class PageHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterWizardResources(); }
    void SetUp() override {
        g_texts = BuildTexts("EN");
        g_mainWnd = nullptr;
        main.CreateEx(nullptr, RECT{0, 0, 580, 411}, "Ostrel", 0, WS_POPUP | WS_VISIBLE);
        page = std::make_unique<Page>(&main);
        page->Create(page->TemplateId(), &main);
        page->ShowWindow(SW_SHOW);
        LetTimePass(100);
        main.received.clear();
    }
    void TearDown() override {
        page->DestroyWindow();
        main.DestroyWindow();
        ClearQueue();
        g_mainWnd = nullptr;
    }
    void Press(UINT message, POINT at) {
        PostMouseEvent(&main, message, at);
        LetTimePass(10);
    }
    void Click(POINT at) {
        Press(WM_LBUTTONDOWN, at);
        Press(WM_LBUTTONUP, at);
    }

    HeadlessBackend backend;
    MainProbe main;
    std::unique_ptr<Page> page;
};
