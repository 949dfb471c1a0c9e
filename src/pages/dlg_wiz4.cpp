#include "dlg_wiz4.h"

#include <sys/stat.h>

#include <cerrno>

#include "app/globals.h"
#include "app/resources/wizard_resources.h"
#include "app/settings/settings.h"
#include "platform/window/cursor.h"
#include "stamp/stamp_globals.h"
#include "stamp/stamp_name.h"

CDlgWiz4::CDlgWiz4(CWnd* parent) : CDlgWizPage(IDD_WIZ1 + 3, 4, parent) {
    g_previewPicture.hatched = true;
    converter.owner = this;
}

bool CDlgWiz4::OnInitDialog() {
    CDlgWizPage::OnInitDialog();
    tempFolder_ = StampTemporaryFolder(
        ReadRegString("Installation Path", nullptr, "\\Customization Wizards"));
    return true;
}

void CDlgWiz4::Next() {
    if (IsWindowVisible()) OnFSCommand("ChangeStep", "5");
}

void CDlgWiz4::OnFSCommand(const std::string& command, const std::string& argument) {
    if (command == "ChangeStep" && argument == "3") return RequestPrevious();
    if (command == "ChangeStep" && argument == "5") return MoveOn();
    if (command == "exit") return RequestExit();
    if (command == "reduce") return RequestReduce();
    if (command == "allowscale") return;
    Redraw();
}

// The stamp is converted and saved. Only a written file becomes the pending stamp
// and lets the page move on: steps 5 and 6 have nothing to show or send without it.
void CDlgWiz4::MoveOn() {
    const std::string path = MakeStampPath(tempFolder_, g_stampName, ".png");
    PxImage none;  // no stamp at all is told as a stamp without pixels
    converter.ConvertToStamp(g_previewPicture.image ? *g_previewPicture.image : none);
    EnsureTemporaryFolder(tempFolder_);
    std::string reason;
    if (g_previewPicture.SaveAs(path, PX_FORMAT_PNG, 8, &reason)) {
        g_pendingStampFile = path;
        return RequestNext();
    }
    // Without a stamp the conversion has already said so.
    if (!reason.empty())
        AppMessageBox("The stamp cannot be written to " + tempFolder_ + ": " + reason,
                      MB_OK | MB_ICONERROR);
    // The user stays here and may try again: the stamp is shown as on arrival.
    if (IsWindowVisible()) {
        ShowStamp();
        Redraw();
    }
}

void CDlgWiz4::OnShowWindow(bool show, UINT status) {
    CDlgWizPage::OnShowWindow(show, status);
    if (show) return ShowStamp();
    if (realSizeMask) realSizeMask->ShowWindow(SW_HIDE);
    if (magnifiedMask) magnifiedMask->ShowWindow(SW_HIDE);
}

// The stamp is centred in the real-size box, widened to 24 bits with the key colour
// transparent and magnified; fresh masks cover both pictures.
void CDlgWiz4::ShowStamp() {
    const LONG w = static_cast<LONG>(g_previewPicture.GetWidth());
    const LONG h = static_cast<LONG>(g_previewPicture.GetHeight());
    g_previewPicture.originX = (kRealSizeBox - w) / 2 + kRealSizeAt.x;
    g_previewPicture.originY = (kRealSizeBox - h) / 2 + kRealSizeAt.y;
    g_previewPicture.owner = this;
    movie.SetVariable("filename", FileNameOf(g_chosenPicturePath));
    realSizeMask.reset();
    realSizeMask = std::make_unique<CDlgMask>(this);
    realSizeMask->Place(g_previewPicture.originX, g_previewPicture.originY, w, h);
    converter.originX = kMagnifiedAt.x;
    converter.originY = kMagnifiedAt.y;
    converter.Attach(&g_previewPicture, w > 0 ? kMagnifiedWidth / w : 0.0);
    magnifiedMask.reset();
    magnifiedMask = std::make_unique<CDlgMask>(this);
    magnifiedMask->Place(kMagnifiedAt.x, kMagnifiedAt.y, static_cast<LONG>(converter.GetWidth()),
                         static_cast<LONG>(converter.GetHeight()));
}

void CDlgWiz4::OnPaint() {
    CDlgWizPage::OnPaint();
    for (CDlgMask* mask : {realSizeMask.get(), magnifiedMask.get()})
        if (mask && mask->GetSafeHwnd()) mask->SendMessage(WM_PAINT);
    Redraw();
}

void CDlgWiz4::Redraw() {
    g_previewPicture.Draw(0, 0);
    converter.DrawMagnified();
}

void CDlgWiz4::OnMouseMove(UINT /*flags*/, POINT point) {
    if (converter.HitPicture(point.x, point.y)) {
        lastX = point.x;
        lastY = point.y;
    } else {
        lastX = lastY = 0;
    }
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void CDlgWiz4::OnLButtonDown(UINT /*flags*/, POINT /*point*/) {
    if (converter.PickAt(lastX, lastY)) {
        converter.DrawMagnified();
        g_previewPicture.Draw(0, 0);
    }
    OnMouseMove(0, POINT{lastX, lastY});
}

void CDlgWiz4::OnLButtonUp(UINT /*flags*/, POINT /*point*/) {
    OnMouseMove(0, POINT{lastX, lastY});
}

bool EnsureTemporaryFolder(const std::string& folder) {
    struct stat info {};
    if (folder.empty() || stat(folder.c_str(), &info) == 0) return !folder.empty();
    // Make each missing folder of the path, outermost first.
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
