#include "UI/Manager/AppVersionText.h"

namespace kestr {

namespace {
QString& versionAndBuild() {
    static QString text = QStringLiteral("— (—)");
    return text;
}
}  // namespace

void setAppVersion(const std::string& version, const std::string& build) {
    versionAndBuild() = QString::fromStdString(version) + " (" + QString::fromStdString(build) + ")";
}

QString appVersionAndBuild() { return versionAndBuild(); }

QString appVersionText() { return QStringLiteral("kestr ") + appVersionAndBuild(); }

}  // namespace kestr
