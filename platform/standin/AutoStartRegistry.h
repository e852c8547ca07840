#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/IoPermission.h"
#include "platform/Registry.h"

namespace quenlor {

// A registry, in memory, that holds only the I/O-permission service key with
// "Start" set to automatic (REG_DWORD 2), so the driver installation returns at
// once: for Linux, which has no registry and no driver service to install (the
// kernel's ppdev driver grants port access), and for the simulator on every
// system, whose parallel-port board needs no driver. Other keys are absent;
// values written to an existing key are kept for the rest of the run.
class AutoStartRegistry : public Registry {
  public:
    static constexpr std::int32_t kSuccess = 0;
    static constexpr std::int32_t kNotFound = 2;       // ERROR_FILE_NOT_FOUND
    static constexpr std::int32_t kAccessDenied = 5;   // ERROR_ACCESS_DENIED
    static constexpr std::int32_t kInvalidHandle = 6;  // ERROR_INVALID_HANDLE
    static constexpr std::int32_t kMoreData = 234;     // ERROR_MORE_DATA

    AutoStartRegistry();

    std::int32_t openKey(const std::string& subKey, std::uint32_t access, Key& key) override;
    std::int32_t queryValue(Key key, const std::string& name, std::uint32_t& type,
                            std::uint8_t* data, std::uint32_t& size) override;
    std::int32_t setValue(Key key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) override;
    std::int32_t closeKey(Key key) override;

  private:
    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> bytes;
    };
    struct OpenKey {
        std::string path;
        std::uint32_t access = 0;
    };
    // Key and value names compare without regard to case, as in the registry.
    using Values = std::map<std::string, Value>;

    std::map<std::string, Values> keys_;
    std::map<Key, OpenKey> open_;
    Key nextKey_ = 1;
};

}  // namespace quenlor
