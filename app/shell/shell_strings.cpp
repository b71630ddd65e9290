#include "shell_strings.h"

#include <array>
#include <utility>

namespace tamsel::shell {

namespace {

// The texts are the program's own and must stay byte for byte as the users know them.
constexpr std::array<std::pair<int, const char*>, 20> kTable{{
    {1, "Tamsel2 is already running\nYou can reactive by OK\nor quit by cancel"},
    {2303, "Fatal Error\n\nBad Project file \nPlease check your installation\n\nTamsel2 will "
           "close"},
    {2309, "Tamsel2 is designed in 800*600 pixels resolution \nand 96dpi screen font size "
           "configuration\n\nWith your configuration it will not work properly\n\nYou can quit "
           "Tamsel2 and setup your display property"},
    {2310, "Fatal Error\n\nA file is missing or corrupted\n\nTamsel2 will close\nYou can try "
           "another installation"},
    {2312, "WARNING !!!!\n\nNo serial port found :\n Already in use or not available\n\n "
           "Tamsel2 will close"},
    {2314, "LINKOR product not install or corrupted !!!\nPlease install LINKOR product before "
           "using Tamsel2\n    -Quit Tamsel2\n    -Install LINKOR (see documentation)\n    "
           "-ReStart Tamsel2"},
    {2315, "\n  LINKOR.DLL is not the expected COMM DLL !?\n\n\nTamsel2 will close"},
    {2316, "LINKOR.DLL not found in Tamsel2 directory !!?\?\n\nTamsel2 will look for LINKOR "
           "product location,\nand use its version of DLL"},
    {2322, "The communication port use by Tamsel2 is %s \nThis port is not accessible ?!\nYou "
           "can :\n    __Select a another port (if possible)\n    __Correct and try again\n    "
           "__Quit Tamsel2"},
    {2323, "These COM ports were founded\nat Tamsel2 startup.If your \nCOM port is not "
           "listed\nplease quit and restart Tamsel2"},
    {2325, "Quit Tamsel2"},
    {2328, "Continue"},
    {2333, "Try again"},
    {2334, "Select Port"},
    {2335, "Select done"},
    {2338, "Checking Display Parameters"},
    {2339, "Checking Files"},
    {2341, "Checking Project file"},
    {2344, "Checking List of cards"},
    {2345, "Com port initialization"},
}};

constexpr std::array<std::pair<int, const char*>, 2> kMoreSteps{{
    {2347, "Comm DLL localize and access"},
    {2349, "Com port selection"},
}};

} // namespace

QString tableString(int id) {
    for (const auto& [number, text] : kTable) {
        if (number == id) {
            return QString::fromUtf8(text);
        }
    }
    for (const auto& [number, text] : kMoreSteps) {
        if (number == id) {
            return QString::fromUtf8(text);
        }
    }
    return {};
}

QString versionText() {
    return QStringLiteral("Version " TAMSEL2_VERSION);
}

} // namespace tamsel::shell
