// The kernel's debugger interface: `BexPlugin(kCodeDebugger, 0)` hands it out
// as its result (a pointer in the entry's pointer-sized result, see
// BexResult). Fifteen __stdcall slots and no virtual destructor, like every
// interface across the kernel's border. Corvalle calls only Enter and Leave,
// around each call into a kernel object.
#pragma once

#include <cstdint>

#include "protocol/bex_plugin.h"

struct IBexDebugger {
    virtual void BEX_CALL Reserved0() = 0;           // slot 0
    virtual uint32_t BEX_CALL Reserved1() = 0;       // slot 1
    virtual void BEX_CALL Enter(uint32_t scopeId) = 0;                    // slot 2
    virtual void BEX_CALL Leave(uint32_t scopeId, uint64_t elapsedTicks) = 0;  // slot 3
    virtual void BEX_CALL Reserved4() = 0;
    virtual void BEX_CALL Reserved5() = 0;
    virtual void BEX_CALL Reserved6() = 0;
    virtual void BEX_CALL Reserved7() = 0;
    virtual void BEX_CALL Reserved8() = 0;
    virtual void BEX_CALL Reserved9() = 0;
    virtual void BEX_CALL Reserved10() = 0;
    virtual void BEX_CALL Reserved11() = 0;
    virtual void BEX_CALL Reserved12() = 0;
    virtual void BEX_CALL Reserved13() = 0;
    virtual void BEX_CALL Reserved14() = 0;  // slot 14
};

// All fifteen slots do nothing; slot 1 answers 0. Corvalle's hook when the
// kernel gives none, and a base for recording ones.
class CBexDebuggerDummy : public IBexDebugger {
public:
    void BEX_CALL Reserved0() override {}
    uint32_t BEX_CALL Reserved1() override { return 0; }
    void BEX_CALL Enter(uint32_t) override {}
    void BEX_CALL Leave(uint32_t, uint64_t) override {}
    void BEX_CALL Reserved4() override {}
    void BEX_CALL Reserved5() override {}
    void BEX_CALL Reserved6() override {}
    void BEX_CALL Reserved7() override {}
    void BEX_CALL Reserved8() override {}
    void BEX_CALL Reserved9() override {}
    void BEX_CALL Reserved10() override {}
    void BEX_CALL Reserved11() override {}
    void BEX_CALL Reserved12() override {}
    void BEX_CALL Reserved13() override {}
    void BEX_CALL Reserved14() override {}
};

// The interface the entry answered kCodeDebugger with, or null.
inline IBexDebugger* DebuggerFromResult(protocol::BexResult result) {
    return reinterpret_cast<IBexDebugger*>(result);
}
