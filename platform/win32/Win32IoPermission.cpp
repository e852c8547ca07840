#include "platform/win32/Win32IoPermission.h"

#include <utility>

#include "platform/win32/Win32Library.h"

namespace quenlor {

Win32IoPermission::Win32IoPermission(MessageBoxes& messages, std::string library)
    : messages_(messages), name_(std::move(library)) {}

Win32IoPermission::~Win32IoPermission() = default;

void Win32IoPermission::giveio(std::int16_t) {
    using GiveioFunction = std::int32_t(__stdcall*)();
    // Kept loaded: the port access it grants lasts as long as the process.
    if (!library_)
        library_ = std::make_unique<Win32Library>(name_);
    const auto call = library_->function<GiveioFunction>("giveio");
    if (call != nullptr) {
        call();
        return;
    }
    if (reported_)
        return;
    reported_ = true;
    const std::string problem =
        library_->loaded() ? " does not offer giveio. Put the right one in the program's folder."
                           : library_->loadProblem("the program's folder");
    messages_.show("The I/O permission library " + name_ + problem +
                       " The parallel port has no effect until then.",
                   kAppTitle, MessageIcon::Warning);
}

}  // namespace quenlor
