#pragma once

#include "platform/MessageBoxes.h"

namespace quenlor {

// Modal QMessageBox, parented to the active window.
class QtMessageBoxes : public MessageBoxes {
  protected:
    void showBox(const std::string& text, const std::string& title, MessageIcon icon) override;
    bool askBox(const std::string& text, const std::string& title) override;
    std::optional<std::string> askTextBox(const std::string& text, const std::string& title,
                                          const std::string& initial) override;
    bool askCautiousBox(const std::string& text, const std::string& title) override;
};

}  // namespace quenlor
