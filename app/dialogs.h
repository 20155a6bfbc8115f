#pragma once
// The program's message boxes, file dialogs and document opening behind one seam: the
// window shows them with Qt, tests answer them from a script and record what was asked.
// Texts are UTF-8.
#include <optional>
#include <string>

class QFileDialog;

namespace quillet::app {

class Dialogs {
 public:
  enum class Buttons { YesNo, OkCancel };

  virtual ~Dialogs() = default;
  // A question; true only for Yes (OK). Question icon.
  virtual bool confirm(const std::string& caption, const std::string& text, Buttons buttons) = 0;
  // OK boxes with the warning, error and information icons.
  virtual void warn(const std::string& caption, const std::string& text) = 0;
  virtual void error(const std::string& caption, const std::string& text) = 0;
  virtual void inform(const std::string& caption, const std::string& text) = 0;
  // The platform's folder dialog with the title, starting at the folder; nothing when cancelled.
  virtual std::optional<std::string> chooseFolder(const std::string& title, const std::string& start) = 0;
  // Runs a prepared file dialog modally; true when the user accepted it.
  virtual bool runFileDialog(QFileDialog& dialog) = 0;
  // Opens a document with the desktop's default application; false when that failed.
  virtual bool openDocument(const std::string& path) = 0;
};

// Caption of the grids' own deletion prompt.
inline constexpr const char* kConfirmCaption = "Confirm";
inline constexpr const char* kDeleteRecordQuestion = "Delete record?";

}  // namespace quillet::app
