#include "base_cmp.h"

CBaseCmp::CBaseCmp() : silent(false), discoverOnly(false), force(false) {}

CBaseCmp::~CBaseCmp() = default;

std::wstring CBaseCmp::NormalizeVersion(std::wstring version) { return version; }

void CBaseCmp::BuildDeviceList() {}

int CBaseCmp::PrepareKit() { return 0; }

int CBaseCmp::Flash() { return 0; }
