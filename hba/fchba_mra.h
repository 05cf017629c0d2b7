// FcHbaMRA: walks the adapter table of the HBA API layer. Constructing it
// loads the HBA API libraries and counts their adapters once; each Get call
// creates, refreshes and locates the next adapter object, which then belongs
// to the caller. The libraries stay loaded when the enumerator goes.
#pragma once

#include <cstdint>

#include "fchba_adapter.h"

class FcHbaMRA {
public:
    FcHbaMRA();
    virtual ~FcHbaMRA();
    FcHbaMRA(const FcHbaMRA&) = delete;
    FcHbaMRA& operator=(const FcHbaMRA&) = delete;

    // The adapter at table index 0, or null when there is none. status: 0
    // read whole, 1 partly read, 2 no memory for the adapter (null).
    FcHbaAdapter* GetFirstAdapter(uint32_t* status);
    // The adapter after previous, or null; past the last, status is untouched.
    FcHbaAdapter* GetNextAdapter(const FcHbaAdapter* previous, uint32_t* status);

    uint32_t adapterCount;

private:
    static FcHbaAdapter* CreateAdapter(uint32_t index, uint32_t* status);
};
