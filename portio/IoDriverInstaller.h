#pragma once

#include <cstdint>
#include <string>

#include "platform/AppDirectory.h"
#include "platform/IoPermission.h"
#include "platform/MessageBoxes.h"
#include "platform/ProcessRunner.h"
#include "platform/Registry.h"

namespace quenlor {

// Makes sure the I/O-permission driver service "giveio" starts automatically.
class IoDriverInstaller {
  public:
    IoDriverInstaller(Registry& registry, ProcessRunner& processes, AppDirectory& appDir,
                      MessageBoxes& messages);

    void InstallIoDriver();
    std::string ReadRegistryText(const std::string& key, const std::string& name);
    std::int32_t QueryRegistryValue(Registry::Key handle, const std::string& name,
                                    std::string& value);
    void WriteRegistryValue(const std::string& key, const std::string& name,
                            const std::string& value, std::uint32_t type);
    std::int32_t SetRegistryValue(Registry::Key handle, const std::string& name, std::uint32_t type,
                                  const std::string& value);
    std::uint32_t RunAndWait(const std::string& command);

  private:
    Registry& registry_;
    ProcessRunner& processes_;
    AppDirectory& appDir_;
    MessageBoxes& messages_;
};

}  // namespace quenlor
