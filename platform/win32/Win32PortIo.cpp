#include "platform/win32/Win32PortIo.h"

#include <utility>

#include "platform/win32/Win32Library.h"

namespace quenlor {

Win32PortIo::Win32PortIo(MessageBoxes& messages, std::string library)
    : messages_(messages), name_(std::move(library)) {}

Win32PortIo::~Win32PortIo() = default;

bool Win32PortIo::ready() {
    if (tried_)
        return out_ != nullptr && inp_ != nullptr;
    tried_ = true;
    library_ = std::make_unique<Win32Library>(name_);
    out_ = library_->function<OutFunction>("vbOut");
    inp_ = library_->function<InpFunction>("vbInp");
    if (out_ != nullptr && inp_ != nullptr)
        return true;
    const std::string problem =
        library_->loaded() ? " does not offer vbOut and vbInp."
                           : library_->loadProblem("the program's folder or the system folder");
    messages_.show(
        "The port I/O library " + name_ + problem + " The parallel port has no effect until then.",
        kAppTitle, MessageIcon::Warning);
    out_ = nullptr;
    inp_ = nullptr;
    return false;
}

void Win32PortIo::vbOut(std::int16_t port, std::int16_t value) {
    if (ready())
        out_(port, value);
}

std::int16_t Win32PortIo::vbInp(std::int16_t port) {
    return ready() ? inp_(port) : kNoAccess;
}

}  // namespace quenlor
