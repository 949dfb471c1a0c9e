// Step 2: choosing a picture. The folder tree on the left, the thumbnails of its
// current folder on the right, filled by the page's worker thread
// (thumbnail_worker.cpp); moving on opens the chosen file as the editor's picture.
// The shown folder is watched: files added, removed or renamed there come and go
// in the list without its other thumbnails being made again.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "app/flash/wiz_page.h"
#include "platform/system/event.h"
#include "platform/window/folder_tree.h"
#include "platform/window/folder_watch.h"
#include "platform/window/image_list.h"
#include "platform/window/list_view.h"
#include "stamp/thumbnail_pool.h"

constexpr int IDC_FILE_LIST = 1022;
constexpr int IDC_FOLDER_TREE = 1024;
// Posted by the page to itself: open the picture handed to OpenGivenPicture.
constexpr UINT WM_WIZ_OPEN_GIVEN = WM_USER + 20;
// Posted to the page by its folder watch: the shown folder changed.
constexpr UINT WM_WIZ_FOLDER_WATCH = WM_USER + 21;

// What the worker is asked for at a wake-up: the folder, and whether the list is
// made anew (a new folder) or brought up to date (the same folder changed).
struct ThumbnailRequest {
    std::string folder;
    bool anew;
};

class CDlgWiz2 : public CDlgWizPage {
public:
    static constexpr int kThumbnailSize = 64;

    explicit CDlgWiz2(CWnd* parent);
    // Stops the worker and waits for it.
    ~CDlgWiz2() override;

    bool OnInitDialog() override;
    void OnFSCommand(const std::string& command, const std::string& argument) override;
    // Moves on only while the page shows and its Next button is enabled.
    void Next() override;
    // A picture from outside the page (the command line): once the page has
    // shown, its folder is shown and it is accepted as a pick would be. A folder
    // is only shown.
    void OpenGivenPicture(const std::string& path);
    void OnShowWindow(bool show, UINT status) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The worker's side (thumbnail_worker.cpp).
    void RestartThumbnails();
    // The same folder read again: the list is brought up to date, not made anew.
    void RefreshThumbnails();
    // Clears the stop flag and takes what the page asked for, in one piece.
    ThumbnailRequest TakeThumbnailRequest();
    void SetStopRequested(bool value);
    // Also true once the page is going away.
    bool IsStopRequested();
    bool IsQuitRequested();
    // chosenPath in one piece, against the page's writes.
    std::string ChosenPathCopy();
    // How many threads make the thumbnails; set before Create, as the worker
    // takes it when it starts.
    void SetThumbnailThreads(int threads) { thumbnailThreads_ = threads; }
    int ThumbnailThreads() const { return thumbnailThreads_; }

    Event wakeEvent{true, false};
    CImageList thumbnails;
    CListCtrl fileList;
    bool stopRequested = false;
    bool anewRequested = true;  // guarded by stopLock
    bool firstShow = true;
    std::mutex stopLock;
    std::string chosenPath;
    CWnd* parent;
    CFolderView folderTree;
    int selectedItem = -1;

protected:
    CWnd* CreateControlObject(const struct ControlTemplate& control) override;

private:
    void GoToRoot(bool lastUsed);
    void AcceptPicture();
    void OpenGiven();
    void OnFolderChanged();
    void ShowTreeFolder();
    void WatchShownFolder();
    std::string ShownFolder();
    void OnItemChanged(const NMLISTVIEW& info);
    void OnWizActivated();
    void EnableNext(bool enable);
    std::string TreePath() const;
    void SetChosenPath(std::string path);
    void StopWorker();

    std::string givenPicture_;
    bool quitRequested_ = false;
    int thumbnailThreads_ = ThumbnailPool::DefaultSize();
    std::atomic<bool> workerDone_{false};
    std::thread worker_;
    FolderWatch folderWatch_;
};

// The worker thread's procedure: one pass over the newest chosen folder per wake-up.
void ThumbnailWorker(CDlgWiz2* page);
