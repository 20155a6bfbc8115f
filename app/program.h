#pragma once
// The program's course in time: the main window, then the data module, the message loop,
// and both taken down newest first.
#include <memory>

#include "app/mainform.h"

class QApplication;

namespace quillet::app {

class QuilletProgram {
 public:
  explicit QuilletProgram(Environment environment);
  // Shuts down what Start() brought up, if Shutdown() has not.
  ~QuilletProgram();
  QuilletProgram(const QuilletProgram&) = delete;
  QuilletProgram& operator=(const QuilletProgram&) = delete;

  // Creates the main window (construction and FormCreate) and the data module over the
  // default store (DataModuleCreate; its error is shown and the program goes on), then shows
  // the window (FormShow).
  void Start();
  // Destroys the data module (DataModuleDestroy; its error is shown) while the window still
  // exists, then the window (FormDestroy).
  void Shutdown();
  // Start, the message loop, Shutdown. An error escaping them is shown; the result is 0.
  int Run(QApplication& application);

  TMainForm* MainForm() const { return mainForm_.get(); }
  TDM* DataModule() const { return dm_.get(); }
  const QString& ApplicationTitle() const;

 private:
  void showError(const std::exception& error);

  Environment env_;
  QString emptyTitle_;
  std::unique_ptr<TMainForm> mainForm_;
  std::unique_ptr<TDM> dm_;
};

}  // namespace quillet::app
