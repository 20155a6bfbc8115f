#include "app/qtdialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace quillet::app {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

bool QtDialogs::confirm(const std::string& caption, const std::string& text, Buttons buttons) {
  const auto yes = buttons == Buttons::YesNo ? QMessageBox::Yes : QMessageBox::Ok;
  const auto no = buttons == Buttons::YesNo ? QMessageBox::No : QMessageBox::Cancel;
  QMessageBox box(QMessageBox::Question, q(caption), q(text), yes | no, owner_);
  box.setDefaultButton(yes);
  return box.exec() == yes;
}

void QtDialogs::warn(const std::string& caption, const std::string& text) {
  QMessageBox::warning(owner_, q(caption), q(text));
}

void QtDialogs::error(const std::string& caption, const std::string& text) {
  QMessageBox::critical(owner_, q(caption), q(text));
}

void QtDialogs::inform(const std::string& caption, const std::string& text) {
  QMessageBox::information(owner_, q(caption), q(text));
}

std::optional<std::string> QtDialogs::chooseFolder(const std::string& title, const std::string& start) {
  const QString folder = QFileDialog::getExistingDirectory(owner_, q(title), q(start));
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}

bool QtDialogs::runFileDialog(QFileDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

bool QtDialogs::openDocument(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(q(path)));
}

}  // namespace quillet::app
