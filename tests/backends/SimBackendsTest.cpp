#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "app/SimBackends.h"
#include "platform/fake/FixedAppDirectory.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "portio/IoDriverInstaller.h"

namespace quenlor {
namespace {

// A simulated start with the parallel port on an NT-class system runs the
// driver installation over the simulator's own registry and process start: it
// must neither write the batch file nor run the installer on the real machine.
TEST(SimBackendsTest, DriverInstallationFindsTheServiceAutomaticAndRunsNothing) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("quenlor sim install " + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    {
        SimBackends sim("");
        FixedAppDirectory appDir(dir);
        RecordingMessageBoxes boxes;
        IoDriverInstaller installer(sim.registry(), sim.processes(), appDir, boxes);

        EXPECT_EQ(installer.ReadRegistryText(kGiveioServiceKey, "Start"), "2");
        installer.InstallIoDriver();

        // Nothing ran: the batch file is written before it is run, and a run
        // without instdrv2 in the folder would end in the error message.
        EXPECT_TRUE(std::filesystem::is_empty(dir));
        EXPECT_TRUE(boxes.boxes.empty());
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace quenlor
