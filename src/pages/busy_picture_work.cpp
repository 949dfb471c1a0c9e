#include "busy_picture_work.h"

#include "imaging/px_message.h"
#include "platform/window/off_thread_work.h"

namespace {

// The library's message boxes from the worker are shown through its hook on the
// page's thread, the worker waiting for the answer.
PxMessageRelay::Relay ShowOnCaller(OffThreadWork& work) {
    return [&work](const char* text, const char* caption, UINT style) {
        int answer = IDOK;
        work.CallOnCaller([&] { answer = PxMessageBox(text, caption, style); });
        return answer;
    };
}

}  // namespace

LoadedPicture LoadPictureShowingBusy(const std::string& path, unsigned formatMask) {
    LoadedPicture loaded;
    OffThreadWork::RunShowingBusy([&](OffThreadWork& work) {
        const PxMessageRelay relay(ShowOnCaller(work));
        loaded = LoadPicture(path, formatMask, 0);
    });
    return loaded;
}

std::unique_ptr<PxImage> EditedCopyShowingBusy(const PxImage& image,
                                               const std::function<bool(PxImage&)>& edit) {
    std::unique_ptr<PxImage> copy;
    OffThreadWork::RunShowingBusy([&](OffThreadWork& work) {
        const PxMessageRelay relay(ShowOnCaller(work));
        copy = std::make_unique<PxImage>(image);
        if (!copy->IsValid() || !edit(*copy)) copy.reset();
    });
    return copy;
}
