// The table of line slots a sub-driver keeps: which port each handle holds, whether it
// is initialised, and the line object. Handles are 1 to the table's size.
#pragma once

#include "base/port.h"
#include "linkor_status.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace linkor {

/// What every slot holds; a sub-driver may derive to keep more.
template <typename Line> struct LineSlot {
    unsigned port = 0;
    bool initialised = false;
    std::unique_ptr<Line> line;
};

template <typename Slot, int Count> class SlotTable {
  public:
    /// Port numbers from 1 to 255 have a name "COMn" the driver can hold.
    static constexpr unsigned kMaxPortNumber = 255;

    /// The outcome of claiming a slot: a handle, or 0 with the reason.
    struct Claim {
        int32_t handle = 0;
        int32_t refusal = LINKOR_OK;
    };

    bool inRange(int32_t handle) const { return handle >= 1 && handle <= Count; }
    Slot& operator[](int32_t handle) { return m_slots[static_cast<size_t>(handle - 1)]; }
    const Slot& operator[](int32_t handle) const {
        return m_slots[static_cast<size_t>(handle - 1)];
    }

    /// A free slot for port n ("COMn", whose number the caller has read from the port's
    /// name), given its new line built by `makeLine("COMn")`. Refused with 0x8001 for a
    /// port without a number or above 255, 0x8003 for a port a slot already holds, 0x8005
    /// when every slot is taken.
    template <typename MakeLine> Claim claim(std::optional<unsigned> number, MakeLine&& makeLine) {
        if (!number || *number > kMaxPortNumber) {
            return {0, LINKOR_BAD_LINE};
        }
        int32_t freeHandle = 0;
        for (int32_t h = 1; h <= Count; ++h) {
            const Slot& slot = (*this)[h];
            if (slot.line && slot.port == *number) {
                return {0, LINKOR_ALREADY_OPEN};
            }
            if (!slot.line && freeHandle == 0) {
                freeHandle = h;
            }
        }
        if (freeHandle == 0) {
            return {0, LINKOR_TOO_MANY_LINES};
        }
        char name[16];
        std::snprintf(name, sizeof name, "COM%u", *number);
        Slot& slot = (*this)[freeHandle];
        slot = Slot{};
        slot.port = *number;
        slot.line = makeLine(std::string(name));
        return {freeHandle, LINKOR_OK};
    }

    /// The usual checks of an operation on an initialised line: 0x8001, 0x8000, 0x800B.
    int32_t check(int32_t handle) const {
        if (!inRange(handle)) {
            return LINKOR_BAD_LINE;
        }
        if (!(*this)[handle].line) {
            return LINKOR_NO_OBJECT;
        }
        if (!(*this)[handle].initialised) {
            return LINKOR_NOT_INITIALISED;
        }
        return LINKOR_OK;
    }

    /// The checks of opening and closing, which need a line but not an initialised one.
    int32_t checkObject(int32_t handle) const {
        if (!inRange(handle)) {
            return LINKOR_BAD_LINE;
        }
        return (*this)[handle].line ? LINKOR_OK : LINKOR_NO_OBJECT;
    }

    /// Whether an initialised slot holds port `port`.
    bool holdsInitialised(unsigned port) const {
        for (const Slot& slot : m_slots) {
            if (slot.line && slot.initialised && slot.port == port) {
                return true;
            }
        }
        return false;
    }

    void release(int32_t handle) { (*this)[handle] = Slot{}; }

  private:
    std::array<Slot, Count> m_slots;
};

} // namespace linkor
