#include "Platform/Sim/SimLog.h"

#include <unistd.h>

namespace kestr {

void SimLog::line(const std::string& text) {
    lines_.push_back(text);
    if (echoToStderr) {
        const std::string out = text + "\n";
        [[maybe_unused]] auto n = ::write(2, out.data(), out.size());
    }
}

}  // namespace kestr
