// One shell file operation prepared step by step: what to do, for which window,
// with which options, on which files, and where to.
#pragma once

#include <string>
#include <vector>

#include "platform/window/shell_file_operation.h"

class CShellFileOp {
public:
    void SetOperation(UINT operation) { operation_ = operation; }
    void SetOwnerWindow(HWND owner) { owner_ = owner; }
    void SetFlags(FILEOP_FLAGS flags) { flags_ = flags; }
    void SetProgressTitle(const std::string& title) { progressTitle_ = title; }
    void AddSourceFile(const std::string& path) { sources_.push_back(path); }
    void AddDestFile(const std::string& path) { destinations_.push_back(path); }

    // Refuses (false, no shell call) without an owner, with an unknown operation,
    // without sources, or, except for delete, unless there is one destination or as
    // many as sources. True only when the shell call was made and returned 0.
    bool Go();

    bool CallMade() const { return callMade_; }
    int ShellResult() const { return shellResult_; }
    bool AnyOperationsAborted() const { return aborted_; }

private:
    bool Valid() const;

    UINT operation_ = 0;
    HWND owner_ = nullptr;
    FILEOP_FLAGS flags_ = 0;
    std::string progressTitle_;
    std::vector<std::string> sources_;
    std::vector<std::string> destinations_;
    bool callMade_ = false;
    int shellResult_ = 0;
    bool aborted_ = false;
};
