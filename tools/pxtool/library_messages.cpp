#include "library_messages.h"

#include <iostream>
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

}  // namespace pxtool
