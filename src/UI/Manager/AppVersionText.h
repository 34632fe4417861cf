// The sidebar's version line: "kestr VERSION (BUILD)".
#pragma once

#include <QString>

namespace kestr {

QString appVersionText();

}  // namespace kestr
