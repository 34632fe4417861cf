#include "Platform/Posix/SystemClock.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace kestr {

double SystemClock::now() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

int SystemClock::localOffsetSeconds(double at) {
    const auto seconds = static_cast<std::time_t>(std::floor(at));
    std::tm local{};
    if (!localtime_r(&seconds, &local)) return 0;
    return static_cast<int>(local.tm_gmtoff);
}

}  // namespace kestr
