// BrocadeComp::CComponent: Brocade adapters, found through the HBA API
// libraries, with one boot BIOS item each whose installed version is reduced
// to a dotted quad. Flashed by "./bcu" once for all adapters.
#pragma once

#include "base_cmp.h"

namespace BrocadeComp {

class CComponent : public CBaseCmp {
public:
    CComponent();
    ~CComponent() override;

    // The last dotted quad of digits in the text, or the text unchanged.
    std::wstring NormalizeVersion(std::wstring version) override;
    // One device per adapter found in the catalogue, named by its own identity.
    void BuildDeviceList() override;
    int Flash() override;
};

}  // namespace BrocadeComp
