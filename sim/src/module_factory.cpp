#include "frame_module.h"
#include "jbus_slave.h"
#include "module.h"
#include "text_module.h"
#include "trilo_module.h"

#include <stdexcept>

namespace kvsim {

std::unique_ptr<Module> makeModule(const ModuleSetup& setup) {
    switch (setup.family) {
    case Family::Trilo:
        return std::make_unique<TriloModule>(setup);
    case Family::MicroTrilo:
        return std::make_unique<MicroTriloModule>(setup);
    case Family::Vrx17:
    case Family::Dvrx:
        return std::make_unique<TextModule>(setup);
    case Family::Vrx23:
    case Family::Vrx34:
        return std::make_unique<FrameModule>(setup);
    case Family::Jbus:
        return std::make_unique<JbusSlave>(setup);
    }
    throw std::logic_error("unknown module family");
}

} // namespace kvsim
