#include "settings/Registry_win.h"

#include <cstring>
#include <vector>

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
    HKEY base = root_;
    std::string sub = path;
    if (!sub.empty() && sub[0] == '\\') {
        sub.erase(0, 1);
    } else if (key_) {
        base = key_.get();
    }
    HKEY opened = nullptr;
    LONG rc = canCreate ? RegCreateKeyExA(base, sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr,
                                          &opened, nullptr)
                        : RegOpenKeyExA(base, sub.c_str(), 0, access_, &opened);
    if (rc != ERROR_SUCCESS) return false;
    key_.reset(opened);
    return true;
}

std::string TRegistry::ReadString(const std::string& name) const {
    if (!key_) return {};
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
        std::vector<char> data(size + 1, '\0');
        LONG rc =
            RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        if (rc == ERROR_MORE_DATA) continue;  // grew between the two calls
        if (rc != ERROR_SUCCESS) return {};
        if (type == REG_SZ || type == REG_EXPAND_SZ) return std::string(data.data(), strnlen(data.data(), size));
        return std::string(data.data(), size);
    }
}

namespace {

// The text in the system code page when every character has its own there; nothing otherwise.
std::optional<std::string> ExactlyInCodePage(const std::wstring& text) {
    // With UTF-8 as the code page every character has one, and the "used default" query is refused.
    const bool utf8 = GetACP() == CP_UTF8;
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0, nullptr,
                                         utf8 ? nullptr : &lossy);
    if (size <= 0 || lossy) return std::nullopt;
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.c_str(), -1, result.data(), size, nullptr,
                        nullptr);
    result.resize(static_cast<size_t>(size) - 1);
    return result;
}

}  // namespace

std::string TRegistry::ReadPath(const std::string& name) const {
    if (!key_) return {};
    const std::wstring wideName(name.begin(), name.end());
    DWORD type = 0;
    DWORD size = 0;
    const LONG rc = RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, nullptr, &size);
    // The Windows 9x family has no UTF-16 registry calls, and its registry holds ANSI text anyway.
    if (rc == ERROR_CALL_NOT_IMPLEMENTED) return ReadString(name);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    const std::wstring path(data.data());
    if (auto exact = ExactlyInCodePage(path)) return *exact;
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return ExactlyInCodePage(shortPath).value_or(std::string());
}

bool TRegistry::WriteString(const std::string& name, const std::string& value) const {
    return key_ && RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

std::optional<double> TRegistry::ReadDate(const std::string& name) const {
    if (!key_) return std::nullopt;
    double date = 0;
    DWORD type = 0;
    DWORD size = sizeof date;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&date), &size) !=
            ERROR_SUCCESS ||
        type != REG_BINARY || size != sizeof date) {
        return std::nullopt;
    }
    return date;
}

bool TRegistry::WriteDate(const std::string& name, double date) const {
    return key_ && RegSetValueExA(key_.get(), name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(&date),
                                  sizeof date) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& name) const {
    if (!key_) return false;
    const LONG rc = RegDeleteValueA(key_.get(), name.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}
