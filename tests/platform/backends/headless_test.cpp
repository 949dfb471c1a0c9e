#include "platform/backends/headless_backend.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "imaging/px_image.h"
#include "platform/backends/screenshot.h"
#include "platform/backends/script.h"
#include "platform/gdi/gdi.h"
#include "platform/window/message_box.h"
#include "platform/window/message_loop.h"
#include "platform/window/paint.h"

namespace fs = std::filesystem;

namespace {

// A red window that asks a question when clicked and remembers the answer.
class Asker : public CWnd {
public:
    int answer = 0;
    POINT clickedAt{-1, -1};
    std::uint64_t clickedTime = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_LBUTTONDOWN) {
            clickedAt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            clickedTime = GetClock()->NowMs();
            answer = MessageBox(this, "Sure?", "Ostrel", MB_OKCANCEL | MB_ICONQUESTION);
            return 0;
        }
        if (message == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(this, &ps);
            HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
            RECT all{0, 0, 40, 30};
            FillRect(hdc, &all, red);
            DeleteObject(red);
            EndPaint(this, &ps);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

}  // namespace

TEST(Script, ParsesStepsAndNamesTheBadLine) {
    std::string error;
    auto steps = ParseScript(
        "# demo\n\nwait 100\nclick 3 4\nkey ENTER\nkey x\nanswer CANCEL\nquit\n", &error);
    ASSERT_TRUE(steps) << error;
    ASSERT_EQ(steps->size(), 6u);
    EXPECT_EQ((*steps)[1].line, 4);
    EXPECT_EQ((*steps)[1].args[1], "4");
    for (const char* bad : {"jump 1", "wait", "wait soon", "click 1", "key F13", "answer MAYBE",
                            "screenshot a/b", "quit now"}) {
        EXPECT_FALSE(ParseScript(std::string("wait 1\n") + bad + "\n", &error)) << bad;
        EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << bad << ": " << error;
    }
}

TEST(Headless, ScriptDrivesInputAnswersBoxesAndTakesScreenshots) {
    HeadlessBackend backend;
    const fs::path out =
        fs::temp_directory_path() / ("ostrel_headless_" + std::to_string(getpid()));
    fs::create_directories(out);
    Asker window;
    ASSERT_TRUE(window.CreateEx(nullptr, RECT{0, 0, 40, 30}, "Ostrel", 0, WS_POPUP | WS_VISIBLE));
    HRGN shape = CreateRoundRectRgn(0, 0, 40, 30, 16, 16);
    SetWindowRgn(&window, shape, true);
    DeleteObject(shape);

    std::string error;
    auto steps =
        ParseScript("wait 250\nanswer CANCEL\nclick 12 7\nscreenshot shot\nquit\n", &error);
    ASSERT_TRUE(steps) << error;
    ScriptRunner runner(backend, *steps, out.string());
    runner.Start();
    MSG message;
    while (GetMessage(&message))
        DispatchMessage(&message);

    EXPECT_TRUE(runner.Finished());
    EXPECT_TRUE(runner.Problems().empty());
    EXPECT_EQ(window.clickedAt.x, 12);
    EXPECT_EQ(window.clickedTime, 250u);
    EXPECT_EQ(window.answer, IDCANCEL);
    ASSERT_EQ(backend.Boxes().size(), 1u);
    EXPECT_EQ(backend.Boxes()[0].text, "Sure?");
    EXPECT_EQ(backend.Boxes()[0].owner, &window);

    ASSERT_EQ(runner.Screenshots().size(), 1u);
    PxImage shot;
    ASSERT_TRUE(shot.Load(runner.Screenshots()[0].c_str(), kScreenshotFormat, true));
    EXPECT_EQ(shot.GetWidth(), 40u);
    // Row 0 of the picture is the bottom row: (20, 15) lies inside, the corner outside.
    EXPECT_EQ(shot.GetPixelColor(20, 15).rgbRed, 255);
    EXPECT_EQ(shot.GetPixelColor(0, 29).rgbRed, 0);
    fs::remove_all(out);
}

TEST(Headless, UnansweredBoxesTakeTheirFirstButton) {
    HeadlessBackend backend;
    EXPECT_EQ(MessageBox(nullptr, "a", "b", MB_OK), IDOK);
    EXPECT_EQ(MessageBox(nullptr, "a", "b", MB_YESNO), IDYES);
    backend.QueueBoxAnswer(IDNO);
    EXPECT_EQ(MessageBox(nullptr, "a", "b", MB_YESNO), IDNO);
    EXPECT_EQ(backend.Boxes().size(), 3u);
}

TEST(Headless, SaveAsDialogsAreAnsweredFromTheScriptAndRecorded) {
    HeadlessBackend backend;
    std::string error;
    auto steps = ParseScript("saveas /tmp/stamps/Sunset\nsaveas CANCEL\nquit\n", &error);
    ASSERT_TRUE(steps) << error;
    ScriptRunner runner(backend, *steps, "/tmp");
    runner.Start();
    MSG message;
    while (GetMessage(&message))
        DispatchMessage(&message);
    const SaveAsRequest request{nullptr, "png|*.png||", "/tmp/stamps", "Sunset.png", "png"};
    EXPECT_EQ(GetSaveFileName(request).path, "/tmp/stamps/Sunset.png");
    EXPECT_TRUE(GetSaveFileName(request).path.empty());  // the scripted cancel
    EXPECT_TRUE(GetSaveFileName(request).path.empty());  // nothing queued: cancelled
    ASSERT_EQ(backend.SaveAsRequests().size(), 3u);
    EXPECT_EQ(backend.SaveAsRequests()[0].initialFolder, "/tmp/stamps");
    EXPECT_FALSE(ParseScript("saveas\n", &error));
}

namespace {

// Records the key state of each move and shows the four-way cursor while dragged.
class Dragged : public CWnd {
public:
    std::vector<WPARAM> moveKeys;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_MOUSEMOVE) {
            moveKeys.push_back(wParam);
            if (wParam) SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

}  // namespace

// Moves between a press and its release carry the button, so a script can drag;
// the back end keeps the cursor the window chose.
TEST(Headless, ScriptedDragsCarryTheButtonAndTheCursorIsRecorded) {
    HeadlessBackend backend;
    Dragged window;
    ASSERT_TRUE(window.CreateEx(nullptr, RECT{0, 0, 40, 30}, "Ostrel", 0, WS_POPUP | WS_VISIBLE));
    std::string error;
    auto steps =
        ParseScript("move 1 1\npress 2 2\nmove 9 9\nrelease 9 9\nmove 10 10\nquit\n", &error);
    ASSERT_TRUE(steps) << error;
    ScriptRunner runner(backend, *steps, "/tmp");
    runner.Start();
    bool draggedCursor = false;
    MSG message;
    while (GetMessage(&message)) {
        DispatchMessage(&message);
        draggedCursor = draggedCursor || backend.CurrentCursor() == IDC_SIZEALL;
    }
    EXPECT_EQ(window.moveKeys, (std::vector<WPARAM>{0, 1, 0}));
    EXPECT_TRUE(draggedCursor);
    EXPECT_EQ(backend.CurrentCursor(), IDC_ARROW);  // the last move set none
}
