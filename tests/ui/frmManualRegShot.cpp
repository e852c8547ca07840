// Shows the register window over the simulator with a register chosen and
// saves its image to the file named on the command line.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include "tests/ui/UiRig.h"
#include "ui/frmManualReg.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    quenlor::UiRig rig;
    QWidget main;
    main.move(40, 40);
    main.show();
    quenlor::frmManualReg window(rig.ctx().registerWindow, &main);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 3;
    window.cmboRegister->setCurrentIndex(quenlor::SUPPLY_OUT);
    emit window.cmboRegister->activated(quenlor::SUPPLY_OUT);
    window.txtDataWrite->setText("1A");
    QTest::qWait(200);
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
