#include "app/cli/StderrMessageBoxes.h"

#include <iostream>

namespace quenlor {

std::string StderrMessageBoxes::OneLine(const std::string& text) {
    std::string line;
    bool gap = false;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            gap = !line.empty();
            continue;
        }
        if (gap)
            line += ' ';
        gap = false;
        line += c;
    }
    return line;
}

void StderrMessageBoxes::showBox(const std::string& text, const std::string&, MessageIcon) {
    ++count_;
    std::cerr << "quenlor-cli: " << OneLine(text) << std::endl;
}

bool StderrMessageBoxes::askBox(const std::string& text, const std::string&) {
    ++count_;
    std::cerr << "quenlor-cli: " << OneLine(text) << " (answered no)" << std::endl;
    return false;
}

std::optional<std::string> StderrMessageBoxes::askTextBox(const std::string& text,
                                                          const std::string&, const std::string&) {
    ++count_;
    std::cerr << "quenlor-cli: " << OneLine(text) << " (nothing typed)" << std::endl;
    return std::nullopt;
}

}  // namespace quenlor
