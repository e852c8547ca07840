#pragma once

#include "acquisition/AcquisitionEngine.h"
#include "platform/MessageBoxes.h"

namespace quenlor {

// Message boxes that always open on the engine owner's thread: a box asked
// for by the worker (a register access failing in the read loop) is handed
// over and the worker waits for its answer, as a single thread would.
class MessageRelay : public MessageBoxes {
  public:
    MessageRelay(MessageBoxes& target, AcquisitionEngine& engine)
        : target_(target), engine_(engine) {}

  protected:
    void showBox(const std::string& text, const std::string& title, MessageIcon icon) override;
    bool askBox(const std::string& text, const std::string& title) override;
    bool askCautiousBox(const std::string& text, const std::string& title) override;
    std::optional<std::string> askTextBox(const std::string& text, const std::string& title,
                                          const std::string& initial) override;

  private:
    void OnOwner(const std::function<void()>& call);

    MessageBoxes& target_;
    AcquisitionEngine& engine_;
};

}  // namespace quenlor
