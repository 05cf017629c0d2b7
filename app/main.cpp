#include <cstdio>
#include <iostream>
#include <new>

#include "cmp_log.h"
#include "vendors/qlogic_component.h"

namespace {

int RunComponent(int argc, char* argv[]) {
    QLogicComp::CComponent component;  // creates the log directory and file first
    switch (component.ParseCommandLine(argc, argv)) {
    case 0:
        std::cout << "ERROR! : Failed to parse command line" << std::endl;
        return 7;
    case 2:
        return 3;
    default:
        return component.Run();
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    try {
        return RunComponent(argc, argv);
    } catch (const std::bad_alloc&) {
        // A run that ran out of memory could not be made: 7, a status the
        // update manager knows, not the abort's 134. What standard output
        // holds goes out before the reason, in the order the run wrote them;
        // the log the update manager collects gets the reason too.
        static const char kReason[] = "ERROR! : Memory ran out; the run could not be made.\n";
        std::cout.flush();
        std::fputs(kReason, stderr);
        CCmpLog::AppendOwnLine(kReason);
        return 7;
    }
}
