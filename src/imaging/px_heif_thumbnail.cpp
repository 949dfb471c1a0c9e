#include "px_heif_thumbnail.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

struct Size {
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t Longer() const { return std::max(width, height); }
};

// libheif applies each image's own transformations, so the sizes compared are
// those the decode will give.
Size DecodedSize(const heif_image_handle* handle, bool upright) {
    if (upright) return {heif_image_handle_get_width(handle), heif_image_handle_get_height(handle)};
    return {heif_image_handle_get_ispe_width(handle), heif_image_handle_get_ispe_height(handle)};
}

// Within a pixel of rounding on each side. A thumbnail that lacks the primary's
// rotation fails this and is passed over, so the picture never comes out turned.
bool SameProportions(Size primary, Size thumb) {
    if (thumb.width <= 0 || thumb.height <= 0) return false;
    const std::int64_t skew = thumb.width * primary.height - thumb.height * primary.width;
    return std::llabs(skew) <= primary.width + primary.height;
}

}  // namespace

PxHeifHandle PxHeifFittingThumbnail(const heif_image_handle* primary, DWORD side, bool upright) {
    const int count = side ? heif_image_handle_get_number_of_thumbnails(primary) : 0;
    if (count <= 0) return {};
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
    const int listed = heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
    const Size full = DecodedSize(primary, upright);
    PxHeifHandle best;
    std::int64_t bestSide = full.Longer();
    for (int i = 0; i < std::min(listed, count); ++i) {
        heif_image_handle* raw = nullptr;
        if (heif_image_handle_get_thumbnail(primary, ids[i], &raw).code != heif_error_Ok || !raw)
            continue;
        PxHeifHandle thumb(raw);
        const Size size = DecodedSize(thumb.get(), upright);
        if (size.Longer() < side || size.Longer() >= bestSide || !SameProportions(full, size))
            continue;
        bestSide = size.Longer();
        best = std::move(thumb);
    }
    return best;
}
