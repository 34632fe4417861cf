// An environment made of given variables, for what reads the process's environment.
#pragma once

#include <map>
#include <string>

#include "Platform/Posix/UserEnvironment.h"

namespace kestr::test {

inline UserEnvironment::Variables environmentOf(std::map<std::string, std::string> variables) {
    return [variables = std::move(variables)](const std::string& name) -> std::optional<std::string> {
        auto it = variables.find(name);
        if (it == variables.end()) return std::nullopt;
        return it->second;
    };
}

}  // namespace kestr::test
