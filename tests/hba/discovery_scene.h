// The machine most discovery tests look at: two HBA API libraries listed in
// "/etc/hba.conf". The first is QLogic's management library itself and
// serves two adapters; the second is a plain Emulex HBA API library whose
// one adapter is completed from Emulex's management library at a fixed path.
// sysfs holds the first QLogic adapter and the Emulex adapter.
#pragma once

#include "fake_hba_world.h"

inline void LayTwoLibraryScene(const FakeHbaWorld& world) {
    world.InstallLibrary("/usr/lib/libqlsdm.so",
                         "adapter qlogic-QLE2562-0\n"
                         "node 20:00:00:e0:8b:1c:2d:3e\nport 21:00:00:e0:8b:1c:2d:3e\n"
                         "vendor-id 00000001\nsubsystem 015d1077\npci 0b 0 0\n"
                         "attr Model QLE2562\nattr OptionROMVersion 2.02  \n"
                         "attr FirmwareVersion 5.06.02\nattr DriverVersion 8.07.00.08-k\n"
                         "adapter qlogic-QLE2460-1\n"
                         "node 20:00:00:e0:8b:00:00:02\nport 21:00:00:e0:8b:00:00:02\n"
                         "subsystem 01331077\npci 0c 0 0\nattr Model QLE2460\n");
    const char emulex[] =
        "adapter Emulex-LPe12002-0\n"
        "node 20:00:00:00:c9:aa:bb:01\nport 10:00:00:00:c9:aa:bb:01\n"
        "vendor-id 0000f100\nsubsystem f10010df\npci 0e 1 0\n"
        "attr Model LPe12002\nattr OptionROMVersion 5.12a2\n";
    world.InstallLibrary("/usr/lib/libemhbaapi.so", emulex, FakeLibrary::ApiOnly);
    world.InstallLibrary("/usr/lib64/libemsdm.so", emulex, FakeLibrary::ExtensionOnly);
    world.WriteHbaConf(
        "# HBA API libraries\n"
        "qla2xxx\t/usr/lib/libqlsdm.so\n"
        "lpfc /usr/lib/libemhbaapi.so\n");
    world.AddPciDevice("devices/pci0000:00/0000:00:03.0", 0x8086, 0x3c08, 0x1028, 0x04f8);
    world.AddPciDevice("devices/pci0000:00/0000:00:03.0/0000:0b:00.0", 0x1077, 0x2532, 0x1077, 0x015d);
    world.AddPciDevice("devices/pci0000:00/0000:00:1c.0/0000:0e:00.1", 0x10df, 0xf100, 0x10df, 0xf100);
}
