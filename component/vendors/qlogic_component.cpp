#include "qlogic_component.h"

namespace QLogicComp {

CComponent::CComponent() = default;
CComponent::~CComponent() = default;

}  // namespace QLogicComp
