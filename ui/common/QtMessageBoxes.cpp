#include "ui/common/QtMessageBoxes.h"

#include <QApplication>
#include <QFontDatabase>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace quenlor {

namespace {

// A text laid out in columns with runs of blanks lines up only in a
// fixed-pitch font.
void FitFont(QMessageBox& box, const std::string& text) {
    if (text.find("  ") == std::string::npos)
        return;
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

}  // namespace

void QtMessageBoxes::showBox(const std::string& text, const std::string& title, MessageIcon icon) {
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
        case MessageIcon::Warning:
            qtIcon = QMessageBox::Warning;
            break;
        case MessageIcon::Critical:
            qtIcon = QMessageBox::Critical;
            break;
        case MessageIcon::Information:
            qtIcon = QMessageBox::Information;
            break;
        case MessageIcon::Question:
            qtIcon = QMessageBox::Question;
            break;
        case MessageIcon::None:
            break;
    }
    QMessageBox box(qtIcon, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    FitFont(box, text);
    box.exec();
}

bool QtMessageBoxes::askBox(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Yes);
    FitFont(box, text);
    return box.exec() == QMessageBox::Yes;
}

bool QtMessageBoxes::askCautiousBox(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    FitFont(box, text);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtMessageBoxes::askTextBox(const std::string& text,
                                                      const std::string& title,
                                                      const std::string& initial) {
    bool ok = false;
    const QString typed = QInputDialog::getText(
        QApplication::activeWindow(), QString::fromStdString(title), QString::fromStdString(text),
        QLineEdit::Normal, QString::fromStdString(initial), &ok);
    if (!ok)
        return std::nullopt;
    return typed.toStdString();
}

}  // namespace quenlor
