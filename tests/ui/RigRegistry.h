#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/Registry.h"

namespace quenlor {

// A registry that holds only the I/O-permission service's "Start" value and
// counts how often it is asked.
class RigRegistry : public Registry {
  public:
    std::uint32_t start = 2;
    int opens = 0;

    std::int32_t openKey(const std::string&, std::uint32_t, Key& key) override {
        ++opens;
        key = 1;
        return 0;
    }
    std::int32_t queryValue(Key, const std::string& name, std::uint32_t& type, std::uint8_t* data,
                            std::uint32_t& size) override {
        if (name != "Start")
            return 2;
        type = kTypeDword;
        if (data != nullptr && size >= 4)
            std::memcpy(data, &start, 4);
        size = 4;
        return 0;
    }
    std::int32_t setValue(Key, const std::string& name, std::uint32_t, const std::uint8_t* data,
                          std::uint32_t size) override {
        if (name == "Start" && size == 4)
            std::memcpy(&start, data, 4);
        return 0;
    }
    std::int32_t closeKey(Key) override { return 0; }
};

}  // namespace quenlor
