// wizard_at_step3 PICTURE: the wizard in the real window, started at step 3 with
// PICTURE chosen as step 2 leaves it. The GUI tests' way to the editor and preview
// pages while step 2 is tested on its own.
#include <iostream>

#include "app/globals.h"
#include "app/main_window/dlg_main.h"
#include "app/resources/wizard_resources.h"
#include "app/settings/settings.h"
#include "gui/jump_once_made.h"
#include "platform/backends/x11/x11_backend.h"
#include "stamp/stamp_globals.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: wizard_at_step3 PICTURE\n";
        return 2;
    }
    if (!X11Backend::DisplayAvailable()) {
        std::cerr << "wizard_at_step3: no display\n";
        return 1;
    }
    X11Backend backend;
    RegisterWizardResources();
    g_texts = BuildTexts(ReadRegString("Language"));
    g_chosenPicturePath = argv[1];
    if (!g_editorPicture.Open(argv[1], kAcceptAll, 0)) return 1;
    CDlgMain dialog;
    // Step 3 as step 2 leaves it.
    JumpOnceMade(dialog, 2);
    dialog.DoModal();
    return 0;
}
