#pragma once
// The program's own pictures, drawn rather than shipped: the program icon and the one set of
// navigator buttons, so they look alike at every size and in every style.
#include <QIcon>

namespace quillet::app {

// A green ledger page with a quill stroke; drawn at the common icon sizes.
QIcon ProgramIcon();

// The navigator's pictures, in button order: first, prior, next, last, refresh.
enum class NavigatorPicture { First, Prior, Next, Last, Refresh };
QIcon NavigatorIcon(NavigatorPicture picture);

}  // namespace quillet::app
