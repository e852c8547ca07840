#include "ui/common/WindowContexts.h"

namespace quenlor {

MainWindowContext MakeWindowContexts(SensorStack& stack, LocaleInfo& locale) {
    Backends& backends = stack.backends();
    const UsbDebugContext debug{stack.settings(), stack.usb(), stack.usbSpi(),
                                stack.messages(), locale,      stack.engine()};
    return MainWindowContext{
        stack.parts(),
        backends.ioPermission(),
        backends.systemInfo(),
        stack.messages(),
        locale,
        stack.appDir(),
        stack.clock(),
        stack.engine(),
        stack.backendNotice(),
        RegisterWindowContext{stack.delay(), stack.registerTable(), stack.registers(),
                              stack.messages(), locale, stack.appDir(), stack.clock(),
                              stack.settings(), stack.usb(), !stack.backendNotice().empty()},
        DatalogContext{stack.settings(), stack.delay(), stack.registers(), stack.messages(), locale,
                       stack.clock(), stack.appDir(), stack.engine()},
        UsbSelectContext{stack.settings(), stack.usb(), stack.usbSpi(), locale, stack.engine(),
                         debug},
    };
}

}  // namespace quenlor
