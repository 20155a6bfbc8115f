#pragma once
// Message boxes answered from a script; every box asked for is recorded.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs.h"

namespace quillet::app::testing {

struct DialogCall {
  enum Kind { Confirm, Warn, Error, Inform, ChooseFolder, FileDialog, OpenDocument };
  Kind kind;
  std::string caption;
  std::string text;
  Dialogs::Buttons buttons = Dialogs::Buttons::YesNo;
};

class ScriptedDialogs : public Dialogs {
 public:
  std::vector<DialogCall> calls;
  std::deque<bool> answers;  // for questions, in order; a question without an answer fails
  // Folder dialogs' answers in order (nothing: cancelled); a folder dialog without one fails.
  std::deque<std::optional<std::string>> folders;
  // Fills and answers a file dialog (select a file and a type, return true to accept);
  // without it a file dialog fails.
  std::function<bool(QFileDialog&)> fileDialog;
  // What opening a document answers.
  bool openDocumentResult = true;

  bool confirm(const std::string& caption, const std::string& text, Buttons buttons) override {
    calls.push_back({DialogCall::Confirm, caption, text, buttons});
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question: " << text;
      return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void warn(const std::string& caption, const std::string& text) override {
    calls.push_back({DialogCall::Warn, caption, text});
  }
  void error(const std::string& caption, const std::string& text) override {
    calls.push_back({DialogCall::Error, caption, text});
  }
  void inform(const std::string& caption, const std::string& text) override {
    calls.push_back({DialogCall::Inform, caption, text});
  }
  // caption: the title; text: the starting folder.
  std::optional<std::string> chooseFolder(const std::string& title, const std::string& start) override {
    calls.push_back({DialogCall::ChooseFolder, title, start});
    if (folders.empty()) {
      ADD_FAILURE() << "unexpected folder dialog: " << title;
      return std::nullopt;
    }
    std::optional<std::string> answer = folders.front();
    folders.pop_front();
    return answer;
  }
  bool runFileDialog(QFileDialog& dialog) override {
    calls.push_back({DialogCall::FileDialog, {}, {}});
    if (!fileDialog) {
      ADD_FAILURE() << "unexpected file dialog";
      return false;
    }
    return fileDialog(dialog);
  }
  // text: the path.
  bool openDocument(const std::string& path) override {
    calls.push_back({DialogCall::OpenDocument, {}, path});
    return openDocumentResult;
  }
};

}  // namespace quillet::app::testing
