// A registry wrapper with a root key, an access mask and one open key at a time.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/Handles.h"

class TRegistry {
public:
    explicit TRegistry(REGSAM access = KEY_ALL_ACCESS, HKEY root = HKEY_CURRENT_USER) : root_(root), access_(access) {}

    // A path starting with '\' is taken from the root, any other from the key open now.
    bool OpenKey(const std::string& path, bool canCreate);

    // Missing values read as "". REG_SZ/REG_EXPAND_SZ give the text up to the first zero byte;
    // other types give their raw bytes.
    std::string ReadString(const std::string& name) const;
    // A path stored by a Unicode program (an installer): read in UTF-16 and given in the system code
    // page, by its short (8.3) name when the code page cannot spell the long one. "" when missing,
    // not a string, or spelt by neither.
    std::string ReadPath(const std::string& name) const;
    // REG_SZ with the terminating zero counted. False when nothing was written.
    bool WriteString(const std::string& name, const std::string& value) const;

    // An 8-byte REG_BINARY double (days since 30 Dec 1899); empty unless exactly that is stored.
    std::optional<double> ReadDate(const std::string& name) const;
    bool WriteDate(const std::string& name, double date) const;

    // A missing value is no error.
    bool DeleteValue(const std::string& name) const;

private:
    HKEY root_;
    REGSAM access_;
    UniqueHKey key_;
};
