#include "dlg_wiz5.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "app/flash/shell_file_op.h"
#include "app/globals.h"
#include "app/resources/wizard_resources.h"
#include "app/settings/settings.h"
#include "app/texts/wizard_texts.h"
#include "phonelink/phone_line_texts.h"
#include "platform/window/file_dialog.h"
#include "stamp/stamp_globals.h"

std::string readyTemplate;

namespace {

constexpr const char* kUserKey = "\\Customization Wizards\\user";

// The file's length; false (after the file error box) when it cannot be opened.
bool StampFileSize(const std::string& path, std::uint64_t* size) {
    FILE* file = std::fopen(path.c_str(), "rb");
    struct stat info;
    if (file && fstat(fileno(file), &info) == 0) {
        *size = static_cast<std::uint64_t>(info.st_size);
        std::fclose(file);
        return true;
    }
    const int error = errno;
    if (file) std::fclose(file);
    AppMessageBox("The file '" + path + "' cannot be opened: " + std::strerror(error),
                  MB_OK | MB_ICONERROR);
    return false;
}

}  // namespace

std::string ReadyText(const std::string& templateText, const std::string& stampName,
                      std::uint64_t size) {
    // Shown as the "%d" of its low 32 bits, as the size always was.
    const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(size));
    return FillPlaceholders(templateText, stampName + ".png", std::to_string(low));
}

CDlgWiz5::CDlgWiz5(CWnd* parent) : CDlgWizPage(IDD_WIZ1 + 4, 5, parent) {}

bool CDlgWiz5::OnInitDialog() {
    CDlgWizPage::OnInitDialog();
    // Over the movie's phone connection field, which it leaves empty meanwhile.
    phones.CreateEx(this, RECT{206, 232, 540, 256}, "", kPhonesId, WS_CHILD);
    ShowCurrentLink();
    return true;
}

// Without a connection ("None") the line says so as it always did; otherwise it
// names where Send puts the stamp: the phone the link chose, or what to do when
// none is connected (Send then fills the storage folder).
void CDlgWiz5::ShowCurrentLink() {
    const std::string link = ReadRegString("Current Link");
    if (link == "None") {
        phones.ShowWindow(SW_HIDE);
        movie.SetVariable("CurrentLink", link);
        return;
    }
    choice_ = ChoosePhone();
    ShowPhoneLine();
}

void CDlgWiz5::ShowPhoneLine() {
    const std::vector<PhonePlace>& connected = choice_.connected;
    if (connected.size() < 2) {
        phones.ShowWindow(SW_HIDE);
        movie.SetVariable("CurrentLink", choice_.chosen >= 0
                                             ? PhoneLine(g_languageCode, connected.front())
                                             : std::string(NoPhoneText(g_languageCode)));
        return;
    }
    std::vector<std::string> items;
    for (const PhonePlace& place : connected)
        items.push_back(PhoneLine(g_languageCode, place));
    // The folder by its own name: its whole path would not fit the box.
    std::string folderName = choice_.storageFolder;
    while (folderName.size() > 1 && folderName.back() == '/')
        folderName.pop_back();
    folderName = folderName.substr(folderName.rfind('/') + 1);
    const PhonePlace folder{folderName, PhoneKind::kStorageFolder, {}};
    phones.SetItems(std::move(items), choice_.chosen, PhoneLine(g_languageCode, folder));
    movie.SetVariable("CurrentLink", "");
    phones.ShowWindow(SW_SHOW);
}

void CDlgWiz5::PhoneChosen() {
    const int chosen = phones.Selected();
    if (chosen < 0 || chosen >= static_cast<int>(choice_.connected.size())) return;
    RememberPhone(choice_.connected[static_cast<std::size_t>(chosen)].uri);
    ShowCurrentLink();
}

void CDlgWiz5::OnShowWindow(bool show, UINT status) {
    if (show) {
        watch_ = std::make_unique<PhonePlacesWatch>(this, kPhonesChanged);
        ShowCurrentLink();
        if (ShowReadyText()) movie.TCallFrame("IllTr", 0);
    } else {
        watch_.reset();
    }
    CDlgWizPage::OnShowWindow(show, status);
}

LRESULT CDlgWiz5::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPhonesChanged && IsWindowVisible()) ShowCurrentLink();
    if (message == WM_COMMAND && LOWORD(wParam) == kPhonesId && HIWORD(wParam) == CBN_SELCHANGE)
        PhoneChosen();
    return CDlgWizPage::WindowProc(message, wParam, lParam);
}

bool CDlgWiz5::ShowReadyText() {
    std::uint64_t size = 0;
    if (!StampFileSize(g_pendingStampFile, &size)) return false;
    if (readyTemplate.empty()) readyTemplate = movie.GetVariable("TxtPrepTr");
    movie.SetVariable("TxtPrepTr", ReadyText(readyTemplate, g_stampName, size));
    return true;
}

void CDlgWiz5::OnFSCommand(const std::string& command, const std::string& argument) {
    if (command == "ChangeStep") {
        if (argument == "4") RequestPrevious();
        if (argument == "6") RequestNext();
    } else if (command == "exit") {
        RequestExit();
    } else if (command == "SaveOnComp") {
        SaveCopyOnComputer(g_pendingStampFile, g_stampName, "png", "Stamp");
    } else if (command == "reduce") {
        RequestReduce();
    }
}

void CDlgWiz5::Next() {
    if (IsWindowVisible()) OnFSCommand("ChangeStep", "6");
}

std::string CDlgWiz5::SaveCopyOnComputer(const std::string& source, const std::string& fileName,
                                         const std::string& extension, const std::string& kind) {
    SaveAsRequest request;
    request.owner = g_mainWnd;
    request.filter = extension + "|*." + extension + "||";
    request.initialFolder = ReadRegString("Path" + kind, nullptr, kUserKey);
    request.fileName = fileName;
    request.defaultExtension = extension;
    const SaveAsAnswer answer = GetSaveFileName(request);
    if (answer.path.empty()) {
        if (answer.error != 0) {
            char text[64];
            std::snprintf(text, sizeof text, "CFileDialog error : %d",
                          static_cast<int>(answer.error));
            AppMessageBox(text, MB_OK);
        }
        return {};
    }
    const std::string& path = answer.path;
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (nameStart >= path.size()) return {};
    CShellFileOp copy;
    copy.SetOperation(FO_COPY);
    copy.SetOwnerWindow(g_mainWnd);
    copy.SetFlags(FOF_FILESONLY);
    copy.AddSourceFile(source);
    copy.AddDestFile(path);
    copy.Go();
    // Remembered whether the copy went well or not: the folder was the user's choice.
    WriteRegString("Path" + kind, path.substr(0, nameStart), kUserKey);
    return path;
}
