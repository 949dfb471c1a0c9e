// The library's and the settings' message boxes, printed as lines on standard error,
// so that each failure is told once: by a box, or else by pxtool itself.
#pragma once

#include <cstddef>

#include <string>

#include "imaging/px_image.h"
#include "imaging/px_message.h"

namespace pxtool {

// Routes the library's and the window system's message boxes to standard error.
void PrintMessageBoxes();
// How many boxes have been printed so far.
std::size_t MessagesPrinted();

// BMP, GIF, JPEG or PNG.
const char* TypeName(DWORD type);
// Why a decode failed. Some refusals come without a text from the decoder: a file
// that is not of the type at all, or a frame past the last.
std::string DecodeFailure(const PxImage& image, DWORD type);

// Silences the library's boxes for as long as it lives, where pxtool tells the
// failure itself.
class QuietLibrary {
public:
    QuietLibrary() : previous_(PxSetMessageBoxHook(nullptr)) {}
    ~QuietLibrary() { PxSetMessageBoxHook(previous_); }
    QuietLibrary(const QuietLibrary&) = delete;
    QuietLibrary& operator=(const QuietLibrary&) = delete;

private:
    PxMessageBoxHook previous_;
};

}  // namespace pxtool
