// A drop-down list in the wizard's look: a white field with the chosen item and
// an arrow; a click opens the items as a pop-up menu (drawn in the same look),
// and a choice that changes the item tells the parent with WM_COMMAND,
// the control id in wParam's low word and CBN_SELCHANGE in its high word.
#pragma once

#include <string>
#include <vector>

#include "window.h"

constexpr WORD CBN_SELCHANGE = 1;

class CDropDown : public CWnd {
public:
    // The items, and the one shown (-1: `noneText` stands in the field).
    void SetItems(std::vector<std::string> items, int selected, std::string noneText = {});
    int Selected() const { return selected_; }
    const std::vector<std::string>& Items() const { return items_; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();
    void Open();

    std::vector<std::string> items_;
    std::string noneText_;
    int selected_ = -1;
};
