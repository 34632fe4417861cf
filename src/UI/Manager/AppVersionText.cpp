#include "UI/Manager/AppVersionText.h"

namespace kestr {

QString appVersionAndBuild() { return QStringLiteral("— (—)"); }

QString appVersionText() { return QStringLiteral("kestr ") + appVersionAndBuild(); }

}  // namespace kestr
