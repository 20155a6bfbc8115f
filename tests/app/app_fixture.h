#pragma once
// Each test runs the program in a home of its own: HOME, XDG_CONFIG_HOME and XDG_DATA_HOME
// point into a fresh temporary folder, so settings and the default store start absent.
#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <ostream>
#include <memory>
#include <string>

#include "app/program.h"
#include "app/settings.h"
#include "scripted_dialogs.h"
#include "text/messages.h"
#include "tests/support/temp_store.h"

struct sqlite3;

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace quillet::app::testing {

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the program as main() does, up to the shown window.
  QuilletProgram& Start();
  // Closes the window as its close button does, then shuts the program down.
  void Stop();

  std::string StorePath() const;
  std::string SettingsFile() const { return SettingsKey::FileOf(kProgramSettingsKey); }
  // A store at the default path with the twelve empty tables, then filled by SQL.
  void MakeStore(const std::string& sql = "");
  // Runs SQL on the default store while the program is not running.
  void ExecOnStore(const std::string& sql);
  // Integer result of a one-value query on the default store.
  long long QueryStore(const std::string& sql);

  // The values a settings file holds, as written by the settings store.
  SettingsKey::Values StoredValues() const { return SettingsKey::Parse(ReadFileBytes(SettingsFile())); }
  void WriteSettings(const SettingsKey::Values& values) const;

  TMainForm& Form() const { return *program_->MainForm(); }
  TDM& Dm() const { return *program_->DataModule(); }
  std::vector<DialogCall> Errors() const;

  std::unique_ptr<quillet::fixture::TempDir> home_;
  ScriptedDialogs dialogs_;
  bool shiftAtStart_ = false;
  bool shiftAtExit_ = false;
  bool stopping_ = false;
  std::unique_ptr<QuilletProgram> program_;
};

// The current text of a message-table entry.
inline QString Msg(int entry) { return QString::fromStdString(text::message(entry)); }

// Settings values in the file's form.
SettingsKey::Value Dword(std::uint32_t v);
SettingsKey::Value Sz(const std::string& s);
SettingsKey::Value Binary(const std::vector<std::uint8_t>& bytes);

}  // namespace quillet::app::testing
