#pragma once
// Message boxes answered from a script; every box asked for is recorded.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/dialogs.h"

namespace quillet::app::testing {

struct DialogCall {
  enum Kind { Confirm, Warn, Error, Inform };
  Kind kind;
  std::string caption;
  std::string text;
  Dialogs::Buttons buttons = Dialogs::Buttons::YesNo;
};

class ScriptedDialogs : public Dialogs {
 public:
  std::vector<DialogCall> calls;
  std::deque<bool> answers;  // for questions, in order; a question without an answer fails

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
};

}  // namespace quillet::app::testing
