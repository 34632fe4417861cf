// The program's version texts: "kestr VERSION (BUILD)" for the sidebar, "VERSION (BUILD)"
// for the settings page.
#pragma once

#include <QString>

namespace kestr {

QString appVersionText();
QString appVersionAndBuild();

}  // namespace kestr
