// Shows the datalog window on a display and saves its image to the file named
// by the first argument; with a second argument "running" the image is taken
// during a run, half way through its second file.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <cstring>

#include "tests/ui/UiRig.h"
#include "ui/datalog/frmDatalog.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    quenlor::UiRig rig;
    rig.settings().DelayCalibrated = true;
    QPushButton readButton(QStringLiteral("STOP"));
    quenlor::frmDatalog window(rig.ctx().datalog, readButton);
    window.show();
    QApplication::processEvents();
    bool saved = false;
    if (argc > 2 && std::strcmp(argv[2], "running") == 0) {
        window.findChild<QLineEdit*>("txtSamplesPerFile")->setText(QStringLiteral("1000"));
        window.findChild<QLineEdit*>("txtFilesPerSession")->setText(QStringLiteral("3"));
        window.findChild<QCheckBox*>("CheckReg_1")->setChecked(true);
        // Half way through the second file; the bar moves just before a yield.
        auto* fileNumber = window.findChild<QLineEdit*>("txtFileNum");
        QObject::connect(window.findChild<QProgressBar*>("prgDatalog"), &QProgressBar::valueChanged,
                         &window, [&](int value) {
                             if (saved || fileNumber->text() != QStringLiteral("2") || value < 500)
                                 return;
                             saved = window.grab().save(QString::fromLocal8Bit(argv[1]));
                         });
        window.findChild<QPushButton*>("cmdStartDatalog")->click();
    } else {
        saved = window.grab().save(QString::fromLocal8Bit(argv[1]));
    }
    return saved ? 0 : 1;
}
