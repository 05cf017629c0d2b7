// The usage text exactly as the component prints it.
#pragma once

inline constexpr char kUsage[] =
    "TQXXXXXX.wbrun [options]\n"
    "    options\n"
    "    --------------------------\n"
    "    /f = Force the installation\n"
    "    /s = Execute silently\n"
    "    /d [path] = Perform self-discovery and output to [path]\n";
