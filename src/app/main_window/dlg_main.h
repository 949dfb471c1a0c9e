// The wizard's only top-level window: frameless, cut to its outline, 580 x 411.
// It creates the six pages in order, shows one at a time, and carries out what
// the pages post to it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "app/flash/wiz_page.h"
#include "app/texts/wizard_texts.h"
#include "imaging/px_image.h"
#include "platform/system/bus/application_bus.h"
#include "platform/window/dialog.h"
#include "platform/window/dropped_files.h"

// Posted to the main window by its bus door: another start asked for the wizard.
constexpr UINT WM_WIZ_BRING_FORWARD = WM_USER + 6;

class CDlgMain : public CDialog {
public:
    static constexpr std::size_t kEnd = static_cast<std::size_t>(-1);  // no page
    static constexpr int kPageCount = 6;
    static constexpr UINT_PTR kCreatePagesTimer = 100;
    static constexpr UINT kIdmAbout = 0x0010;

    CDlgMain();
    ~CDlgMain() override;

    const WizardTexts* texts = &g_texts;
    // Given on the command line: the wizard starts on the browser page, which opens it.
    std::string startPicture;
    // The session-bus name under which the window takes files from other starts;
    // empty: none offered.
    std::string busName;
    PxImage icon;  // resource ICON 128, drawn while minimised
    int stepCount = 0;
    std::vector<std::unique_ptr<CDlgWizPage>> pages;
    std::size_t current = kEnd;
    std::size_t previous = kEnd;

    void CreateNextPage();
    void ShowCurrentPage();

    bool OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;
    void OnTimer(UINT_PTR id) override;
    void OnPaint() override;
    void OnSysCommand(WPARAM id, LPARAM lParam) override;
    void OnActivate(UINT state, CWnd* other) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ShowFirstPage();
    void OfferOnSessionBus();
    void OnDropFiles(HDROP drop);
    void OpenDropped(const std::string& path);
    void BringForward();
    void ApplyOutline();
    void AddAboutToSystemMenu();
    void ShowPopupMenu();
    void Minimise();
    void Next(WPARAM jump);
    void Previous();
    std::unique_ptr<CDlgWizPage> MakePage(int step);

    std::unique_ptr<ApplicationService> busService_;
};
