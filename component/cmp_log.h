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

private:
    std::string path;
    bool quiet;
};
