#include "Platform/Sim/SimLog.h"

namespace kestr {

void SimLog::line(const std::string& text) {
    lines_.push_back(text);
    if (forwardTo) forwardTo->line(text);
}

}  // namespace kestr
