#pragma once

// A COM object's reference count, shared by DirectDraw's objects: AddRef and
// Release logged as the calls they are, the object told when the last
// reference goes, and every object counted as live from its making until it is
// freed.

#include "platform/emu/common/calls.h"
#include "platform/emu/common/windows_types.h"

class EmuReferences {
   public:
    EmuReferences();
    virtual ~EmuReferences();

   protected:
    // The count after one more reference.
    ULONG add_reference(EmuCallId call, const char* name);
    // The count after one is given back; at the last, last_reference_gone(),
    // which may free the object. A count already at zero stays there.
    ULONG release_reference(EmuCallId call, const char* name);
    virtual void last_reference_gone() = 0;

    ULONG refs = 1;
};
