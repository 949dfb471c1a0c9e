// CMoviePlayer: the window that plays a movie. Its operations are the ones the
// pages use on their player; commands the movie sends arrive in OnFSCommand,
// always after the call or event that caused them has returned, in order. Tab
// reaches the movie's buttons and sliders; the one with the keyboard shows the
// focus mark around it, Space (and the dialog's Enter) presses a button and the
// arrows move a slider.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "movie_playback.h"
#include "movie_pointer.h"
#include "movie_renderer.h"
#include "platform/window/inner_tab_stops.h"
#include "platform/window/window.h"

class CMoviePlayer : public CWnd, public InnerTabStops {
public:
    using FSCommandHandler =
        std::function<void(const std::string& command, const std::string& argument)>;

    // Major version in the high 16 bits, our own revision in the low ones.
    static constexpr long kVersion = 0x50000 | 1;

    CMoviePlayer();
    ~CMoviePlayer() override;

    // Loads and starts the movie at a "file://" URL or a plain path; a query
    // (?frm=3&x=a%20b) sets variables. A missing or refused movie leaves the
    // player empty, with the reason in LastError.
    void Movie(const std::string& url);
    long FrameNum() const;  // -1 when no movie is loaded
    void GotoFrame(long frame);
    long FlashVersion() const { return kVersion; }
    void TGotoFrame(const std::string& path, long frame);
    long TCurrentFrame(const std::string& path);  // -1 when the path finds nothing
    void TPlay(const std::string& path);
    void SetVariable(const std::string& name, const std::string& value);
    // Runs that frame's actions for the clip at `path`; its playhead stays.
    void TCallFrame(const std::string& path, long frame);
    std::string GetVariable(const std::string& name);

    bool HasMovie() const { return playback_ != nullptr; }
    const std::string& LastError() const { return lastError_; }
    // Called by the default OnFSCommand.
    void SetFSCommandHandler(FSCommandHandler handler) { handler_ = std::move(handler); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool MoveInnerFocus(bool backwards) override;
    bool PressInnerFocus() override;
    // The focused stop's place among the stops the keyboard reaches; -1 for none.
    // A place, not an item: a clip's next frame that puts another button where the
    // pressed one was keeps the keyboard there.
    int FocusedStop() const { return focus_; }

protected:
    // Whether the keyboard stops at a button or slider with this stage box.
    virtual bool TakesKeys(const RECT& /*box*/) const { return true; }
    virtual void OnFSCommand(const std::string& command, const std::string& argument);
    // Mouse hooks; a subclass may act first and then call these.
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual void OnLButtonUp(UINT flags, POINT point);
    virtual void OnMouseMove(UINT flags, POINT point);
    virtual void OnRButtonDown(UINT flags, POINT point);  // the player has no menu: nothing
    virtual void OnPaint();
    virtual void OnTimer();

private:
    void Unload();
    void StartTimer();
    // After anything that may have changed the movie: queues its commands for
    // delivery and repaints what changed.
    void Settle();
    void PostDelivery();
    void DeliverCommands();
    std::vector<player::PointerTarget> Stops() const;
    std::optional<player::PointerTarget> Focused() const;
    void SetFocusedStop(int index);
    bool OnKeyDown(UINT key);

    std::unique_ptr<player::MoviePlayback> playback_;
    std::unique_ptr<player::MoviePointer> pointer_;
    player::MovieRenderer renderer_;
    std::deque<player::FsCommand> pending_;
    int focus_ = -1;
    bool deliveryPosted_ = false;
    bool delivering_ = false;
    std::shared_ptr<bool> alive_;
    std::string lastError_;
    FSCommandHandler handler_;
};
