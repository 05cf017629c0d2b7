// Pieces that catalogue texts of the tests are made of.
#pragma once

#include <string>

inline std::string Repeated(const std::string& text, int count) {
    std::string repeated;
    for (int i = 0; i < count; ++i) repeated += text;
    return repeated;
}

// An internal entity declaration.
inline std::string Entity(const std::string& name, const std::string& text) {
    return "<!ENTITY " + name + " \"" + text + "\">";
}
