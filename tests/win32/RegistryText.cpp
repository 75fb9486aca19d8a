#include "RegistryText.h"

#include "platform/win32/WindowsApi.h"

namespace quindorel::test {

bool RegistryText::write(const std::wstring& name, const std::wstring& value) const {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const LONG result = RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

std::wstring RegistryText::read(const std::wstring& name, const std::wstring& fallback) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return fallback;
    }
    DWORD type = 0;
    DWORD bytes = 0;
    LONG result = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes);
    std::wstring value;
    if (result == ERROR_SUCCESS && type == REG_SZ) {
        value.resize(bytes / sizeof(wchar_t) + 1);
        bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        result = RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(value.data()), &bytes);
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) {
        return fallback;
    }
    // The stored text may or may not end in a zero; cut at the first one.
    value.resize(bytes / sizeof(wchar_t));
    const auto end = value.find(L'\0');
    return end == std::wstring::npos ? value : value.substr(0, end);
}

bool RegistryText::remove(const std::wstring& name) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LONG result = RegDeleteValueW(key, name.c_str());
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

}  // namespace quindorel::test
