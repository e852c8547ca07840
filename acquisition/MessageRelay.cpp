#include "acquisition/MessageRelay.h"

namespace quenlor {

void MessageRelay::OnOwner(const std::function<void()>& call) {
    if (engine_.OnOwnerThread())
        call();
    else
        engine_.RunOnOwner(call);
}

void MessageRelay::showBox(const std::string& text, const std::string& title, MessageIcon icon) {
    OnOwner([&] { target_.show(text, title, icon); });
}

// The questions carry the program's title everywhere; the target's own
// entry points put it back.
bool MessageRelay::askBox(const std::string& text, const std::string&) {
    bool yes = false;
    OnOwner([&] { yes = target_.ask(text); });
    return yes;
}

bool MessageRelay::askCautiousBox(const std::string& text, const std::string&) {
    bool yes = false;
    OnOwner([&] { yes = target_.askCancelDefault(text); });
    return yes;
}

std::optional<std::string> MessageRelay::askTextBox(const std::string& text, const std::string&,
                                                    const std::string& initial) {
    std::optional<std::string> typed;
    OnOwner([&] { typed = target_.askText(text, initial); });
    return typed;
}

}  // namespace quenlor
