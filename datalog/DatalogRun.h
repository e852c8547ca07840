#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Delay.h"
#include "datalog/DatalogHost.h"
#include "datalog/SampleBuffer.h"
#include "datalog/SampleSpool.h"
#include "platform/AppDirectory.h"
#include "platform/Clock.h"
#include "platform/LocaleInfo.h"
#include "platform/MessageBoxes.h"
#include "spi/RegisterAccess.h"

namespace quenlor {

// What a run needs of the program: the sensor, the pause, the clock, the
// locale, message boxes and the folder the files go to.
struct DatalogServices {
    RegisterAccess& registers;
    Delay& delay;
    Clock& clock;
    LocaleInfo& locale;
    MessageBoxes& messages;
    AppDirectory& appDir;
};

// The choices that stay fixed for a run. Counts are the texts as typed
// ("1000", "2.5", "1,000"); their whole part counts.
struct DatalogChoices {
    std::string baseName;  // UTF-8
    std::string samplesPerFile = "1000";
    std::string filesPerSession = "1";
    bool noHeader = false;
    // Each sample waits for the sensor's next reading (the data-ready bit),
    // so that no row repeats one.
    bool paced = false;
};

// "This run would replace 2 files of an earlier run, the first of them
// DATALOG_1.csv." for the names FilesToReplace gives.
std::string ReplacedFilesText(const std::vector<std::string>& files);

// One datalog run: numbered files of samples of the ticked output registers,
// each written in one pass after its last sample, into the application folder.
class DatalogRun {
  public:
    DatalogRun(const DatalogServices& services, DatalogHost& host);

    // Holds room for one file's sample lines. False, after telling the user,
    // when they cannot be held; the run must then not start.
    bool Prepare(const DatalogChoices& choices);
    // The files of an earlier run that this one would replace (its base name,
    // numbers 1 to Files per Session), lowest number first.
    std::vector<std::string> FilesToReplace() const;
    // The whole run, after a successful Prepare; returns when it is over.
    void RunDatalog();

  private:
    bool WriteFile(std::int64_t file, std::int64_t files);
    bool TakeSamples(std::int64_t samples);
    void TakeSample(std::int64_t sample);
    bool AwaitDataReady();
    void Pause();
    std::string HeaderText(const std::string& fileName, float begin, float end);
    int SelectedCount();
    double Value(const std::string& text) const;

    DatalogServices services_;
    DatalogHost& host_;
    DatalogChoices choices_;
    bool prepared_ = false;
    SampleBuffer lines_;
    SampleSpool spool_;
    std::string separator_ = ",";
    std::string extension_ = ".csv";
    std::string decimal_ = ".";
    std::string lastDelayText_;
    double delayMs_ = 0.0;
};

}  // namespace quenlor
