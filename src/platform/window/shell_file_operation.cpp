#include "shell_file_operation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "message_box.h"
#include "shell_name_list.h"

namespace {

bool IsDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Copies through a temporary file beside the target, so a failed copy never leaves
// a half-written target or destroys the file it was to replace.
int CopyFileContents(const std::string& from, const std::string& to) {
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    const std::string temp = to + ".part-XXXXXX";
    std::vector<char> tempName(temp.begin(), temp.end());
    tempName.push_back('\0');
    const int out = mkstemp(tempName.data());
    if (out < 0) {
        const int error = errno;
        close(in);
        return error;
    }
    int error = 0;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (got < 0) error = errno;
            break;
        }
        for (ssize_t done = 0; done < got && !error;) {
            const ssize_t put = write(out, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno != EINTR) error = errno;
            if (put > 0) done += put;
        }
        if (error) break;
    }
    if (!error && fsync(out) != 0) error = errno;
    fchmod(out, 0644);
    close(out);
    close(in);
    if (!error && rename(tempName.data(), to.c_str()) != 0) error = errno;
    if (error) unlink(tempName.data());
    return error;
}

class FileOperation {
public:
    explicit FileOperation(SHFILEOPSTRUCT& op) : op_(op) {}

    int Run() {
        const std::vector<std::string> sources = SplitNameBlock(op_.pFrom);
        const std::vector<std::string> targets = SplitNameBlock(op_.pTo);
        if (sources.empty()) return EINVAL;
        if (op_.wFunc != FO_DELETE && targets.empty()) return EINVAL;
        for (std::size_t i = 0; i < sources.size(); ++i) {
            // The target is looked at only now: an earlier move may have made it a folder.
            const std::string target =
                op_.wFunc == FO_DELETE
                    ? ""
                    : TargetFor(sources[i], targets, i, op_.wFunc, op_.fFlags, IsDirectory);
            const int error = One(sources[i], target);
            if (error) {
                ReportError(sources[i], error);
                return error;
            }
        }
        return 0;
    }

private:
    int One(const std::string& source, const std::string& target) {
        if (!Exists(source)) return ENOENT;
        switch (op_.wFunc) {
            case FO_DELETE:
                return Delete(source);
            case FO_COPY:
                if (IsDirectory(source)) return EISDIR;
                if (!MayReplace(target)) return 0;
                return CopyFileContents(source, target);
            case FO_MOVE:
            case FO_RENAME:
                return Move(source, target);
            default:
                return EINVAL;
        }
    }

    int Delete(const std::string& source) {
        const bool directory = IsDirectory(source);
        if (directory && (op_.fFlags & FOF_FILESONLY)) return 0;
        if (!Confirm("Are you sure you want to delete '" + BaseName(source) + "'?")) return 0;
        const int result = directory ? rmdir(source.c_str()) : unlink(source.c_str());
        return result == 0 ? 0 : errno;
    }

    int Move(const std::string& source, const std::string& target) {
        if (!MayReplace(target)) return 0;
        if (rename(source.c_str(), target.c_str()) == 0) return 0;
        if (errno != EXDEV || IsDirectory(source)) return errno;
        const int error = CopyFileContents(source, target);
        return error ? error : (unlink(source.c_str()) == 0 ? 0 : errno);
    }

    bool MayReplace(const std::string& target) {
        if (!Exists(target)) return true;
        return Confirm("The file '" + BaseName(target) + "' already exists.\nReplace it?");
    }

    // The user's yes; a no marks the operation as partly aborted.
    bool Confirm(const std::string& question) {
        if (op_.fFlags & FOF_NOCONFIRMATION) return true;
        const std::string caption = op_.lpszProgressTitle ? op_.lpszProgressTitle : "";
        if (MessageBox(op_.hwnd, question, caption, MB_YESNO | MB_ICONQUESTION) == IDYES)
            return true;
        op_.fAnyOperationsAborted = true;
        return false;
    }

    void ReportError(const std::string& source, int error) {
        if (op_.fFlags & FOF_NOERRORUI) return;
        MessageBox(op_.hwnd, "Cannot handle '" + source + "': " + std::strerror(error), "",
                   MB_OK | MB_ICONERROR);
    }

    SHFILEOPSTRUCT& op_;
};

}  // namespace

int SHFileOperation(SHFILEOPSTRUCT* operation) {
    if (!operation) return EINVAL;
    operation->fAnyOperationsAborted = false;
    return FileOperation(*operation).Run();
}
