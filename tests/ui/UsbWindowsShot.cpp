// Shows the two adapter card windows over the simulator, two cards plugged in,
// and saves their images to the two files named on the command line.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "tests/ui/UiRig.h"
#include "ui/cards/frmUSBdebug.h"
#include "ui/cards/frmUSBselect.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    quenlor::UiRig rig;
    quenlor::SimCardConfig full;
    full.pipe3PacketSize = quenlor::SimCardConfig::kFullSpeedPacket;
    rig.card().placeCard(2, full);
    QWidget main;
    main.move(40, 40);
    main.show();
    quenlor::frmUSBselect select(rig.ctx().usbSelect, &main);
    select.show();
    if (!QTest::qWaitForWindowExposed(&select))
        return 3;
    QTest::qWait(200);
    if (!select.grab().save(QString::fromLocal8Bit(argv[1])))
        return 1;
    select.hide();

    quenlor::frmUSBdebug debug(rig.ctx().usbSelect.debug, &main);
    debug.show();
    if (!QTest::qWaitForWindowExposed(&debug))
        return 3;
    debug.findChild<QLineEdit*>("txtNumWords")->setText("2");
    debug.findChild<QLineEdit*>("txtWriteSpi_1")->setText("3E00");
    debug.findChild<QPushButton*>("cmdWriteSpi")->click();
    QTest::qWait(200);
    return debug.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
