// A tray that draws the status item's menu over D-Bus reads each entry's keys by the
// desktop's own key names ("BackSpace", "equal", "Page_Up"); Qt sends its own names
// ("Backspace", "=", "PgUp"), and an entry whose key the tray cannot read shows no keys.
#pragma once

#include <QString>

namespace kestr {

// The name the desktop knows a key by, for Qt's portable name of it.
QString desktopKeyName(const QString& qtName);

}  // namespace kestr
