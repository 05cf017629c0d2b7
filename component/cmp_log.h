// CCmpLog: the component's one log. Every message is echoed unchanged to
// standard output (unless quiet) and appended to /var/orbil/Component.log,
// which is opened and closed per message so that no file is held open while
// a flash engine writes to the same file. Nothing is added to a message.
#pragma once

#include <string>

class CCmpLog {
public:
    // Creates the log directory and touches the file; failures are ignored.
    CCmpLog();

    // Silences the console echo only; the file still receives everything.
    void SetQuiet(bool quiet);

    CCmpLog& operator<<(const std::string& text);
    CCmpLog& operator<<(int value);
    CCmpLog& operator<<(const std::wstring& text);

    // Appends line, which ends with a line feed, to the log file on a line
    // of its own, without echo: the reason a run ends when memory has run
    // out, written after the component is gone. It allocates nothing; when
    // the file cannot be opened nothing is written.
    static void AppendOwnLine(const char* line);

private:
    std::string path;
    bool quiet;
};
