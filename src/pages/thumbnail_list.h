// What the picture browser's list shows, as its worker keeps it: the items in
// list order with the file each was made from and the image it shows, and the
// names still to load. The worker is the only one that adds, removes or moves
// items, so this record and the control always agree. A folder read again is
// brought up to date item by item: removed files leave, renamed ones keep their
// thumbnail under the new name, rewritten ones get a new one in their image's
// place, new ones are loaded; the rest is left alone.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "imaging/px_image.h"
#include "platform/window/image_list.h"
#include "platform/window/list_view.h"
#include "stamp/thumbnail_pool.h"

class ThumbnailList {
public:
    ThumbnailList(CListCtrl& list, CImageList& images) : list_(list), images_(images) {}

    const std::string& Folder() const { return folder_; }

    // Empties the list and its images; `folder` (ending in "/") is read next.
    void Reset(const std::string& folder);
    // Takes the folder's sorted names: removes, renames and marks for loading.
    void Update(const std::vector<std::string>& names);
    // Loads what is marked on the pool's threads and shows it in name order, asking
    // `stop` before every file and while waiting for one. False when stopped; what
    // is left stays marked and what the pool made ahead is thrown away.
    bool LoadMarked(ThumbnailPool& pool, const std::function<bool()>& stop);

    std::size_t Count() const { return shown_.size(); }

private:
    // What tells a file apart: the same file renamed keeps it, a rewrite changes it.
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long modified = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Shown {
        std::string name;
        Stamp stamp;
        int image;
    };
    struct Marked {
        std::string name;
        bool again;  // shown already: its image is replaced
    };
    // One file's thumbnail as a pool thread made it; no image for a file that is
    // gone, no regular file or no picture by its extension.
    struct Loaded {
        Stamp stamp;
        std::unique_ptr<PxImage> image;
    };

    static bool StampOf(const std::string& path, Stamp& stamp);
    int IndexOf(const std::string& name) const;
    void RemoveGone(const std::vector<std::string>& names, std::vector<std::string>& added);
    bool TakeAsRenamed(std::size_t index, std::vector<std::string>& added,
                       std::vector<Stamp>& stamps);
    void Remove(std::size_t index);
    // Runs on a pool thread: touches nothing of the list.
    static Loaded LoadFile(const std::string& path);
    bool ShowLoaded(const Marked& marked, const Loaded& loaded);
    int PlaceImage(const PxImage& image, int replacing);

    CListCtrl& list_;
    CImageList& images_;
    std::string folder_;
    std::vector<Shown> shown_;     // in list order, by name
    std::vector<Marked> marked_;   // by name
    std::vector<int> freeImages_;  // places of removed items' images, for reuse
};
