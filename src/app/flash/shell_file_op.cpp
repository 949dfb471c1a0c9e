#include "shell_file_op.h"

namespace {

// Names one after the other, each with its zero, and one more zero at the end.
std::string NameBlock(const std::vector<std::string>& names) {
    std::string block;
    for (const std::string& name : names) {
        block += name;
        block += '\0';
    }
    block += '\0';
    return block;
}

}  // namespace

bool CShellFileOp::Valid() const {
    if (!owner_ || sources_.empty()) return false;
    if (operation_ < FO_MOVE || operation_ > FO_RENAME) return false;
    if (operation_ == FO_DELETE) return true;
    return destinations_.size() == 1 || destinations_.size() == sources_.size();
}

bool CShellFileOp::Go() {
    callMade_ = false;
    aborted_ = false;
    if (!Valid()) return false;
    const std::string from = NameBlock(sources_);
    const std::string to = NameBlock(destinations_);
    SHFILEOPSTRUCT op;
    op.hwnd = owner_;
    op.wFunc = operation_;
    op.pFrom = from.c_str();
    op.pTo = operation_ == FO_DELETE ? nullptr : to.c_str();
    op.fFlags = flags_;
    if (destinations_.size() > 1) op.fFlags |= FOF_MULTIDESTFILES;
    op.lpszProgressTitle = progressTitle_.empty() ? nullptr : progressTitle_.c_str();
    shellResult_ = SHFileOperation(&op);
    callMade_ = true;
    aborted_ = op.fAnyOperationsAborted;
    return shellResult_ == 0;
}
