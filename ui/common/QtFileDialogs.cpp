#include "ui/common/QtFileDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QRegularExpression>

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
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(title),
                       FromPath(folder), QString::fromStdString(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds the filter's extension itself, so the question about
    // replacing a file is asked for the name that will be written.
    static const QRegularExpression suffix(QStringLiteral("\\*\\.(\\w+)"));
    const auto match = suffix.match(QString::fromStdString(filter));
    if (match.hasMatch())
        dialog.setDefaultSuffix(match.captured(1));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? ToPath(dialog.selectedFiles().constFirst())
               : std::filesystem::path();
}

}  // namespace quenlor
