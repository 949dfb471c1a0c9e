// pxtool gifanim: paletted pictures written as one animated GIF through the
// multi-frame writer, with a frame delay and a loop count.
#include <cstdio>
#include <iostream>
#include <memory>
#include <vector>

#include "commands.h"
#include "imaging/px_gif_codec.h"
#include "imaging/px_image.h"
#include "imaging/px_io_file.h"
#include "library_messages.h"

namespace pxtool {
namespace {

std::unique_ptr<PxImage> LoadFrame(const std::string& file, const Options& options) {
    auto image = std::make_unique<PxImage>();
    const QuietLibrary quiet;
    const FileArgument argument{file, std::nullopt};
    const DWORD type = TypeOf(argument);
    if (!image->Load(file.c_str(), type, true, LoadOptionsOf(options.asStored, argument))) {
        std::cerr << "pxtool: cannot decode " << file << ": " << DecodeFailure(*image, type)
                  << "\n";
        return nullptr;
    }
    if (!image->IsIndexed()) {
        std::cerr << "pxtool: " << file << " is not paletted (" << image->GetBpp()
                  << " bits per pixel); animation frames need a palette\n";
        return nullptr;
    }
    image->SetOffset(0, 0);
    if (options.delay) image->SetFrameDelay(static_cast<DWORD>(*options.delay));
    return image;
}

}  // namespace

int RunGifAnim(const Options& options) {
    if (options.positional.size() < 2) throw UsageError("gifanim takes OUT.gif and the frames");
    std::vector<std::unique_ptr<PxImage>> frames;
    std::vector<PxImage*> pointers;
    for (std::size_t i = 1; i < options.positional.size(); ++i) {
        frames.push_back(LoadFrame(options.positional[i], options));
        if (!frames.back()) return 1;
        pointers.push_back(frames.back().get());
    }
    const std::string& out = options.positional[0];
    PxIOFile file;
    if (!file.Open(out.c_str(), "wb")) {
        std::perror(("pxtool: " + out).c_str());
        return 1;
    }
    PxGifCodec writer;
    if (options.loop) writer.SetLoopCount(static_cast<WORD>(*options.loop));
    if (!writer.Encode(&file, pointers.data(), static_cast<int>(pointers.size()))) {
        std::cerr << "pxtool: cannot encode " << out << ": " << writer.GetLastError() << "\n";
        return 1;
    }
    if (!file.Close()) {
        std::perror(("pxtool: " + out).c_str());
        return 1;
    }
    return 0;
}

}  // namespace pxtool
