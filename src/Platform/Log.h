// The system log: one line at a time.
#pragma once

#include <string>

#include "Platform/PrintableText.h"

namespace kestr {

class Log {
public:
    virtual ~Log() = default;
    // Lines quote window titles and application names, which other programs choose: a
    // control or direction character in them is written as U+FFFD, so a line stays one
    // line and never drives the terminal that shows it.
    void line(const std::string& text) { write(PrintableText::of(text)); }

protected:
    virtual void write(const std::string& line) = 0;
};

}  // namespace kestr
