#include "magnified_stamp.h"

#include <memory>

#include "picture_drawing.h"

bool CMagnifiedStamp::Show(const std::string& file, int factor) {
    image.reset();
    path = file;
    auto stamp = std::make_unique<PxImage>();
    if (!stamp->Load(file.c_str(), PX_FORMAT_PNG, true) || !stamp->IsValid()) return false;
    const auto w = static_cast<LONG>(stamp->GetWidth()) * factor;
    const auto h = static_cast<LONG>(stamp->GetHeight()) * factor;
    if (!stamp->Resample(w, h, 1)) return false;
    image = std::move(stamp);
    return true;
}

void CMagnifiedStamp::Draw() const {
    if (!owner || !image) return;
    OwnerDC dc(owner);
    if (!dc.get()) return;
    DrawOverHatch(dc.get(), *image, POINT{originX, originY});
}
