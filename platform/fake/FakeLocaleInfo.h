#pragma once

#include <string>

#include "platform/LocaleInfo.h"

namespace quenlor {

class FakeLocaleInfo : public LocaleInfo {
  public:
    std::string separator = ".";
    std::string date = "07/12/2026";
    std::string time = "05:30:00";

    std::string decimalSeparator() const override { return separator; }
    std::string shortDate() const override { return date; }
    std::string longTime() const override { return time; }
};

}  // namespace quenlor
