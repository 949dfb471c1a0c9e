// The desktop's shared thumbnail cache (freedesktop thumbnail managing standard):
// $XDG_CACHE_HOME/thumbnails/{normal,large,x-large,xx-large}/MD5(URI).png, valid
// while its Thumb::URI, Thumb::MTime (and Thumb::Size when present) match the
// file. Unreadable pictures get an entry under fail/ostrel-VERSION/. Every call
// stands alone, so any number of threads may use the cache at once; a cache that
// cannot be written changes nothing but the time the next visit takes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "thumbnail_png.h"

// A picture file as the cache knows it.
struct ThumbnailSubject {
    std::string uri;
    long long mtime = 0;  // modification time, whole seconds
    long long size = 0;   // bytes
};

// The longer side of a thumbnail this program writes (the "normal" size class).
constexpr unsigned kNormalThumbnailSide = 128;

class ThumbnailCache {
public:
    // `cacheHome` is $XDG_CACHE_HOME or its default; empty gives a cache that has
    // nothing and keeps nothing.
    explicit ThumbnailCache(std::string cacheHome);
    // This user's cache (user_folders.h).
    static ThumbnailCache ForThisUser();

    // The regular file at `path` as the cache names it; none for a file that is
    // gone or not regular, and for the cache's own files.
    std::optional<ThumbnailSubject> Subject(const std::string& path) const;

    // The bytes of a thumbnail PNG that is valid for the subject, smallest size
    // class first; empty when there is none. A symlink, a file of another size
    // class or with the wrong keys is not taken.
    std::vector<unsigned char> Find(const ThumbnailSubject& subject) const;
    // Whether this program recorded the subject, as it is now, as unreadable.
    bool HasFailed(const ThumbnailSubject& subject) const;

    // Writes (or replaces) the subject's "normal" thumbnail: the picture's longer
    // side is at most kNormalThumbnailSide. False when it could not be written.
    bool Store(const ThumbnailSubject& subject, const RgbaPicture& picture,
               const std::string& mimeType) const;
    // Records the subject as unreadable.
    bool StoreFailure(const ThumbnailSubject& subject) const;

    // The folder thumbnails live in: cacheHome/thumbnails.
    const std::string& Folder() const { return folder_; }

private:
    bool Write(const std::string& subfolder, const ThumbnailSubject& subject,
               const RgbaPicture& picture, const std::string& mimeType) const;
    std::vector<unsigned char> ReadValid(const std::string& file, const ThumbnailSubject& subject,
                                         unsigned maxSide) const;

    std::string folder_;
};
