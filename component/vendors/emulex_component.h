// EmulexComp::CComponent: Emulex adapters, found not through the HBA API
// but by the vendor kit's script in query mode, one output line per adapter.
// Each matched adapter has two items, "Firmware" and "Boot BIOS ROM".
#pragma once

#include <string>

#include "base_cmp.h"

namespace EmulexComp {

class CComponent : public CBaseCmp {
public:
    CComponent();
    ~CComponent() override;

    // Unpacks the kit and queries it; false only when the kit is not ready.
    bool Discover() override;
    // The text up to its first blank.
    std::wstring NormalizeVersion(std::wstring version) override;
    // Unpacks the kit archive in the working directory; always 0 (ready).
    int PrepareKit() override;
    int Flash() override;

    // "0" put in front until the text is four characters long.
    static std::string ZeroPad4(std::string text);
};

}  // namespace EmulexComp
