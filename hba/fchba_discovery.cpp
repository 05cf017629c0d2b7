#include "fchba_discovery.h"

// Stand-in until the HBA API layer exists: no adapter is ever found.
void FcHbaDiscovery::Discover() {}
