#include "platform/win32/Win32Registry.h"

#include <windows.h>

namespace quenlor {

namespace {

HKEY toKey(Registry::Key key) {
    return reinterpret_cast<HKEY>(key);
}

}  // namespace

std::int32_t Win32Registry::openKey(const std::string& subKey, std::uint32_t access, Key& key) {
    HKEY opened = nullptr;
    const LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, access, &opened);
    key = rc == ERROR_SUCCESS ? reinterpret_cast<Key>(opened) : 0;
    return rc;
}

std::int32_t Win32Registry::queryValue(Key key, const std::string& name, std::uint32_t& type,
                                       std::uint8_t* data, std::uint32_t& size) {
    DWORD t = 0;
    DWORD s = size;
    const LONG rc = RegQueryValueExA(toKey(key), name.c_str(), nullptr, &t, data, &s);
    type = t;
    size = s;
    return rc;
}

std::int32_t Win32Registry::setValue(Key key, const std::string& name, std::uint32_t type,
                                     const std::uint8_t* data, std::uint32_t size) {
    return RegSetValueExA(toKey(key), name.c_str(), 0, type, data, size);
}

std::int32_t Win32Registry::closeKey(Key key) {
    return RegCloseKey(toKey(key));
}

}  // namespace quenlor
