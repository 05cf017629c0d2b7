#include <sys/stat.h>

#include "base_cmp.h"
#include "pattern.h"
#include "shell_command.h"

namespace {

struct Release {
    const char* pattern;
    const wchar_t* name;
};

const Release kRedHat[] = {
    {"Red Hat Enterprise Linux.*release 4.*", L"rhel4"},
    {"Red Hat Enterprise Linux.*release 5.*", L"rhel5"},
    {"Red Hat Enterprise Linux.*release 6.*", L"rhel6"},
};
const Release kSuse[] = {
    {"SUSE Linux Enterprise Server 10.*", L"sles10"},
    {"SUSE Linux Enterprise Server 11.*", L"sles11"},
};

bool Exists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0;
}

template <size_t N>
std::wstring Recognise(const std::string& text, const Release (&releases)[N]) {
    for (const Release& r : releases)
        if (Pattern::matches(r.pattern, text, Pattern::DOT_ALL | Pattern::MULTI_LINE)) return r.name;
    return L"";
}

}  // namespace

int CBaseCmp::DetectOS() {
    // The Red Hat file alone decides when it exists.
    if (Exists("/etc/redhat-release"))
        discovery.osName = Recognise(ExecuteCommand("cat /etc/redhat-release"), kRedHat);
    else if (Exists("/etc/SuSE-release"))
        discovery.osName = Recognise(ExecuteCommand("cat /etc/SuSE-release"), kSuse);
    return 0;
}
