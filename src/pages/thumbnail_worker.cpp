// The picture browser's worker thread: it lists the chosen folder and fills the
// list one thumbnail at a time, and starts over whenever the page asks. The page
// sets the stop flag before it signals, so a pass never outlives its folder by
// more than one picture.
#include <chrono>

#include "dlg_wiz2.h"
#include "list_picture_files.h"
#include "platform/gdi/gdi.h"
#include "platform/window/message_queue.h"
#include "stamp/thumbnail_picture.h"

namespace {

// Mask colour of the list: black. The squaring already moved black picture
// content to a near-black grey.
constexpr COLORREF kMaskColour = RGB(0, 0, 0);

// The folder part of a chosen path: a file chosen in the list meanwhile must not
// be taken for the folder.
std::string FolderOf(const std::string& chosen) {
    const std::size_t slash = chosen.rfind('/');
    return slash == std::string::npos ? chosen : chosen.substr(0, slash + 1);
}

void EmptyList(CDlgWiz2& page) {
    page.thumbnails.Remove(-1);
    if (page.fileList.GetItemCount() > 0) page.fileList.DeleteAllItems();
    page.fileList.SetImageList(&page.thumbnails, LVSIL_NORMAL);
}

// Adds the picture's image, then its item with the same index. False when the
// image list refused the image: the name then gets no item, so the pairs stay.
bool AddThumbnail(CDlgWiz2& page, const PxImage& image, const std::string& name, int n) {
    HBITMAP bitmap = image.MakeBitmap(nullptr);
    const int index = page.thumbnails.Add(bitmap, kMaskColour);
    DeleteObject(bitmap);
    if (index != n) {
        if (index >= 0) page.thumbnails.Remove(index);
        return false;
    }
    page.fileList.InsertItem(n, name, n);
    return true;
}

void RunPass(CDlgWiz2& page, PxImage& image, const std::string& folder,
             const std::vector<std::string>& names) {
    EmptyList(page);
    int n = 0;
    for (const std::string& name : names) {
        if (page.IsStopRequested()) return;
        if (LoadThumbnailPicture(folder + name, image) == 0) continue;
        MakeSquareThumbnail(image, CDlgWiz2::kThumbnailSize);
        if (AddThumbnail(page, image, name, n)) ++n;
    }
}

}  // namespace

void ThumbnailWorker(CDlgWiz2* page) {
    PxImage image;
    std::string folder;
    std::vector<std::string> names;
    for (;;) {
        page->wakeEvent.Wait();
        if (page->IsQuitRequested()) return;
        page->SetStopRequested(false);
        folder = FolderOf(page->ChosenPathCopy());
        ListPictureFiles(folder, "*.*", names);
        RunPass(*page, image, folder, names);
    }
}

void CDlgWiz2::RestartThumbnails() {
    SetStopRequested(true);
    wakeEvent.Set();
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
