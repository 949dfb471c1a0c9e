#include "library_messages.h"

#include <iostream>
#include <iterator>
#include <string>

#include "platform/window/message_box.h"

namespace pxtool {
namespace {

std::size_t g_printed = 0;

// A box without a text says nothing: the text that follows it tells the failure.
int PrintMessage(const char* text, const char* caption, UINT) {
    if (*text == '\0') return IDOK;
    std::cerr << "pxtool: " << caption << ": " << text << "\n";
    ++g_printed;
    return IDOK;
}

}  // namespace

void PrintMessageBoxes() {
    PxSetMessageBoxHook(PrintMessage);
    SetMessageBoxHandler([](HWND, const std::string& text, const std::string& caption, UINT style) {
        return PrintMessage(text.c_str(), caption.c_str(), style);
    });
}

std::size_t MessagesPrinted() {
    return g_printed;
}

const char* TypeName(DWORD type) {
    constexpr const char* kNames[] = {"", "BMP", "GIF", "JPEG", "PNG", "WebP", "HEIF", "TIFF"};
    return type < std::size(kNames) ? kNames[type] : "";
}

std::string DecodeFailure(const PxImage& image, DWORD type) {
    if (image.GetLastError()[0] != '\0') return image.GetLastError();
    if (type == PX_FORMAT_GIF && image.GetNumFrames() > 0 &&
        image.GetFrame() >= image.GetNumFrames())
        return "there is no frame " + std::to_string(image.GetFrame()) + " (the file has " +
               std::to_string(image.GetNumFrames()) + ")";
    return std::string("not a readable ") + TypeName(type) + " picture";
}

}  // namespace pxtool
