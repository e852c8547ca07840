#include "app/UnattendedMessageBoxes.h"

#include <iostream>

namespace quenlor {

void UnattendedMessageBoxes::showBox(const std::string& text, const std::string&, MessageIcon) {
    std::cerr << "quenlor-eval: " << text << std::endl;
}

bool UnattendedMessageBoxes::askBox(const std::string& text, const std::string&) {
    std::cerr << "quenlor-eval: " << text << " (answered No)" << std::endl;
    return false;
}

std::optional<std::string> UnattendedMessageBoxes::askTextBox(const std::string& text,
                                                              const std::string&,
                                                              const std::string&) {
    std::cerr << "quenlor-eval: " << text << " (cancelled)" << std::endl;
    return std::nullopt;
}

}  // namespace quenlor
