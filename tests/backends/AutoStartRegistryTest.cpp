#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "platform/fake/FakeProcessRunner.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/standin/AutoStartRegistry.h"
#include "portio/IoDriverInstaller.h"

namespace quenlor {
namespace {

TEST(AutoStartRegistryTest, ServiceStartReadsAsAutomaticDword) {
    AutoStartRegistry registry;
    Registry::Key key = 0;
    ASSERT_EQ(registry.openKey("SYSTEM\\CurrentControlSet\\Services\\giveio",
                               Registry::kAccessQuery, key),
              0);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    ASSERT_EQ(registry.queryValue(key, "Start", type, nullptr, size), 0);
    EXPECT_EQ(type, Registry::kTypeDword);
    ASSERT_EQ(size, 4u);

    std::uint8_t small[2] = {};
    std::uint32_t smallSize = sizeof small;
    EXPECT_EQ(registry.queryValue(key, "Start", type, small, smallSize),
              AutoStartRegistry::kMoreData);
    EXPECT_EQ(smallSize, 4u);

    std::uint8_t data[4] = {};
    ASSERT_EQ(registry.queryValue(key, "start", type, data, size), 0);
    EXPECT_EQ(data[0] | data[1] << 8 | data[2] << 16 | data[3] << 24, 2);
    EXPECT_EQ(registry.queryValue(key, "ImagePath", type, nullptr, size),
              AutoStartRegistry::kNotFound);
    EXPECT_EQ(registry.closeKey(key), 0);
    EXPECT_EQ(registry.closeKey(key), AutoStartRegistry::kInvalidHandle);
    EXPECT_EQ(registry.queryValue(key, "Start", type, nullptr, size),
              AutoStartRegistry::kInvalidHandle);
}

TEST(AutoStartRegistryTest, OtherKeysAreAbsentAndWritesNeedSetAccess) {
    AutoStartRegistry registry;
    Registry::Key key = 0;
    EXPECT_EQ(registry.openKey("SOFTWARE\\Other", Registry::kAccessQuery, key),
              AutoStartRegistry::kNotFound);

    ASSERT_EQ(registry.openKey("system\\currentcontrolset\\services\\GIVEIO",
                               Registry::kAccessQuery, key),
              0);
    const std::uint8_t three[4] = {3, 0, 0, 0};
    EXPECT_EQ(registry.setValue(key, "Start", Registry::kTypeDword, three, 4),
              AutoStartRegistry::kAccessDenied);
    registry.closeKey(key);

    ASSERT_EQ(registry.openKey(kGiveioServiceKey, Registry::kAccessSetValue, key), 0);
    EXPECT_EQ(registry.setValue(key, "DisplayName", Registry::kTypeSz,
                                reinterpret_cast<const std::uint8_t*>("giveio"), 7),
              0);
    registry.closeKey(key);

    ASSERT_EQ(registry.openKey(kGiveioServiceKey, Registry::kAccessQuery, key), 0);
    std::uint32_t type = 0;
    char back[16] = {};
    std::uint32_t size = sizeof back;
    ASSERT_EQ(
        registry.queryValue(key, "DisplayName", type, reinterpret_cast<std::uint8_t*>(back), size),
        0);
    EXPECT_EQ(type, Registry::kTypeSz);
    EXPECT_EQ(size, 7u);
    EXPECT_STREQ(back, "giveio");
    registry.closeKey(key);
}

// Where the stand-in is the registry there is nothing to install.
TEST(AutoStartRegistryTest, DriverInstallationReturnsAtOnceWithoutFileOrProcess) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("quenlor install " + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    AutoStartRegistry registry;
    FakeProcessRunner processes;
    FixedAppDirectory appDir(dir);
    RecordingMessageBoxes boxes;
    IoDriverInstaller installer(registry, processes, appDir, boxes);

    EXPECT_EQ(installer.ReadRegistryText(kGiveioServiceKey, "Start"), "2");
    installer.InstallIoDriver();

    EXPECT_TRUE(processes.commands.empty());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir));  // no temp.bat written
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace quenlor
