#pragma once

#include <string>

namespace quindorel::test {

// Text values under a key of HKEY_CURRENT_USER, stored as REG_SZ the way
// QSettings' native format keeps strings on Windows.
class RegistryText {
public:
    explicit RegistryText(std::wstring subKey) : subKey_(std::move(subKey)) {}

    bool write(const std::wstring& name, const std::wstring& value) const;
    // The stored text, or `fallback` when the value or the key is missing or
    // is not text.
    std::wstring read(const std::wstring& name, const std::wstring& fallback) const;
    bool remove(const std::wstring& name) const;

private:
    std::wstring subKey_;
};

}  // namespace quindorel::test
