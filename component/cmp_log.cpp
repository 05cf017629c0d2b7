#include "cmp_log.h"

#include <fstream>
#include <iostream>
#include <string>

#include "shell_command.h"
#include "text_conversion.h"

CCmpLog::CCmpLog() : path("/var/orbil/Component.log"), quiet(false) {
    // A log that cannot be made (no write permission, say) stops nothing:
    // every message then reports the file it could not open.
    RunCommand("mkdir -p /var/orbil");
    RunCommand("touch /var/orbil/Component.log");
}

void CCmpLog::SetQuiet(bool q) { quiet = q; }

CCmpLog& CCmpLog::operator<<(const std::string& text) {
    if (!quiet) std::cout << text;
    std::ofstream file(path, std::ios::app);
    if (!file) std::cout << "ERROR : Unable to write to log file" << std::endl;
    file << text;
    return *this;
}

CCmpLog& CCmpLog::operator<<(int value) { return *this << std::to_string(value); }

// Wide messages are narrowed by the system's low-byte rule and logged as
// narrow text: a wide write to a byte-oriented standard output would be lost.
CCmpLog& CCmpLog::operator<<(const std::wstring& text) { return *this << NarrowLowBytes(text); }
