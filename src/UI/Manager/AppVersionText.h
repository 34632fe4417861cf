// The program's version texts: "kestr VERSION (BUILD)" for the sidebar and the status
// menu, "VERSION (BUILD)" for the settings page. The start-up hands the version and the
// build down (setAppVersion); until it does, both are "—".
#pragma once

#include <QString>
#include <string>

namespace kestr {

void setAppVersion(const std::string& version, const std::string& build);
QString appVersionText();
QString appVersionAndBuild();

}  // namespace kestr
