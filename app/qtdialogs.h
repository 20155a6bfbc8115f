#pragma once
#include <QPointer>
#include <QWidget>

#include "app/dialogs.h"

namespace quillet::app {

// Message boxes over QMessageBox, owned by the given window while it exists.
class QtDialogs : public Dialogs {
 public:
  void setOwner(QWidget* owner) { owner_ = owner; }

  bool confirm(const std::string& caption, const std::string& text, Buttons buttons) override;
  void warn(const std::string& caption, const std::string& text) override;
  void error(const std::string& caption, const std::string& text) override;
  void inform(const std::string& caption, const std::string& text) override;
  std::optional<std::string> chooseFolder(const std::string& title, const std::string& start) override;
  bool runFileDialog(QFileDialog& dialog) override;
  bool openDocument(const std::string& path) override;

 private:
  QPointer<QWidget> owner_;
};

}  // namespace quillet::app
