#include "module.h"
#include "trilo_module.h"

#include <stdexcept>

namespace kvsim {

std::unique_ptr<Module> makeModule(const ModuleSpec& spec) {
    switch (spec.family) {
    case Family::Trilo:
        return std::make_unique<TriloModule>(spec);
    case Family::MicroTrilo:
        return std::make_unique<MicroTriloModule>(spec);
    default:
        break;
    }
    throw std::runtime_error("family " + std::string(familyName(spec.family)) +
                             " is not emulated yet");
}

} // namespace kvsim
