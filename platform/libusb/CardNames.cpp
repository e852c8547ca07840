#include "platform/libusb/CardNames.h"

#include <algorithm>

namespace quenlor {

void CardNames::update(std::vector<Location> present) {
    std::sort(present.begin(), present.end());
    for (auto& name : names_) {
        if (name && !std::binary_search(present.begin(), present.end(), *name))
            name.reset();
    }
    auto freeName = names_.begin();
    for (const Location& card : present) {
        if (std::find(names_.begin(), names_.end(), card) != names_.end())
            continue;
        freeName = std::find(freeName, names_.end(), std::nullopt);
        if (freeName == names_.end())
            return;
        *freeName = card;
    }
}

std::optional<CardNames::Location> CardNames::at(int number) const {
    if (number < 0 || number >= kNames)
        return std::nullopt;
    return names_[static_cast<std::size_t>(number)];
}

}  // namespace quenlor
