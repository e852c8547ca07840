#include "ui/QtFileDialogs.h"

#include <QApplication>
#include <QFileDialog>

namespace quenlor {

namespace {

QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

std::filesystem::path ToPath(const QString& text) {
    return text.isEmpty() ? std::filesystem::path() : std::filesystem::path(text.toStdU16String());
}

}  // namespace

std::filesystem::path QtFileDialogs::openFileName(const std::string& title,
                                                  const std::filesystem::path& folder,
                                                  const std::string& filter) {
    return ToPath(QFileDialog::getOpenFileName(QApplication::activeWindow(),
                                               QString::fromStdString(title), FromPath(folder),
                                               QString::fromStdString(filter)));
}

std::filesystem::path QtFileDialogs::saveFileName(const std::string& title,
                                                  const std::filesystem::path& folder,
                                                  const std::string& filter) {
    return ToPath(QFileDialog::getSaveFileName(QApplication::activeWindow(),
                                               QString::fromStdString(title), FromPath(folder),
                                               QString::fromStdString(filter)));
}

}  // namespace quenlor
