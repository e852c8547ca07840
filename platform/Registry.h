#pragma once

#include <cstdint>
#include <string>

namespace quenlor {

// The four registry calls the driver installation makes, on keys under
// HKEY_LOCAL_MACHINE. Result codes are the registry's own (0 is success).
class Registry {
  public:
    using Key = std::uintptr_t;
    static constexpr std::uint32_t kTypeSz = 1;               // REG_SZ
    static constexpr std::uint32_t kTypeDword = 4;            // REG_DWORD
    static constexpr std::uint32_t kAccessQuery = 0x0001;     // KEY_QUERY_VALUE
    static constexpr std::uint32_t kAccessSetValue = 0x0002;  // KEY_SET_VALUE

    virtual ~Registry() = default;

    virtual std::int32_t openKey(const std::string& subKey, std::uint32_t access, Key& key) = 0;
    // With `data` null only the type and size are returned, as RegQueryValueExA does.
    virtual std::int32_t queryValue(Key key, const std::string& name, std::uint32_t& type,
                                    std::uint8_t* data, std::uint32_t& size) = 0;
    virtual std::int32_t setValue(Key key, const std::string& name, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t size) = 0;
    virtual std::int32_t closeKey(Key key) = 0;
};

}  // namespace quenlor
