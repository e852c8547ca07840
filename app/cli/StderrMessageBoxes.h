#pragma once

#include <optional>
#include <string>

#include "platform/MessageBoxes.h"

namespace quenlor {

// Message boxes of a program without windows: each becomes one line on
// standard error, prefixed with the program's name, and nothing waits. A
// question is answered No. Every box the libraries show reports a failure, so
// their number decides the exit status.
class StderrMessageBoxes : public MessageBoxes {
  public:
    int count() const { return count_; }

    // The box's text on one line: its line breaks become blanks.
    static std::string OneLine(const std::string& text);

  protected:
    void showBox(const std::string& text, const std::string& title, MessageIcon icon) override;
    bool askBox(const std::string& text, const std::string& title) override;
    std::optional<std::string> askTextBox(const std::string& text, const std::string& title,
                                          const std::string& initial) override;

  private:
    int count_ = 0;
};

}  // namespace quenlor
