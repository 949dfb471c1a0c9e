// The picture browser's worker thread: it lists the chosen folder and fills the
// list one thumbnail at a time, in name order, from what its pool of threads makes
// ahead, and starts over, or brings the list up to date, whenever the page asks.
// The page sets the stop flag before it signals, so a pass ends within moments of
// its request, and what the pool made for it is thrown away.
#include <chrono>

#include "dlg_wiz2.h"
#include "list_picture_files.h"
#include "platform/window/message_queue.h"
#include "thumbnail_list.h"

namespace {

// The folder part of a chosen path: a file chosen in the list meanwhile must not
// be taken for the folder.
std::string FolderOf(const std::string& chosen) {
    const std::size_t slash = chosen.rfind('/');
    return slash == std::string::npos ? chosen : chosen.substr(0, slash + 1);
}

}  // namespace

// A new folder empties the list first; the same folder again is brought up to
// date, going on with what an interrupted pass left to load.
void ThumbnailWorker(CDlgWiz2* page) {
    ThumbnailPool pool(page->ThumbnailThreads());
    ThumbnailList list(page->fileList, page->thumbnails);
    std::vector<std::string> names;
    for (;;) {
        page->wakeEvent.Wait();
        if (page->IsQuitRequested()) return;
        const ThumbnailRequest request = page->TakeThumbnailRequest();
        ListPictureFiles(request.folder, "*.*", names);
        if (request.anew || request.folder != list.Folder()) list.Reset(request.folder);
        list.Update(names);
        list.LoadMarked(pool, [page] { return page->IsStopRequested(); });
    }
}

void CDlgWiz2::RestartThumbnails() {
    {
        std::lock_guard lock(stopLock);
        stopRequested = true;
        anewRequested = true;
    }
    wakeEvent.Set();
}

void CDlgWiz2::RefreshThumbnails() {
    SetStopRequested(true);
    wakeEvent.Set();
}

ThumbnailRequest CDlgWiz2::TakeThumbnailRequest() {
    std::lock_guard lock(stopLock);
    stopRequested = false;
    ThumbnailRequest request{FolderOf(chosenPath), anewRequested};
    anewRequested = false;
    return request;
}

std::string CDlgWiz2::ShownFolder() {
    return FolderOf(ChosenPathCopy());
}

void CDlgWiz2::SetStopRequested(bool value) {
    std::lock_guard lock(stopLock);
    stopRequested = value;
}

bool CDlgWiz2::IsStopRequested() {
    std::lock_guard lock(stopLock);
    return stopRequested || quitRequested_;
}

bool CDlgWiz2::IsQuitRequested() {
    std::lock_guard lock(stopLock);
    return quitRequested_;
}

std::string CDlgWiz2::ChosenPathCopy() {
    std::lock_guard lock(stopLock);
    return chosenPath;
}

void CDlgWiz2::SetChosenPath(std::string path) {
    std::lock_guard lock(stopLock);
    chosenPath = std::move(path);
}

// The worker may be waiting for this thread to carry out a message it sent, so
// this thread keeps carrying them out until the worker has ended.
void CDlgWiz2::StopWorker() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard lock(stopLock);
        quitRequested_ = true;
        stopRequested = true;
    }
    wakeEvent.Set();
    const auto queue = MessageQueue::Current();
    while (!workerDone_.load()) {
        if (!queue->HandleSentMessages()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker_.join();
}
