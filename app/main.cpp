// Quillet Desktop: the desktop side of the Quillet personal-finance handheld application.
#include <QApplication>

#include "app/icons.h"
#include "app/program.h"
#include "app/qtdialogs.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("quillet-desktop"));
  QApplication::setWindowIcon(quillet::app::ProgramIcon());
  quillet::app::QtDialogs dialogs;
  quillet::app::Environment environment;
  environment.dialogs = &dialogs;
  quillet::app::QuilletProgram program(environment);
  return program.Run(application);
}
