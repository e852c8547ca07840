#pragma once

#include "platform/MessageBoxes.h"

namespace quenlor {

// Modal QMessageBox with an OK button only, parented to the active window.
class QtMessageBoxes : public MessageBoxes {
  protected:
    void showBox(const std::string& text, const std::string& title, MessageIcon icon) override;
};

}  // namespace quenlor
