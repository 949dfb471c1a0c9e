#include "box_buttons.h"

namespace {

std::vector<BoxButton> ButtonsOf(UINT type) {
    const BoxButton ok{"OK", IDOK}, cancel{"Cancel", IDCANCEL}, yes{"&Yes", IDYES}, no{"&No", IDNO},
        abort{"&Abort", IDABORT}, retry{"&Retry", IDRETRY}, ignore{"&Ignore", IDIGNORE};
    switch (type) {
        case MB_OKCANCEL:
            return {ok, cancel};
        case MB_ABORTRETRYIGNORE:
            return {abort, retry, ignore};
        case MB_YESNOCANCEL:
            return {yes, no, cancel};
        case MB_YESNO:
            return {yes, no};
        case MB_RETRYCANCEL:
            return {retry, cancel};
        default:  // MB_OK and unknown types
            return {ok};
    }
}

BoxIcon IconOf(UINT style) {
    switch (style & 0xF0) {
        case MB_ICONERROR:
            return BoxIcon::kError;
        case MB_ICONQUESTION:
            return BoxIcon::kQuestion;
        case MB_ICONWARNING:
            return BoxIcon::kWarning;
        case MB_ICONINFORMATION:
            return BoxIcon::kInformation;
        default:
            return BoxIcon::kNone;
    }
}

}  // namespace

BoxLayout LayoutFor(UINT style) {
    BoxLayout layout;
    layout.buttons = ButtonsOf(style & 0x0F);
    const std::size_t wanted = (style & MB_DEFBUTTON3) ? 2 : (style & MB_DEFBUTTON2) ? 1 : 0;
    layout.defaultButton = wanted < layout.buttons.size() ? wanted : 0;
    // Escape means Cancel where there is one; a lone OK answers OK; a question
    // without Cancel must be answered.
    for (const BoxButton& button : layout.buttons) {
        if (button.answer == IDCANCEL) layout.escapeAnswer = IDCANCEL;
    }
    if (layout.buttons.size() == 1) layout.escapeAnswer = IDOK;
    layout.icon = IconOf(style);
    return layout;
}
