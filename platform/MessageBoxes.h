#pragma once

#include <string>

namespace quenlor {

// Title of every message box unless a caller names another.
inline constexpr const char* kAppTitle = "Quenlor_Eval_Rev_2";

enum class MessageIcon { None, Warning, Critical, Information, Question };

// Modal message boxes: with an OK button only, or a question with Yes and No.
// Tests record the boxes instead of blocking on them.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;

    void show(const std::string& text) { showBox(text, kAppTitle, MessageIcon::None); }
    void show(const std::string& text, const std::string& title, MessageIcon icon) {
        showBox(text, title, icon);
    }
    // True when the user answers Yes.
    bool ask(const std::string& text) { return askBox(text, kAppTitle); }

  protected:
    virtual void showBox(const std::string& text, const std::string& title, MessageIcon icon) = 0;
    virtual bool askBox(const std::string& text, const std::string& title) = 0;
};

}  // namespace quenlor
