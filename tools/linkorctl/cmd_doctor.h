// linkorctl doctor: every serial device and every port of the port map, with why it can
// or cannot be used and what to do about it.
#pragma once

#include "commands.h"

namespace linkorctl {

int runDoctor(const Invocation& call);

} // namespace linkorctl
