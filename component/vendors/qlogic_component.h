// QLogicComp::CComponent: QLogic adapters, whose firmware item is the boot
// BIOS (option ROM). The one variant the executable builds.
#pragma once

#include "base_cmp.h"

namespace QLogicComp {

class CComponent : public CBaseCmp {
public:
    CComponent();
    ~CComponent() override;
};

}  // namespace QLogicComp
