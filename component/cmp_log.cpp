#include "cmp_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "shell_command.h"
#include "text_conversion.h"

static const char kLogPath[] = "/var/orbil/Component.log";

CCmpLog::CCmpLog() : path(kLogPath), quiet(false) {
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

// True when the file's last byte is not a line feed; an empty or unreadable
// file ends no line. A FIFO in the log's place, read by someone, must not
// hold the open for a writer that never comes.
static bool EndsMidLine(const char* file) {
    const int fd = open(file, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    char last = '\n';
    const off_t size = lseek(fd, 0, SEEK_END);
    if (size > 0 && pread(fd, &last, 1, size - 1) != 1) last = '\n';
    close(fd);
    return last != '\n';
}

static void WriteAll(int fd, const char* text, size_t length) {
    while (length > 0) {
        const ssize_t written = write(fd, text, length);
        if (written <= 0) return;
        text += written;
        length -= static_cast<size_t>(written);
    }
}

void CCmpLog::AppendOwnLine(const char* line) {
    const bool midLine = EndsMidLine(kLogPath);
    const int fd = open(kLogPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return;
    if (midLine) WriteAll(fd, "\n", 1);
    WriteAll(fd, line, std::strlen(line));
    close(fd);
}
