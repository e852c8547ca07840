#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/MessageBoxes.h"

namespace quenlor {

// Records every box instead of showing it, so no test blocks on a modal box.
class RecordingMessageBoxes : public MessageBoxes {
  public:
    struct Box {
        std::string text;
        std::string title;
        MessageIcon icon;
    };

    std::vector<Box> boxes;
    // Runs while the box would be up, to look at the program as the user sees it.
    std::function<void(const Box&)> onShow;
    // The answers to the questions asked, in order; No once they run out.
    std::vector<bool> answers;
    // The texts of the questions asked with Cancel as the default button.
    std::vector<std::string> cancelDefault;
    // The texts typed into the text questions, in order; Cancel once they run out.
    std::vector<std::string> typed;
    // The starting text of every text question asked.
    std::vector<std::string> initialTexts;

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& b : boxes)
            out.push_back(b.text);
        return out;
    }
    void clear() { boxes.clear(); }

  protected:
    void showBox(const std::string& text, const std::string& title, MessageIcon icon) override {
        boxes.push_back({text, title, icon});
        if (onShow)
            onShow(boxes.back());
    }
    bool askBox(const std::string& text, const std::string& title) override {
        showBox(text, title, MessageIcon::Question);
        const std::size_t asked =
            static_cast<std::size_t>(std::count_if(boxes.begin(), boxes.end(), [](const Box& b) {
                return b.icon == MessageIcon::Question;
            }));
        return asked <= answers.size() && answers[asked - 1];
    }
    bool askCautiousBox(const std::string& text, const std::string& title) override {
        cancelDefault.push_back(text);
        return askBox(text, title);
    }
    std::optional<std::string> askTextBox(const std::string& text, const std::string& title,
                                          const std::string& initial) override {
        showBox(text, title, MessageIcon::Question);
        initialTexts.push_back(initial);
        if (initialTexts.size() > typed.size())
            return std::nullopt;
        return typed[initialTexts.size() - 1];
    }
};

}  // namespace quenlor
