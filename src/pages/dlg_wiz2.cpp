#include "dlg_wiz2.h"

#include <filesystem>

#include "app/resources/wizard_resources.h"
#include "app/settings/settings.h"
#include "app/texts/wizard_texts.h"
#include "busy_picture_work.h"
#include "platform/window/dialog_template.h"
#include "platform/window/folder_listing.h"
#include "platform/window/paint.h"
#include "stamp/cached_thumbnail.h"
#include "stamp/stamp_globals.h"

namespace {

const std::string kUserKey = "\\Customization Wizards\\user";
const std::string kContentKey = "\\Lumenor";

// Where the tree and the list lie over the movie's two panels.
constexpr RECT kTreePlace{37, 140, 37 + 255, 140 + 190};
constexpr RECT kListPlace{302, 140, 302 + 250, 140 + 190};

}  // namespace

CDlgWiz2::CDlgWiz2(CWnd* parentWindow)
    : CDlgWizPage(IDD_WIZ1 + 1, 2, parentWindow), parent(parentWindow) {}

CDlgWiz2::~CDlgWiz2() {
    folderWatch_.Stop();
    StopWorker();
}

CWnd* CDlgWiz2::CreateControlObject(const ControlTemplate& control) {
    if (control.id == IDC_FOLDER_TREE) return &folderTree;
    if (control.id == IDC_FILE_LIST) return &fileList;
    return CDlgWizPage::CreateControlObject(control);
}

bool CDlgWiz2::OnInitDialog() {
    CDlgWizPage::OnInitDialog();
    folderTree.MoveWindow(kTreePlace);
    fileList.MoveWindow(kListPlace);
    folderTree.ModifyStyle(0, WS_TABSTOP);
    fileList.ModifyStyle(0, WS_TABSTOP);
    tooltip.AddTool(&folderTree);
    thumbnails.Create(kThumbnailSize, kThumbnailSize, ILC_COLOR32 | ILC_MASK, 0, 10);
    fileList.SetImageList(&thumbnails, LVSIL_NORMAL);
    SetStopRequested(false);
    folderWatch_.Start(this, WM_WIZ_FOLDER_WATCH);
    worker_ = std::thread([this] {
        ThumbnailWorker(this);
        workerDone_ = true;
    });
    confirmExit = false;
    firstShow = true;
    return false;
}

void CDlgWiz2::OnFSCommand(const std::string& command, const std::string& argument) {
    if (command == "ChangeStep" && argument == "3") {
        AcceptPicture();
    } else if (command == "ChangeStep" && argument == "1") {
        RequestPrevious();
    } else if (command == "exit") {
        RequestExit();
    } else if (command == "reduce") {
        RequestReduce();
    } else if (command == "MyContent") {
        GoToRoot(false);
    } else if (command == "ParentDir") {
        folderTree.GoToParent();
    }
}

void CDlgWiz2::Next() {
    if (IsWindowVisible() && movie.TCurrentFrame("next") == 1) OnFSCommand("ChangeStep", "3");
}

// The folder of the last picture taken, or the suite's content folder.
void CDlgWiz2::GoToRoot(bool lastUsed) {
    std::string folder = lastUsed ? ReadRegString("BrowseStamp", nullptr, kUserKey)
                                  : ReadRegString("home", nullptr, kContentKey);
    if (folder.empty() || folder.back() != '/') folder += '/';
    folderTree.Navigate(folder, 0, TRUE);
}

// The chosen file becomes the editor's picture and its folder the next start.
// A file gone meanwhile, or one that is no regular file (a pipe would block), is
// refused without being opened.
void CDlgWiz2::AcceptPicture() {
    g_chosenPicturePath = ChosenPathCopy();
    if (!IsPlainFile(g_chosenPicturePath) ||
        !g_editorPicture.Accept(g_chosenPicturePath,
                                LoadPictureShowingBusy(g_chosenPicturePath, kAcceptAll))) {
        AppMessageBox(g_texts.invalidPicture + " " + g_chosenPicturePath, MB_OK);
        return;
    }
    WriteRegString("BrowseStamp", TreePath(), kUserKey);
    RequestNext();
}

void CDlgWiz2::OpenGivenPicture(const std::string& path) {
    givenPicture_ = path;
    PostMessage(WM_WIZ_OPEN_GIVEN, 0, 0);
}

