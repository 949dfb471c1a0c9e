// The shell's file operation: copy, move, rename or delete a list of files, asking
// the user before replacing or deleting unless told not to, and reporting errors in
// a message box unless told not to.
#pragma once

#include "window.h"

constexpr UINT FO_MOVE = 0x0001;
constexpr UINT FO_COPY = 0x0002;
constexpr UINT FO_DELETE = 0x0003;
constexpr UINT FO_RENAME = 0x0004;

using FILEOP_FLAGS = WORD;
constexpr FILEOP_FLAGS FOF_MULTIDESTFILES = 0x0001;
constexpr FILEOP_FLAGS FOF_SILENT = 0x0004;
constexpr FILEOP_FLAGS FOF_NOCONFIRMATION = 0x0010;
constexpr FILEOP_FLAGS FOF_ALLOWUNDO = 0x0040;
constexpr FILEOP_FLAGS FOF_FILESONLY = 0x0080;
constexpr FILEOP_FLAGS FOF_NOCONFIRMMKDIR = 0x0200;
constexpr FILEOP_FLAGS FOF_NOERRORUI = 0x0400;

// pFrom and pTo are blocks of zero-terminated names ended by an extra zero.
struct SHFILEOPSTRUCT {
    HWND hwnd = nullptr;
    UINT wFunc = 0;
    const char* pFrom = nullptr;
    const char* pTo = nullptr;
    FILEOP_FLAGS fFlags = 0;
    bool fAnyOperationsAborted = false;
    void* hNameMappings = nullptr;
    const char* lpszProgressTitle = nullptr;
};

// 0 when every file was handled (files the user chose to keep count as handled and
// set fAnyOperationsAborted); otherwise the error number of the first failure.
int SHFileOperation(SHFILEOPSTRUCT* operation);
