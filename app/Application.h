#pragma once

#include <memory>

#include "platform/Backends.h"
#include "platform/LocaleInfo.h"
#include "stack/SensorStack.h"
#include "ui/WindowContexts.h"

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
    // the main window. Returns with the main window shown.
    void Main();

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
