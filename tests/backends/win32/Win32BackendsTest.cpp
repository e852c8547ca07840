#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "Win32TestFolder.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/win32/Win32EzUsbDriver.h"
#include "platform/win32/Win32IoPermission.h"
#include "platform/win32/Win32PortIo.h"
#include "platform/win32/Win32ProcessRunner.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"

namespace quenlor {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kTestKey = "SOFTWARE\\QuenlorEvalTest";

class Win32RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestKey);
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestKey); }

    Win32Registry registry;
};

TEST_F(Win32RegistryTest, TextAndNumberGoInAndComeBackWithTheirTypesAndSizes) {
    Registry::Key key = 0;
    ASSERT_EQ(registry.openKey(kTestKey, Registry::kAccessSetValue, key), 0);
    const char text[] = "C:\\Program Files\\Giveio.sys";
    ASSERT_EQ(registry.setValue(key, "ImagePath", Registry::kTypeSz,
                                reinterpret_cast<const std::uint8_t*>(text), sizeof text),
              0);
    const std::uint32_t two = 2;
    ASSERT_EQ(registry.setValue(key, "Start", Registry::kTypeDword,
                                reinterpret_cast<const std::uint8_t*>(&two), 4),
              0);
    EXPECT_EQ(registry.closeKey(key), 0);

    ASSERT_EQ(registry.openKey(kTestKey, Registry::kAccessQuery, key), 0);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    ASSERT_EQ(registry.queryValue(key, "ImagePath", type, nullptr, size), 0);
    EXPECT_EQ(type, Registry::kTypeSz);
    EXPECT_EQ(size, sizeof text);
    char back[64] = {};
    std::uint32_t small = 4;
    EXPECT_EQ(
        registry.queryValue(key, "ImagePath", type, reinterpret_cast<std::uint8_t*>(back), small),
        ERROR_MORE_DATA);
    size = sizeof back;
    ASSERT_EQ(
        registry.queryValue(key, "ImagePath", type, reinterpret_cast<std::uint8_t*>(back), size),
        0);
    EXPECT_STREQ(back, text);

    std::uint32_t number = 0;
    size = 4;
    ASSERT_EQ(
        registry.queryValue(key, "Start", type, reinterpret_cast<std::uint8_t*>(&number), size), 0);
    EXPECT_EQ(type, Registry::kTypeDword);
    EXPECT_EQ(number, 2u);
    EXPECT_EQ(registry.queryValue(key, "Missing", type, nullptr, size), ERROR_FILE_NOT_FOUND);
    registry.closeKey(key);

    EXPECT_EQ(registry.openKey("SOFTWARE\\QuenlorEvalTest\\Absent", Registry::kAccessQuery, key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0u);
}

TEST(Win32ProcessRunnerTest, ExitCodesOfProgramsAndBatchFilesWithBlanksInTheirPath) {
    Win32ProcessRunner runner;
    EXPECT_EQ(runner.runAndWait("cmd /c exit 5"), 5u);
    EXPECT_EQ(runner.runAndWait("cmd /c exit 0"), 0u);
    EXPECT_NE(runner.runAndWait("\"C:\\no such folder\\instdrv2.exe\" giveio remove"), 0u);

    Win32TestFolder folder("quenlor run");
    const auto batch = folder.path() / "temp.bat";
    const auto marker = folder.path() / "ran.txt";
    {
        std::ofstream out(batch, std::ios::binary);
        out << "@echo ran> \"" << marker.string() << "\"\r\n";
    }
    EXPECT_EQ(runner.runAndWait("\"" + batch.string() + "\""), 0u);
    EXPECT_TRUE(std::filesystem::exists(marker));  // waited for: its work is done
}

TEST(Win32PortIoTest, MissingLibraryIsToldOnceAndReadsGiveNoAccessValue) {
    RecordingMessageBoxes boxes;
    Win32PortIo port(boxes, "absent-win95io.dll");

    port.vbOut(0x378, 5);
    EXPECT_EQ(port.vbInp(0x379), Win32PortIo::kNoAccess);
    EXPECT_EQ(port.vbInp(0x379), Win32PortIo::kNoAccess);

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_THAT(boxes.boxes[0].text, HasSubstr("absent-win95io.dll could not be loaded"));
    EXPECT_THAT(boxes.boxes[0].text, HasSubstr("Put it in the program's folder"));
    if (sizeof(void*) == 8) {
        EXPECT_THAT(boxes.boxes[0].text, HasSubstr("the parallel port needs the 32-bit build"));
    }
    EXPECT_EQ(boxes.boxes[0].title, kAppTitle);
}

TEST(Win32PortIoTest, LibraryFoundAtRunTimeCarriesWritesAndReads) {
    RecordingMessageBoxes boxes;
    Win32PortIo port(boxes);  // the stand-in win95io.dll beside the test program

    port.vbOut(0x378, 7);
    port.vbOut(static_cast<std::int16_t>(0xD010), 0x40);
    EXPECT_EQ(port.vbInp(0x378), 7);
    EXPECT_EQ(port.vbInp(static_cast<std::int16_t>(0xD010)), 0x40);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(Win32IoPermissionTest, GiveioIsCalledWhenPresentAndItsAbsenceToldOnce) {
    RecordingMessageBoxes boxes;
    Win32IoPermission present(boxes);
    present.giveio(0x378);
    present.giveio(0x378);
    HMODULE stand = GetModuleHandleA("giveio.dll");
    ASSERT_NE(stand, nullptr);
    using Count = std::int32_t(__stdcall*)();
    const auto calls =
        reinterpret_cast<Count>(reinterpret_cast<void*>(GetProcAddress(stand, "giveioCalls")));
    ASSERT_NE(calls, nullptr);
    EXPECT_EQ(calls(), 2);
    EXPECT_TRUE(boxes.boxes.empty());

    Win32IoPermission absent(boxes, "absent-giveio.dll");
    absent.giveio(0x378);
    absent.giveio(0x378);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_THAT(boxes.boxes[0].text, HasSubstr("absent-giveio.dll"));
}

// Error 193 (ERROR_BAD_EXE_FORMAT) from the loader: a library of the other
// processor width, or a file that is no library at all.
TEST(Win32LibraryTest, LibraryTheProgramCannotRunIsToldAsSuchNotAsMissing) {
    Win32TestFolder folder("quenlor libraries");
    const std::string damaged = (folder.path() / "win95io.dll").string();
    std::ofstream(damaged, std::ios::binary) << "not a library";
    std::vector<std::string> libraries = {damaged};
#ifdef QUENLOR_OTHER_WIDTH_DLL
    libraries.push_back(QUENLOR_OTHER_WIDTH_DLL);  // the stand-in, built 32-bit
#endif
    const std::string width = std::to_string(8 * sizeof(void*)) + "-bit program";
    for (const std::string& library : libraries) {
        SCOPED_TRACE(library);
        RecordingMessageBoxes boxes;
        Win32PortIo port(boxes, library);
        Win32IoPermission permission(boxes, library);

        EXPECT_EQ(port.vbInp(0x379), Win32PortIo::kNoAccess);
        port.vbOut(0x378, 5);
        permission.giveio(0x378);

        ASSERT_EQ(boxes.boxes.size(), 2u);
        for (const auto& box : boxes.boxes) {
            EXPECT_THAT(box.text, HasSubstr(library + " is built for another processor width"));
            EXPECT_THAT(box.text, HasSubstr(width));
            EXPECT_THAT(box.text, Not(HasSubstr("Put it in")));
            if (sizeof(void*) == 8) {
                EXPECT_THAT(box.text, HasSubstr("the parallel port needs the 32-bit build"));
            }
        }
        EXPECT_THAT(boxes.boxes[0].text, HasSubstr("port I/O library"));
        EXPECT_THAT(boxes.boxes[1].text, HasSubstr("I/O permission library"));
    }
}

TEST(Win32SystemInfoTest, ReportsAnNtFamilySystem) {
    const Win32SystemInfo info;
    EXPECT_EQ(info.platformId(), VER_PLATFORM_WIN32_NT);
    EXPECT_GE(info.version(), 5.0);
    EXPECT_GT(info.build(), 0);
}

TEST(Win32EzUsbDriverTest, NoDriverMeansNoHandleAtAnyName) {
    Win32EzUsbDriver driver;
    for (const char* name : {"Ezusb-0", "Ezusb-1", "Ezusb-2", "Ezusb-3"}) {
        const DeviceHandle h = driver.open(name);
        EXPECT_EQ(h, kNoHandle) << name;
        driver.close(h);  // harmless on the no-handle value
    }
    // A device of the system under another name is never opened.
    EXPECT_EQ(driver.open("NUL"), kNoHandle);
}

}  // namespace
}  // namespace quenlor
