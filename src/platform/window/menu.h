// Menus: the system menu of a window and pop-up menus. The back end shows a
// pop-up menu and answers with the chosen identifier (0 when none was chosen).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/base/win_types.h"

class CWnd;

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_RETURNCMD = 0x0100;

struct MenuItem {
    UINT id;
    std::string text;
    bool separator;
};

class CMenu {
public:
    bool AppendMenu(UINT flags, UINT id = 0, const std::string& text = {});
    const std::vector<MenuItem>& Items() const { return items_; }

private:
    std::vector<MenuItem> items_;
};

using MenuHandler = std::function<UINT(const CMenu& menu, POINT screen, CWnd* owner)>;
MenuHandler SetMenuHandler(MenuHandler handler);

// With TPM_RETURNCMD the chosen identifier is returned; otherwise it is posted to
// the owner as WM_COMMAND and the call returns whether something was chosen.
UINT TrackPopupMenu(const CMenu& menu, UINT flags, POINT screen, CWnd* owner);
