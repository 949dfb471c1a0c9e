#include "wizard_resources.h"

#include "wizard_icon.h"

#include <mutex>

#include "platform/base/dib_header.h"
#include "platform/base/resources.h"
#include "platform/window/controls.h"
#include "platform/window/dialog.h"
#include "platform/window/dialog_template.h"

namespace {

struct Band {
    LONG top, bottom, left;
};

// Rows of the lower right-hand cut (137) and left-hand piece (138) of the outline;
// every band ends at x = 33.
const std::vector<Band> kShapeRight = {
    {0, 11, 32},    {11, 15, 31},   {15, 20, 30},   {20, 24, 29},   {24, 33, 28},   {33, 46, 27},
    {46, 59, 26},   {59, 72, 25},   {72, 85, 24},   {85, 98, 23},   {98, 111, 22},  {111, 124, 21},
    {124, 138, 20}, {138, 151, 19}, {151, 160, 18}, {160, 163, 17}, {163, 166, 16}, {166, 169, 15},
    {169, 170, 14}, {170, 172, 13}, {172, 173, 12}, {173, 174, 11}, {174, 175, 10}, {175, 176, 9},
    {176, 177, 8},  {177, 178, 7},  {178, 179, 5},  {179, 180, 3},  {180, 181, 0}};
const std::vector<Band> kShapeLeft = {
    {0, 11, 1},     {11, 15, 2},    {15, 20, 3},    {20, 24, 4},    {24, 33, 5},    {33, 46, 6},
    {46, 59, 7},    {59, 72, 8},    {72, 85, 9},    {85, 98, 10},   {98, 111, 11},  {111, 124, 12},
    {124, 138, 13}, {138, 151, 14}, {151, 160, 15}, {160, 163, 16}, {163, 166, 17}, {166, 169, 18},
    {169, 170, 19}, {170, 172, 20}, {172, 173, 21}, {173, 174, 22}, {174, 175, 23}, {175, 176, 24},
    {176, 177, 25}, {177, 178, 26}, {178, 179, 28}, {179, 180, 30}};

// A region data block: header (32, 1, count, 16 x count, bounds), then rectangles.
std::vector<BYTE> RegionBlock(const std::vector<Band>& bands, RECT bounds) {
    std::vector<BYTE> out(32 + 16 * bands.size());
    const LONG head[8] = {32,
                          1,
                          static_cast<LONG>(bands.size()),
                          static_cast<LONG>(16 * bands.size()),
                          bounds.left,
                          bounds.top,
                          bounds.right,
                          bounds.bottom};
    for (int i = 0; i < 8; ++i)
        StoreLE32(out.data() + 4 * i, static_cast<DWORD>(head[i]));
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const LONG r[4] = {bands[i].left, bands[i].top, 33, bands[i].bottom};
        for (int k = 0; k < 4; ++k)
            StoreLE32(out.data() + 32 + 16 * i + 4 * k, static_cast<DWORD>(r[k]));
    }
    return out;
}

const std::vector<BYTE>& ShapeRight() {
    static const std::vector<BYTE> block = RegionBlock(kShapeRight, RECT{0, 0, 33, 181});
    return block;
}

const std::vector<BYTE>& ShapeLeft() {
    static const std::vector<BYTE> block = RegionBlock(kShapeLeft, RECT{1, 0, 33, 180});
    return block;
}

constexpr DWORD kPageStyle = WS_CHILD;
// 387 x 253 dialog units are 580 x 411 pixels.
constexpr RECT kMainRect{0, 0, 387, 253};

void RegisterDialogs() {
    RegisterDialogTemplate({IDD_MAIN, kMainRect, WS_POPUP | WS_VISIBLE | DS_CENTER, "", {}});
    for (int step = 1; step <= 6; ++step) {
        RegisterDialogTemplate({IDD_WIZ1 + step - 1,
                                kMainRect,
                                kPageStyle,
                                "",
                                {{IDC_PLAYER, "ShockwaveFlash", "", kMainRect, WS_VISIBLE}}});
    }
    // Step 2 lays the folder tree and the file list over its movie. Later controls
    // lie above earlier ones here, so the movie comes first.
    RegisterDialogTemplate(
        {IDD_WIZ1 + 1,
         kMainRect,
         kPageStyle,
         "",
         {{IDC_PLAYER, "ShockwaveFlash", "", kMainRect, WS_VISIBLE},
          {1024, "FolderTree", "", RECT{37, 55, 37 + 121, 55 + 108}, WS_VISIBLE},
          {1022, "SysListView32", "", RECT{213, 42, 213 + 143, 42 + 129}, WS_VISIBLE}}});
    RegisterDialogTemplate({IDD_MASK, RECT{0, 0, 20, 20}, WS_CHILD, "", {}});
    // The About box: the program icon, name and version, OK (the default button)
    // and the credits, laid out for the wizard's font.
    RegisterDialogTemplate(
        {IDD_ABOUTBOX,
         RECT{0, 0, 243, 73},
         WS_POPUP | WS_CAPTION | DS_CENTER,
         "About Ostrel wizard",
         {{-1, "Static", "#128", RECT{9, 9, 30, 29}, WS_VISIBLE | SS_ICON},
          {-1, "Static", "Ostrel", RECT{40, 8, 180, 18}, WS_VISIBLE},
          {-1, "Static", "Version RC4 (1.3)", RECT{40, 19, 180, 29}, WS_VISIBLE},
          {IDOK, "Button", "OK", RECT{186, 8, 236, 26}, WS_VISIBLE | BS_DEFPUSHBUTTON},
          {-1, "Static",
           "Norvane customization wizards. With thanks to the authors of the JPEG and PNG "
           "libraries and of the GIF run-length encoder.",
           RECT{9, 34, 236, 68}, WS_VISIBLE}}});
}

}  // namespace

void RegisterWizardResources() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterDialogs();
        RegisterString(IDS_ABOUTBOX, "&About");
        RegisterResource(nullptr, "bin", IDR_SHAPE_RIGHT, ShapeRight().data(), ShapeRight().size());
        RegisterResource(nullptr, "ICON", IDR_MAINFRAME, WizardIconPng().data(),
                         WizardIconPng().size());
        RegisterResource(nullptr, "bin", IDR_SHAPE_LEFT, ShapeLeft().data(), ShapeLeft().size());
        SetIconLoader([](int id) -> HICON {
            PxImage picture;
            if (!picture.LoadResource(FindResource(nullptr, id, "ICON"), PX_FORMAT_PNG))
                return nullptr;
            return WindowIconFromImage(picture);
        });
    });
}

std::vector<BYTE> RegionResource(int id) {
    HRSRC resource = FindResource(nullptr, id, "bin");
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
    if (!data) return {};
    return std::vector<BYTE>(data, data + SizeofResource(nullptr, resource));
}
