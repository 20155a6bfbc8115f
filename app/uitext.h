#pragma once
// The window's two kinds of text: entries of the message table, and handheld bytes shown
// decoded from the handheld's code page.
#include <QString>
#include <string>

#include "text/codepage.h"
#include "text/messages.h"

namespace quillet::app {

inline QString msg(int entry) { return QString::fromStdString(text::message(entry)); }
inline QString handheldText(const std::string& bytes) { return QString::fromStdString(text::cp1251ToUtf8(bytes)); }

}  // namespace quillet::app
