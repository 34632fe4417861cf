#include "UI/Manager/AppVersionText.h"

#include "App/AppInfo.h"

namespace kestr {

QString appVersionAndBuild() {
    return QString::fromStdString(AppInfo::version()) + " (" + QString::fromStdString(AppInfo::build()) + ")";
}

QString appVersionText() { return QStringLiteral("kestr ") + appVersionAndBuild(); }

}  // namespace kestr
