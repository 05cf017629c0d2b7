#include <cstring>
#include <iostream>

#include "base_cmp.h"

int CBaseCmp::ParseCommandLine(int argc, const char* const argv[]) {
    // Index 0 is examined like any word, and so is the word after "/d".
    for (int i = 0; i < argc; ++i) {
        const char* word = argv[i];
        if (!std::strcmp(word, "/s") || !std::strcmp(word, "-s")) {
            silent = true;
            log.SetQuiet(true);
        } else if (!std::strcmp(word, "/f") || !std::strcmp(word, "-f")) {
            force = true;
        } else if (!std::strcmp(word, "/h") || !std::strcmp(word, "-h")) {
            PrintUsage();
            return 2;
        } else if (!std::strcmp(word, "/d") || !std::strcmp(word, "-d")) {
            discoverOnly = true;
            if (i + 1 >= argc) {
                PrintUsage();
                return 0;
            }
            discoveryXmlPath = argv[i + 1];
        }
    }
    return 1;
}

void CBaseCmp::PrintUsage() {
    std::cout << "TQXXXXXX.wbrun [options]" << std::endl
              << "    options" << std::endl
              << "    --------------------------" << std::endl
              << "    /f = Force the installation" << std::endl
              << "    /s = Execute silently" << std::endl
              << "    /d [path] = Perform self-discovery and output to [path]" << std::endl;
}
