#pragma once

#include "acquisition/AcquisitionEngine.h"
#include "platform/LocaleInfo.h"

namespace quenlor {

// The locale, always asked on the engine owner's thread: the window's locale
// is the toolkit's, which the worker must not call.
class LocaleRelay : public LocaleInfo {
  public:
    LocaleRelay(const LocaleInfo& target, AcquisitionEngine& engine)
        : target_(target), engine_(engine) {}

    std::string decimalSeparator() const override;
    std::string groupSeparator() const override;
    std::string shortDate() const override;
    std::string longTime() const override;

  private:
    std::string Ask(std::string (LocaleInfo::*question)() const) const;

    const LocaleInfo& target_;
    AcquisitionEngine& engine_;
};

}  // namespace quenlor
