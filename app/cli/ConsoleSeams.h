#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/LocaleInfo.h"
#include "platform/folders/ProgramFolders.h"

namespace quenlor {

// The clock, the locale, the program's folders (the window's, so both read the
// same CommPort.cfg) and a cursor that nobody sees, for a program without
// windows.
class ConsoleSeams : public Clock, public LocaleInfo, public ProgramFolders, public Cursor {
  public:
    ConsoleSeams();

    float secondsSinceMidnight() override;
    std::int64_t monotonicNanoseconds() override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    LocalDateTime localDateTime() override;
    std::string decimalSeparator() const override { return decimal_; }
    std::string shortDate() const override;
    std::string longTime() const override;
    void setBusy(bool) override {}

  private:
    std::string decimal_ = ".";
};

}  // namespace quenlor
