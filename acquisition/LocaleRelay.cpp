#include "acquisition/LocaleRelay.h"

namespace quenlor {

std::string LocaleRelay::Ask(std::string (LocaleInfo::*question)() const) const {
    if (engine_.OnOwnerThread())
        return (target_.*question)();
    std::string answer;
    engine_.RunOnOwner([&] { answer = (target_.*question)(); });
    return answer;
}

std::string LocaleRelay::decimalSeparator() const {
    return Ask(&LocaleInfo::decimalSeparator);
}

std::string LocaleRelay::groupSeparator() const {
    return Ask(&LocaleInfo::groupSeparator);
}

std::string LocaleRelay::shortDate() const {
    return Ask(&LocaleInfo::shortDate);
}

std::string LocaleRelay::longTime() const {
    return Ask(&LocaleInfo::longTime);
}

}  // namespace quenlor
