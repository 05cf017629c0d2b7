#include "fchba_mra.h"

#include <new>

#include "hba_api.h"

FcHbaMRA::FcHbaMRA() : adapterCount(HBA_LoadLibrary() == HBA_STATUS_OK ? HBA_GetNumberOfAdapters() : 0) {}

FcHbaMRA::~FcHbaMRA() = default;

FcHbaAdapter* FcHbaMRA::GetFirstAdapter(uint32_t* status) {
    *status = 0;
    if (adapterCount == 0) return nullptr;
    return CreateAdapter(0, status);
}

FcHbaAdapter* FcHbaMRA::GetNextAdapter(const FcHbaAdapter* previous, uint32_t* status) {
    const uint32_t next = previous->index + 1;
    if (next >= adapterCount) return nullptr;
    return CreateAdapter(next, status);
}

FcHbaAdapter* FcHbaMRA::CreateAdapter(uint32_t index, uint32_t* status) {
    FcHbaAdapter* adapter;
    try {
        adapter = new FcHbaAdapter;
    } catch (const std::bad_alloc&) {
        *status = 2;
        return nullptr;
    }
    adapter->index = index;
    *status = adapter->Refresh();
    adapter->LocatePciDevice();
    return adapter;
}
