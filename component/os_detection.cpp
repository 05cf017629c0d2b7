#include "base_cmp.h"

// Stand-in until the pattern engine exists: the distribution is not recorded.
int CBaseCmp::DetectOS() { return 0; }
