#include "UI/Manager/AppVersionText.h"

namespace kestr {

QString appVersionText() { return QStringLiteral("kestr — (—)"); }

}  // namespace kestr
