#pragma once

// The call log's own state: what was logged and what is scripted to fail.
// Private to the call log and to the test control that inspects and scripts it.

#include <vector>

#include "platform/emu/common/call_log.h"

struct EmuFailure {
    EmuCallId id;
    int nth;
    int times;
    HRESULT result;
    int seen;
};

struct EmuCallLog {
    bool logging = false;
    std::vector<EmuCall> log;
    std::vector<EmuFailure> failures;
};

EmuCallLog& emu_call_log();
