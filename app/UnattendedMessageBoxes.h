#pragma once

#include "platform/MessageBoxes.h"

namespace quenlor {

// For runs nobody watches (--screenshot): each message is a line on standard
// error and each question is answered No, so the run never waits for a click.
class UnattendedMessageBoxes : public MessageBoxes {
  protected:
    void showBox(const std::string& text, const std::string& title, MessageIcon icon) override;
    bool askBox(const std::string& text, const std::string& title) override;
    std::optional<std::string> askTextBox(const std::string& text, const std::string& title,
                                          const std::string& initial) override;
};

}  // namespace quenlor
