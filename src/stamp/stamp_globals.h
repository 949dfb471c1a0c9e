// The pictures and names the wizard's pages share for the whole run.
#pragma once

#include <string>

#include "edit_picture.h"
#include "preview_picture.h"

// The file chosen on the picture browser page.
extern std::string g_chosenPicturePath;
// The picture being edited, opened by the browser page.
extern CEditPicture g_editorPicture;
// The stamp itself, extracted by the editor and converted by the preview page.
extern CPreviewPicture g_previewPicture;
// The proposed stamp name, set by the editor from the chosen path.
extern std::string g_stampName;
