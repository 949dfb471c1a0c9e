#include "thumbnail_list.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "stamp/thumbnail_picture.h"

namespace {

constexpr int kThumbnailSize = 64;
// Mask colour of the list: black. The squaring already moved black picture
// content to a near-black grey.
constexpr COLORREF kMaskColour = RGB(0, 0, 0);

bool Contains(const std::vector<std::string>& sorted, const std::string& name) {
    return std::binary_search(sorted.begin(), sorted.end(), name);
}

}  // namespace

// Only a regular file (a link counts as what it points to) is ever opened, so
// nothing that would block the worker, such as a pipe, is read.
bool ThumbnailList::StampOf(const std::string& path, Stamp& stamp) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    stamp =
        Stamp{info.st_dev, info.st_ino, info.st_size,
              static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec};
    return true;
}

int ThumbnailList::IndexOf(const std::string& name) const {
    const auto at =
        std::lower_bound(shown_.begin(), shown_.end(), name,
                         [](const Shown& s, const std::string& n) { return s.name < n; });
    return at != shown_.end() && at->name == name ? static_cast<int>(at - shown_.begin()) : -1;
}

void ThumbnailList::Reset(const std::string& folder) {
    images_.Remove(-1);
    if (list_.GetItemCount() > 0) list_.DeleteAllItems();
    list_.SetImageList(&images_, LVSIL_NORMAL);
    folder_ = folder;
    shown_.clear();
    marked_.clear();
    freeImages_.clear();
}

void ThumbnailList::Update(const std::vector<std::string>& names) {
    std::vector<std::string> added;
    for (const std::string& name : names)
        if (IndexOf(name) < 0) added.push_back(name);
    RemoveGone(names, added);
    marked_.clear();
    for (const std::string& name : names) {
        const int index = IndexOf(name);
        if (index < 0) {
            marked_.push_back(Marked{name, false});
            continue;
        }
        Stamp now;
        if (StampOf(folder_ + name, now) && !(now == shown_[static_cast<std::size_t>(index)].stamp))
            marked_.push_back(Marked{name, true});
    }
}

// A file that left under one name and came under another is the same file
// renamed: its item takes the new name (and its place in the order).
void ThumbnailList::RemoveGone(const std::vector<std::string>& names,
                               std::vector<std::string>& added) {
    std::vector<std::string> gone;
    for (const Shown& s : shown_)
        if (!Contains(names, s.name)) gone.push_back(s.name);
    if (gone.empty()) return;
    std::vector<Stamp> stamps(added.size());
    for (std::size_t i = 0; i < added.size(); ++i)
        if (!StampOf(folder_ + added[i], stamps[i])) stamps[i] = Stamp{};
    // From the end, so the items before stay where they are meanwhile.
    for (auto name = gone.rbegin(); name != gone.rend(); ++name) {
        const auto index = static_cast<std::size_t>(IndexOf(*name));
        if (!TakeAsRenamed(index, added, stamps)) Remove(index);
    }
}

bool ThumbnailList::TakeAsRenamed(std::size_t index, std::vector<std::string>& added,
                                  std::vector<Stamp>& stamps) {
    const Stamp& old = shown_[index].stamp;
    const auto match = std::find(stamps.begin(), stamps.end(), old);
    if (old == Stamp{} || match == stamps.end()) return false;
    const auto k = match - stamps.begin();
    Shown moved = std::move(shown_[index]);
    moved.name = added[static_cast<std::size_t>(k)];
    added.erase(added.begin() + k);
    stamps.erase(stamps.begin() + k);
    shown_.erase(shown_.begin() + static_cast<std::ptrdiff_t>(index));
    const auto to =
        std::lower_bound(shown_.begin(), shown_.end(), moved.name,
                         [](const Shown& s, const std::string& n) { return s.name < n; });
    const int toIndex = static_cast<int>(to - shown_.begin());
    list_.SetItemText(static_cast<int>(index), moved.name);
    list_.MoveItem(static_cast<int>(index), toIndex);
    shown_.insert(to, std::move(moved));
    return true;
}

void ThumbnailList::Remove(std::size_t index) {
    list_.DeleteItem(static_cast<int>(index));
    freeImages_.push_back(shown_[index].image);
    shown_.erase(shown_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool ThumbnailList::LoadMarked(ThumbnailPool& pool, const std::function<bool()>& stop) {
    const std::size_t count = marked_.size();
    std::vector<std::string> paths;
    for (const Marked& marked : marked_)
        paths.push_back(folder_ + marked.name);
    const std::size_t done = TakeInOrder<Loaded>(
        pool, count, [paths = std::move(paths)](std::size_t i) { return LoadFile(paths[i]); },
        [this](std::size_t i, Loaded& loaded) { ShowLoaded(marked_[i], loaded); }, stop);
    marked_.erase(marked_.begin(), marked_.begin() + static_cast<std::ptrdiff_t>(done));
    return done == count;
}

// A file that is gone by now, or is no regular file, is never opened; one with
// another extension is not loaded.
ThumbnailList::Loaded ThumbnailList::LoadFile(const std::string& path) {
    Loaded loaded;
    auto image = std::make_unique<PxImage>();
    if (!StampOf(path, loaded.stamp) || LoadThumbnailPicture(path, *image) == 0) return loaded;
    MakeSquareThumbnail(*image, kThumbnailSize);
    loaded.image = std::move(image);
    return loaded;
}

// A file that got no thumbnail gets no item.
bool ThumbnailList::ShowLoaded(const Marked& marked, const Loaded& loaded) {
    if (!loaded.image) return false;
    if (marked.again) {
        const int index = IndexOf(marked.name);
        if (index < 0) return false;
        Shown& shown = shown_[static_cast<std::size_t>(index)];
        if (PlaceImage(*loaded.image, shown.image) < 0) return false;
        shown.stamp = loaded.stamp;
        return list_.RedrawItems(index, index);
    }
    const int reused = freeImages_.empty() ? -1 : freeImages_.back();
    const int place = PlaceImage(*loaded.image, reused);
    if (place < 0) return false;
    if (reused >= 0) freeImages_.pop_back();
    const auto to =
        std::lower_bound(shown_.begin(), shown_.end(), marked.name,
                         [](const Shown& s, const std::string& n) { return s.name < n; });
    list_.InsertItem(static_cast<int>(to - shown_.begin()), marked.name, place);
    shown_.insert(to, Shown{marked.name, loaded.stamp, place});
    return true;
}

// The image goes in place of `replacing`, or is added; its place, or -1 when the
// image list refused it (the name then gets no item).
int ThumbnailList::PlaceImage(const PxImage& image, int replacing) {
    HBITMAP bitmap = image.MakeBitmap(nullptr);
    int place = replacing;
    if (replacing >= 0) {
        if (!images_.Replace(replacing, bitmap, kMaskColour)) place = -1;
    } else {
        place = images_.Add(bitmap, kMaskColour);
    }
    DeleteObject(bitmap);
    return place;
}
