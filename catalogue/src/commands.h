// Service command texts of the families (address, baud rate, protocol,
// version, error) and the reference module name of a type's variable file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace modtyp {

// At most kCommandSize - 1 characters; the argument is cut to fit.
std::string serviceCommand(std::int32_t code, std::int32_t purpose, std::string_view argument);

} // namespace modtyp
