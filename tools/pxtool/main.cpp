// pxtool: the image library from the command line.
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "commands.h"
#include "imaging/px_image.h"
#include "library_messages.h"
#include "stamp.h"
#include "thumbnail.h"

namespace {

constexpr const char* kHelp =
    "usage: pxtool COMMAND ARGS...\n"
    "\n"
    "  info FILE [TYPE] [--frame N] [--as-stored]\n"
    "      print width, height, bpp, type, frames, frame, transparency, alpha, delay\n"
    "  convert IN [TYPE] OUT [TYPE] [--frame N] [--quality Q] [--as-stored] [OPERATION...]\n"
    "      decode IN, apply the operations and encode it as OUT\n"
    "  ppm IN [TYPE] OUT.ppm [--frame N] [--as-stored]\n"
    "      write the decoded picture as a binary PPM (top row first)\n"
    "  gifanim OUT.gif IN1 IN2 ... [--delay CS] [--loop N] [--as-stored]\n"
    "      write paletted pictures (types from their extensions) as one animated GIF;\n"
    "      CS is the frame delay in hundredths of a second, N the loop count (0: for ever)\n";

constexpr const char* kHelpTail =
    "\n"
    "TYPE is 1 (bmp), 2 (gif), 3 (jpeg), 4 (png), 5 (webp), 6 (heif) or 7 (tiff), as a\n"
    "number or a name; left out, it comes from the file name's extension (.bmp, .gif,\n"
    ".jpg, .jpeg, .jpe, .png, .webp, .heic, .heif, .hif, .avif, .tif, .tiff), and a file\n"
    "whose contents are another of these formats is read as what it is. Pictures are\n"
    "read upright (EXIF orientation) and in sRGB (embedded colour profile); --as-stored\n"
    "keeps the pixels as the file stores them. Reading WebP, HEIF and TIFF only.\n"
    "Exit codes: 0 ok, 1 decode or encode failure, 2 usage.\n"
    "\n";

using Command = int (*)(const pxtool::Options&);

void PrintHelp(std::ostream& out) {
    out << kHelp << pxtool::kStampHelp << pxtool::kThumbnailHelp << kHelpTail
        << pxtool::kOperationsHelp;
}

}  // namespace

int main(int argc, char** argv) {
    const std::map<std::string, Command> commands = {{"info", pxtool::RunInfo},
                                                     {"convert", pxtool::RunConvert},
                                                     {"ppm", pxtool::RunPpm},
                                                     {"gifanim", pxtool::RunGifAnim}};
    if (argc < 2) {
        PrintHelp(std::cerr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp(std::cout);
        return 0;
    }
    if (name == "--version") {
        std::cout << "pxtool " << PxImage::GetVersion() << "\n";
        return 0;
    }
    pxtool::PrintMessageBoxes();
    // What is wrong, then how the command is used.
    try {
        if (name == "stamp") return pxtool::RunStamp({argv + 2, argv + argc});
        if (name == "thumbnail") return pxtool::RunThumbnail({argv + 2, argv + argc});
        const auto command = commands.find(name);
        if (command == commands.end()) throw pxtool::UsageError("unknown command '" + name + "'");
        return command->second(pxtool::ParseOptions({argv + 2, argv + argc}));
    } catch (const pxtool::UsageError& error) {
        std::cerr << "pxtool: " << error.what() << "\nusage: " << pxtool::CommandUsage(name)
                  << "\n";
        return 2;
    }
}
