#pragma once
// The program's message boxes behind one seam: the window shows them with QMessageBox,
// tests answer them from a script and record what was asked. Texts are UTF-8.
#include <string>

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
};

// Caption of the grids' own deletion prompt.
inline constexpr const char* kConfirmCaption = "Confirm";
inline constexpr const char* kDeleteRecordQuestion = "Delete record?";

}  // namespace quillet::app
