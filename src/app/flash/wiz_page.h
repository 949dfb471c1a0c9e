// The base of the six step pages: a child dialog of the main window that covers
// its client area, turns the movie's commands into requests to the main window,
// and never closes itself.
#pragma once

#include <string>

#include "flash_ctrl.h"
#include "platform/window/dialog.h"
#include "platform/window/tooltip.h"

// Private messages of the main window (posted by the pages, never sent).
constexpr UINT WM_WIZ_NEXT = WM_USER + 1;
constexpr UINT WM_WIZ_PREVIOUS = WM_USER + 2;
constexpr UINT WM_WIZ_EXIT = WM_USER + 3;
constexpr UINT WM_WIZ_REDUCE = WM_USER + 4;
constexpr UINT WM_WIZ_ACTIVATED = WM_USER + 5;

class CDlgWizPage : public CDialog {
public:
    // Records the parent as g_mainWnd when none is recorded yet.
    CDlgWizPage(int templateId, int step, CWnd* parent);

    // Whether leaving asks the exit question first.
    bool confirmExit = true;

    int Step() const { return step_; }

    // Moving on from this page; the base just asks for the next page.
    virtual void Next() { RequestNext(); }
    // A command of the movie with its argument.
    virtual void OnFSCommand(const std::string& command, const std::string& argument);

    void RequestNext();
    void RequestPrevious();
    void RequestReduce();
    // Asks first when confirmExit is set; then deletes the pending stamp file and
    // asks the main window to close.
    void RequestExit();
    // Covers the main window's client area with the window.
    static void FitToMainClient(CWnd* window);

    bool OnInitDialog() override;
    void OnOK() override { Next(); }
    void OnCancel() override {}
    bool PreTranslateMessage(const MSG& message) override;
    // A page that goes away takes its tip with it.
    void OnShowWindow(bool show, UINT status) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The page's movie (control 1003 of its template) and the tooltip over it.
    CFlashCtrl movie;
    CToolTipCtrl tooltip;

    // The longest tip, in bytes: the tip buffer holds 80.
    static constexpr std::size_t kTipBytes = 76;

protected:
    // Runs after the page and its movie are sized and before the movie loads.
    virtual void BeforeLoadingMovie() {}
    CWnd* CreateControlObject(const struct ControlTemplate& control) override;

private:
    void AnswerTipRequest(NMTTDISPINFO& info);

    int step_;
    POINT lastMove_{-1, -1};
};

// The movie's tip variable "tt" as a tip: at most `limit` bytes, cut on a character
// boundary.
std::string TipText(const std::string& tt, std::size_t limit);

// Deletes g_pendingStampFile, if any, without asking or reporting, and forgets it.
void DeletePendingStampFile();
