#pragma once

#include <string>

namespace quenlor {

// What the system's locale says about numbers and the current date and time.
class LocaleInfo {
  public:
    virtual ~LocaleInfo() = default;
    // The decimal separator, "." or "," on most systems.
    virtual std::string decimalSeparator() const = 0;
    // The separator of digit groups (1,000). Unless a back-end knows better, the
    // one of the two common marks that is not the decimal separator.
    virtual std::string groupSeparator() const { return decimalSeparator() == "," ? "." : ","; }
    // The current date in the system's short date format.
    virtual std::string shortDate() const = 0;
    // The current time in the system's long time format.
    virtual std::string longTime() const = 0;
};

}  // namespace quenlor
