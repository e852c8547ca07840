#pragma once

#include "platform/Registry.h"

namespace quenlor {

// Keys under HKEY_LOCAL_MACHINE through RegOpenKeyExA, RegQueryValueExA,
// RegSetValueExA and RegCloseKey; result codes are the system's.
class Win32Registry : public Registry {
  public:
    std::int32_t openKey(const std::string& subKey, std::uint32_t access, Key& key) override;
    std::int32_t queryValue(Key key, const std::string& name, std::uint32_t& type,
                            std::uint8_t* data, std::uint32_t& size) override;
    std::int32_t setValue(Key key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override;
    std::int32_t closeKey(Key key) override;
};

}  // namespace quenlor
