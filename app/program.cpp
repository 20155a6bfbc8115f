#include "app/program.h"

#include <QApplication>

#include "store/paths.h"

namespace quillet::app {

QuilletProgram::QuilletProgram(Environment environment) : env_(std::move(environment)) {
  if (!env_.dialogs) throw std::invalid_argument("QuilletProgram needs its dialogs");
}

QuilletProgram::~QuilletProgram() {
  try {
    Shutdown();
  } catch (...) {
  }
}

const QString& QuilletProgram::ApplicationTitle() const {
  return mainForm_ ? mainForm_->ApplicationTitle : emptyTitle_;
}

void QuilletProgram::showError(const std::exception& error) {
  if (mainForm_)
    mainForm_->ShowException(error);
  else
    env_.dialogs->error(ApplicationTitle().toStdString(), error.what());
}

void QuilletProgram::Start() {
  mainForm_ = std::make_unique<TMainForm>(env_);
  dm_ = std::make_unique<TDM>(*mainForm_, DefaultStorePath(), mainForm_->ProgramFolder.toStdString());
  // The grids and filter controls follow the data module's views from their opening on.
  mainForm_->ConnectDataModule(*dm_);
  try {
    dm_->DataModuleCreate();
  } catch (const std::exception& e) {
    showError(e);  // the program goes on with what opened
  }
  mainForm_->show();
}

void QuilletProgram::Shutdown() {
  if (dm_) {
    try {
      dm_->DataModuleDestroy();
    } catch (const std::exception& e) {
      showError(e);
    }
    if (mainForm_) mainForm_->DisconnectDataModule();
    dm_.reset();
  }
  mainForm_.reset();
}

int QuilletProgram::Run(QApplication& application) {
  try {
    Start();
    application.exec();
  } catch (const std::exception& e) {
    showError(e);
  }
  try {
    Shutdown();
  } catch (const std::exception& e) {
    showError(e);
  }
  return 0;
}

}  // namespace quillet::app
