#pragma once
// Every designed text of the main window's controls in one table: captions, hints, item
// lists, column titles and dialog texts, addressed by the control's objectName. The window
// applies the table while it is built; another text set is applied the same way.
#include <span>

#include <QString>

class QObject;

namespace quillet::app {

enum class TextRole {
  Caption,         // menu, menu item, page, label, group box, button, check box
  Hint,            // tool tip
  Items,           // item list of a combo box or radio group, items separated by '\n'
  NavigatorHints,  // the ten navigator hints, '\n'-separated: first, prior, next, last,
                   // insert, delete, edit, post, cancel, refresh
  ColumnTitle,     // title of the first column of a grid bound to the field named by key
  Text,            // text of an edit field
  DialogTitle,     // window title of a dialog
  FileTypes,       // file dialog types: description|pattern pairs separated by '|'
};

struct ControlText {
  const char* control;  // objectName
  TextRole role;
  const char* key;      // field name for ColumnTitle, else nullptr
  const char* english;  // UTF-8
};

// The designed (English) texts, in the order the window applies them.
std::span<const ControlText> DesignedControlTexts();

// The Russian texts of the controls, in the order Language1Click applies them; the table's
// "english" member holds the Russian text here. Controls without a Russian text keep theirs.
std::span<const ControlText> RussianControlTexts();

// The Russian text of one control, or an empty text when the Russian set has none.
QString RussianText(const char* control, TextRole role, const char* key = nullptr);

// The designed text of one control, or an empty text when the table has none.
QString DesignedText(const char* control, TextRole role, const char* key = nullptr);

// Applies the texts to the controls found below root by objectName; controls that are not
// found are passed over. Combo boxes keep their item index.
void ApplyControlTexts(QObject* root, std::span<const ControlText> texts);

// "Text (.txt) files|*.txt|..." as the name filters of a QFileDialog.
QStringList FileDialogFilters(const QString& fileTypes);

}  // namespace quillet::app
