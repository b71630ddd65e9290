// One hexadecimal digit of a text the modules or the callers wrote, in either case.
#pragma once

namespace linkor {

/// The value of a hexadecimal digit, or -1.
constexpr int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace linkor
