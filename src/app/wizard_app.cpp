#include "wizard_app.h"

#include <memory>

#include "app/main_window/dlg_main.h"
#include "app/resources/wizard_resources.h"
#include "app/settings/settings.h"
#include "app/texts/wizard_texts.h"
#include "imaging/px_message.h"
#include "phonelink/phone_link_server.h"
#include "platform/system/bus/application_bus.h"
#include "platform/system/named_mutex.h"
#include "platform/window/message_box.h"

namespace {

// The name stays held until the process ends, so it exists exactly while a copy runs.
std::unique_ptr<NamedMutex> g_instanceMutex;

}  // namespace

namespace {

// The image library's message boxes ("File open error", "Gif error", ...) become
// the wizard's own.
int LibraryMessageBox(const char* text, const char* caption, UINT style) {
    return MessageBox(nullptr, text, caption, style);
}

}  // namespace

bool CWizardApp::InitInstance() {
    RegisterWizardResources();
    // The phone link is an in-process component of the suite: made creatable here.
    RegisterPhoneLinkServer();
    PxSetMessageBoxHook(LibraryMessageBox);
    g_texts = BuildTexts(ReadRegString("Language"));
    if (RefuseBesideSibling()) return false;
    if (HandOverToRunningCopy()) return false;
    CDlgMain dialog;
    dialog.texts = &g_texts;
    dialog.startPicture = startPicture_;
    if (sessionBus_) dialog.busName = kApplicationId;
    dialog.DoModal();
    return true;
}

// Every sibling found is restored; the message names the last one found.
bool CWizardApp::RefuseBesideSibling() {
    CWnd* last = nullptr;
    for (const std::string* title : {&g_texts.siblingTitleA, &g_texts.siblingTitleB,
                                     &g_texts.siblingTitleC, &g_texts.siblingTitleD}) {
        if (CWnd* sibling = FindWindow(nullptr, title->c_str())) {
            sibling->ShowWindow(SW_SHOWNORMAL);
            last = sibling;
        }
    }
    if (!last) return false;
    char siblingTitle[32];
    last->GetWindowText(siblingTitle, sizeof siblingTitle);
    const std::string text =
        FillPlaceholders(g_texts.wizardAlreadyRunning, g_texts.ownTitle, siblingTitle);
    MessageBox(last, text, g_texts.ownTitle, MB_ICONINFORMATION | MB_OK);
    return true;
}

// Another copy holding the name: bring its window to the front and leave quietly;
// a picture given goes to it over the session bus, to be opened there. When its
// window is not there yet (starting or closing), run as if alone.
bool CWizardApp::HandOverToRunningCopy() {
    auto mutex = std::make_unique<NamedMutex>(kInstanceMutexName);
    if (mutex->AlreadyExisted()) {
        if (sessionBus_ && !startPicture_.empty() &&
            AskRunningCopy(kApplicationId, {startPicture_}))
            return true;
        if (CWnd* other = FindWindow(nullptr, g_texts.ownTitle.c_str())) {
            other->ShowWindow(SW_MINIMIZE);
            other->ShowWindow(SW_SHOWNORMAL);
            return true;
        }
    }
    g_instanceMutex = std::move(mutex);
    return false;
}