// The file's folder is shown when it exists, so a picture that cannot be opened
// leaves the user among its neighbours.
void CDlgWiz2::OpenGiven() {
    // A folder given is where the user wants to browse: no picture, no message.
    if (IsFolder(givenPicture_)) {
        folderTree.Navigate(givenPicture_ + "/", 0, TRUE);
        return;
    }
    const std::string folder = std::filesystem::path(givenPicture_).parent_path().string();
    if (IsFolder(folder)) folderTree.Navigate(folder + "/", 0, TRUE);
    SetChosenPath(givenPicture_);
    AcceptPicture();
}

void CDlgWiz2::OnShowWindow(bool show, UINT status) {
    CDlgWizPage::OnShowWindow(show, status);
    if (!show) {
        const int selected = fileList.GetNextItem(-1, LVNI_SELECTED);
        if (selected != -1) fileList.SetItemState(selected, 0, LVIS_SELECTED);
        return;
    }
    // Read once a visit: the worker's passes in the meantime all follow it.
    SetThumbnailCacheInUse(ThumbnailCacheSetting());
    if (firstShow) {
        folderTree.Initialize();
        GoToRoot(true);
        firstShow = false;
    }
    EnableNext(false);
    if (ChosenPathCopy().empty()) ShowTreeFolder();
}

// The folder shown told again (read afresh by the tree) keeps the list and the
// choice; only what changed in it changes.
void CDlgWiz2::OnFolderChanged() {
    if (!IsWindow(&folderTree)) return;
    if (TreePath() + "/" == ShownFolder()) return RefreshThumbnails();
    ShowTreeFolder();
    EnableNext(false);
}

void CDlgWiz2::ShowTreeFolder() {
    SetChosenPath(TreePath() + "/");
    WatchShownFolder();
    RestartThumbnails();
}

void CDlgWiz2::WatchShownFolder() {
    const std::string path = TreePath();
    if (path.rfind("::", 0) == 0)
        folderWatch_.WatchFolders({});
    else
        folderWatch_.WatchFolders({NormalFolderPath(path)});
}

// The notified item may have just lost the selection (it may be leaving the
// list), so the choice is the item that holds the selection now.
void CDlgWiz2::OnItemChanged(const NMLISTVIEW& info) {
    selectedItem =
        (info.uNewState & LVIS_SELECTED) ? info.iItem : fileList.GetNextItem(-1, LVNI_SELECTED);
    if (selectedItem == -1) return EnableNext(false);
    SetChosenPath(TreePath() + "/" + fileList.GetItemText(selectedItem));
    EnableNext(true);
}

// Back from another program: the folder is read again when it still exists, so
// pictures saved meanwhile show up. The root view has no files to read.
void CDlgWiz2::OnWizActivated() {
    const std::string path = TreePath();
    if (path.rfind("::", 0) == 0) return;
    if (IsFolder(path)) folderTree.Refresh();
}

LRESULT CDlgWiz2::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && lParam) {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.idFrom == IDC_FILE_LIST && header.code == LVN_ITEMCHANGED) {
            OnItemChanged(*reinterpret_cast<const NMLISTVIEW*>(lParam));
            return 0;
        }
        if (header.idFrom == IDC_FILE_LIST && header.code == NM_DBLCLK) {
            Next();
            return 0;
        }
        if (header.idFrom == IDC_FOLDER_TREE && header.code == FTN_FOLDERCHANGED) {
            OnFolderChanged();
            return 0;
        }
    }
    if (message == WM_WIZ_FOLDER_WATCH) {
        if (!folderWatch_.TakeChanged().empty()) RefreshThumbnails();
        return 0;
    }
    if (message == WM_DESTROY) folderWatch_.Stop();
    if (message == WM_WIZ_OPEN_GIVEN) {
        OpenGiven();
        return 0;
    }
    if (message == WM_WIZ_ACTIVATED && wParam == 1 && IsWindowVisible()) OnWizActivated();
    return CDlgWizPage::WindowProc(message, wParam, lParam);
}

void CDlgWiz2::EnableNext(bool enable) {
    movie.TGotoFrame("next", enable ? 1 : 0);
}

std::string CDlgWiz2::TreePath() const {
    return folderTree.SelectedFolder().FolderPath();
}
