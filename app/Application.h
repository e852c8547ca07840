#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/Backends.h"
#include "platform/LocaleInfo.h"
#include "stack/SensorStack.h"
#include "ui/common/WindowContexts.h"

namespace quenlor {

class frm1;
class frmMsg;

// The program's run: the object stack built once over the chosen back-ends
// and seams, the start-up and the main window.
class Application {
  public:
    Application(Backends& backends, const StackSeams& seams, LocaleInfo& locale);
    ~Application();

    // Start-up: the message window, the delay calibration, the settings, then
    // the main window. Returns with the main window shown. An `interface`
    // given takes the place of the settings file's.
    void Main(std::optional<std::int16_t> interface = std::nullopt);

    frm1& mainWindow() { return *main_; }
    SensorStack& stack() { return stack_; }
    // The start-up message window (none before Main); hidden once Main has returned.
    frmMsg* messageWindow() { return message_.get(); }

  private:
    SensorStack stack_;
    MainWindowContext ctx_;
    std::unique_ptr<frmMsg> message_;
    std::unique_ptr<frm1> main_;
};

}  // namespace quenlor
