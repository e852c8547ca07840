// Shows the main window on a display, reads for a while from the simulated
// card, then lets the card stop answering and reads once more; saves the
// window's image then to the file named by the first argument.

#include <QApplication>
#include <QTest>

#include "tests/ui/UiRig.h"
#include "ui/main/frm1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    quenlor::UiRig rig({quenlor::InterfaceUsb, true, false});
    quenlor::frm1 window(rig.ctx());
    window.Form_Load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 3;
    for (int pass = 0; pass < 150; ++pass)
        window.ReadLoop();
    rig.driver().failAllRequests(0, quenlor::kIoctlBulkRead);
    window.ReadLoop();
    window.ReadStatus();
    QTest::qWait(200);
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
