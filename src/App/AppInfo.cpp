#include "App/AppInfo.h"

#include "AppInfoConfig.h"

namespace kestr {

namespace {
std::string orDash(const char* value) { return value && *value ? value : "—"; }
}  // namespace

std::string AppInfo::version() { return orDash(KESTR_VERSION); }

std::string AppInfo::build() { return orDash(KESTR_BUILD); }

}  // namespace kestr
