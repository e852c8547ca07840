// Shows the register window over the simulator with a register chosen and
// saves its image to the file named on the command line. With "compare" after
// the file name it shows instead a compare against a snapshot taken before
// XACCL_NULL was changed.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <cstring>

#include "platform/fake/RecordingFileDialogs.h"
#include "tests/ui/UiRig.h"
#include "ui/registers/frmManualReg.h"

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
    quenlor::RecordingFileDialogs dialogs;
    window.useFileDialogs(dialogs);
    const bool compare = argc > 2 && std::strcmp(argv[2], "compare") == 0;
    const std::int16_t chosen = compare ? quenlor::XACCL_NULL : quenlor::SUPPLY_OUT;
    window.cmboRegister->setCurrentIndex(chosen);
    emit window.cmboRegister->activated(chosen);
    window.txtDataWrite->setText("1A");
    if (compare) {
        const auto file = rig.dir() / "board.txt";
        dialogs.answers = {file, file};
        window.cmdSave->click();
        window.cmdWrite->click();
        window.cmdCompare->click();
    }
    QTest::qWait(200);
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
