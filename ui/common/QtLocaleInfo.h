#pragma once

#include "platform/LocaleInfo.h"

namespace quenlor {

// Reads the default QLocale on every call, so a changed default takes effect at once.
class QtLocaleInfo : public LocaleInfo {
  public:
    std::string decimalSeparator() const override;
    std::string groupSeparator() const override;
    std::string shortDate() const override;
    std::string longTime() const override;
};

}  // namespace quenlor
