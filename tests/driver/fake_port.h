// The driver's tests script their port with the one fake port of the test support.
#pragma once

#include "support/fake_port.h"
