#include <iostream>

#include "vendors/qlogic_component.h"

int main(int argc, char* argv[]) {
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
