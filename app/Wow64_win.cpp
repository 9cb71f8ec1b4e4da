#include "app/Wow64_win.h"

#include "app/DynCalls_win.h"

namespace {

constexpr UINT kFolderBuffer = 1000;

struct Redirection {
    bool wow64Known = false;
    bool wow64 = false;
    bool disabled = false;
    PVOID oldValue = nullptr;
};
Redirection redirection;

}  // namespace

bool IsWow64() {
    if (!redirection.wow64Known) {
        BOOL answer = FALSE;
        auto isWow64Process = DynKernel32().IsWow64Process;
        redirection.wow64 = isWow64Process && isWow64Process(GetCurrentProcess(), &answer) && answer;
        redirection.wow64Known = true;
    }
    return redirection.wow64;
}

void SetFsRedirection(bool disabled) {
    if (redirection.wow64Known && !redirection.wow64) return;
    const Kernel32Calls& kernel = DynKernel32();
    // Either function alone is of no use.
    if (!kernel.Wow64DisableWow64FsRedirection || !kernel.Wow64RevertWow64FsRedirection) return;
    if (disabled) {
        PVOID old = nullptr;
        if (!redirection.disabled && kernel.Wow64DisableWow64FsRedirection(&old)) {
            redirection.oldValue = old;
            redirection.disabled = true;
        }
    } else if (redirection.disabled && kernel.Wow64RevertWow64FsRedirection(redirection.oldValue)) {
        redirection.oldValue = nullptr;
        redirection.disabled = false;
    }
}

std::optional<std::string> SystemWow64Directory() {
    auto query = DynKernel32().GetSystemWow64DirectoryA;
    if (!query) return std::string();
    char buffer[kFolderBuffer] = {};
    const UINT length = query(buffer, kFolderBuffer);
    if (length == 0 || length > kFolderBuffer) return std::nullopt;
    return std::string(buffer, length);
}

void ResetWow64State() { redirection = Redirection(); }
