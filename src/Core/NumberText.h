// Numbers as text in log lines and diagnostic output.
#pragma once

#include <string>

namespace kestr {

// The shortest text that reads back as the same double, always with a fractional part
// for whole numbers ("1512.0", "0.5", "-36.25"); "nan", "inf" and "-inf" otherwise.
std::string floatText(double value);

}  // namespace kestr
