#include "stamp_globals.h"

std::string g_chosenPicturePath;
CEditPicture g_editorPicture;
CPreviewPicture g_previewPicture;
std::string g_stampName;
