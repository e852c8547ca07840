#pragma once

#include <optional>
#include <string>

namespace quenlor {

// Title of every message box unless a caller names another.
inline constexpr const char* kAppTitle = "Quenlor_Eval_Rev_2";

enum class MessageIcon { None, Warning, Critical, Information, Question };

// Modal message boxes: with an OK button only, a question with Yes and No, or
// a line of text to type with OK and Cancel.
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
    // A question whose safe answer is No: the box offers Cancel and makes it
    // the default button. True when the user answers Yes.
    bool askCancelDefault(const std::string& text) { return askCautiousBox(text, kAppTitle); }
    // The text typed, starting from `initial`; nothing when the user cancels.
    std::optional<std::string> askText(const std::string& text, const std::string& initial) {
        return askTextBox(text, kAppTitle, initial);
    }

  protected:
    virtual void showBox(const std::string& text, const std::string& title, MessageIcon icon) = 0;
    virtual bool askBox(const std::string& text, const std::string& title) = 0;
    virtual std::optional<std::string> askTextBox(const std::string& text, const std::string& title,
                                                  const std::string& initial) = 0;
    // A back-end without a box of its own for it asks the plain question.
    virtual bool askCautiousBox(const std::string& text, const std::string& title) {
        return askBox(text, title);
    }
};

}  // namespace quenlor
