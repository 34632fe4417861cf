#include "Platform/Sim/SimLog.h"

namespace kestr {

void SimLog::write(const std::string& text) {
    lines_.push_back(text);
    if (forwardTo) forwardTo->line(text);
}

}  // namespace kestr
