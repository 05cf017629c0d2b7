// QLogicComp::CComponent: QLogic adapters, found through the HBA API
// libraries, whose one firmware item is the boot BIOS (option ROM). Flashed
// by "./zorvqlafwupdate" once for all adapters. The variant main builds.
#pragma once

#include "base_cmp.h"

namespace QLogicComp {

class CComponent : public CBaseCmp {
public:
    CComponent();
    ~CComponent() override;

    // Cut at the first blank, then drop the first "v.".
    std::wstring NormalizeVersion(std::wstring version) override;
    // One device per adapter found in the catalogue, named as the catalogue names it.
    void BuildDeviceList() override;
    int Flash() override;
    // An exact match (ignoring case) first, else a catalogue id containing the identity.
    int FindReferenceDevice(std::wstring identity) override;
};

}  // namespace QLogicComp
