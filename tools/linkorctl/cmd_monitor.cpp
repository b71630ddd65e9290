// One module's status over time, read with its family's command set as the monitoring
// window's poll entry reads it.
#include "commands.h"
#include "errors.h"
#include "identity.h"
#include "interrupt.h"
#include "line_options.h"
#include "modtyp.h"
#include "output.h"
#include "port_loss.h"
#include <comm/read_commands.h>
#include <comm/texts.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>

namespace linkorctl {

namespace {

constexpr int kLastAddress = 63;
constexpr long kLongestInterval = 24L * 3600 * 1000;
constexpr int32_t kLastTypeCode = 0xFFFF;
constexpr const char* kNoRead = "QX";
constexpr auto kShortestRetry = std::chrono::milliseconds(100);
constexpr auto kLongestRetry = std::chrono::milliseconds(1000);

std::string timeStamp(std::chrono::system_clock::time_point t) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()) %
                    std::chrono::seconds(1);
    std::tm local{};
    localtime_r(&seconds, &local);
    char date[32];
    char zone[8];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    std::strftime(zone, sizeof zone, "%z", &local);
    return tkv::text::format("%s.%03d%s", date, static_cast<int>(ms.count()), zone);
}

bool knownFamily(int32_t code) {
    const int32_t family = tkv::familyOf(code);
    return family != 0x00 && family != 0xFF;
}

/// A type code, or the first code whose catalogue name is the one given.
int32_t typeCodeOf(const std::string& given) {
    if (!given.empty() && std::isdigit(static_cast<unsigned char>(given[0])) != 0) {
        return static_cast<int32_t>(parseNumber(given, 0, kLastTypeCode, "--type"));
    }
    char name[32] = "";
    for (int32_t code = 0; code <= kLastTypeCode; ++code) {
        if (knownFamily(code) && given == GetTypeName(code, name)) {
            return code;
        }
    }
    throw UsageError("the catalogue has no type named '" + given +
                     "'; give its name as scan shows it, or its code as 0x0205");
}

/// The module's type as its identity decodes.
int32_t identify(DriverSession& session, int address) {
    tkv::TagFreeText r;
    r.mode = tkv::kFreeTextAsTyped;
    tkv::text::copy(r.text, tkv::text::format("%02dRV", address));
    if (!session.comm().sendFreeText(r)) {
        throw LineError(tkv::text::format("module %02d does not tell its identity: ", address) +
                        session.failure(r.status));
    }
    const std::string reply(tkv::text::view(r.reply));
    const DecodedIdentity id = decodeIdentity(reply);
    if (!knownFamily(id.code)) {
        throw LineError("the identity \"" + reply + "\" decodes to no known type; give --type");
    }
    return id.code;
}

void printHeader(bool csv) {
    if (csv) {
        printLine("time,position,power,moving,inputs,outputs,error");
    }
}

void printRead(bool json, bool csv, int address, const std::string& time, const tkv::TagStatus& s) {
    const bool powerKnown = s.power != tkv::kPowerUnknown;
    const bool powerOn = s.power == tkv::kPowerOn;
    if (json) {
        JsonObject o;
        o.text("time", time).number("address", address).number("position", s.position);
        if (powerKnown) {
            o.boolean("power", powerOn);
        } else {
            o.null("power");
        }
        printLine(o.boolean("moving", s.moving != 0)
                      .number("inputs", s.inputs)
                      .number("outputs", s.outputs)
                      .number("error", s.errorCode)
                      .str());
    } else if (csv) {
        printLine(tkv::text::format("%s,%d,%s,%d,%d,%d,%d", time.c_str(), s.position,
                                    powerKnown ? (powerOn ? "1" : "0") : "", s.moving, s.inputs,
                                    s.outputs, s.errorCode));
    } else {
        printLine(tkv::text::format(
            "%s  position %d  power %s  moving %s  inputs 0x%02X  outputs 0x%02X  error %d",
            time.c_str(), s.position, powerKnown ? (powerOn ? "on" : "off") : "?",
            s.moving != 0 ? "yes" : "no", static_cast<unsigned>(s.inputs),
            static_cast<unsigned>(s.outputs), s.errorCode));
    }
}

/// One pass of the entry: every sub-read of the family. The status of the first that fails.
int32_t readStatus(DriverSession& session, tkv::TagRequest& r) {
    const int32_t count = tkv::cmdset::repeatCount(r.kind, r.typeCode);
    for (int32_t sub = count == 0 ? 0 : 1; sub <= count; ++sub) {
        if (count > 0) {
            r.subIndex = sub;
        }
        if (!session.comm().readRequest(r)) {
            return r.status;
        }
    }
    return tkv::kStatusOk;
}

} // namespace

int runMonitor(const Invocation& call) {
    GlobalOptions g;
    const auto options = withLineOptions({{"address", true},
                                          {"type", true},
                                          {"interval", true},
                                          {"count", true},
                                          {"csv", false},
                                          {"keep-going", false}});
    const Arguments a = parseFor(call, options, g);
    if (!a.operands().empty()) {
        throw UsageError("unexpected operand '" + a.operands()[0] + "'");
    }
    if (!a.has("address")) {
        throw UsageError("monitor needs the module's --address N");
    }
    if (g.json && a.has("csv")) {
        throw UsageError("--json and --csv exclude each other");
    }
    const int address =
        static_cast<int>(parseNumber(*a.value("address"), 0, kLastAddress, "--address"));
    const auto interval = std::chrono::milliseconds(
        parseNumber(a.value("interval").value_or("1000"), 0, kLongestInterval, "--interval"));
    const long count = a.has("count") ? parseNumber(*a.value("count"), 1, 1L << 30, "--count") : -1;
    std::optional<int32_t> given;
    if (const auto t = a.value("type")) {
        given = typeCodeOf(*t);
    }

    catchInterrupts();
    DriverSession session(g);
    const LineSetting setting = lineSetting(a, session.config());
    session.connect(setting);
    const int32_t code = given ? *given : identify(session, address);

    tkv::TagStatus status;
    tkv::TagRequest r;
    r.kind = tkv::kKindStatus;
    r.data = &status;
    r.address = address;
    r.typeCode = code;
    r.subIndex = tkv::cmdset::repeatCount(r.kind, code) > 0 ? 1 : 0;
    if (tkv::cmdset::readCommand(r) == kNoRead) {
        char name[32] = "";
        throw LineError(tkv::text::format("type 0x%04X (%s) has no status read", code & 0xFFFF,
                                          GetTypeName(code, name)));
    }

    printHeader(a.has("csv"));
    const bool keepGoing = a.has("keep-going");
    // While the port is away it is tried again at the pace of the reads, but neither
    // flat out nor so seldom that its return goes unseen for long.
    const auto retry = std::clamp(interval, kShortestRetry, kLongestRetry);
    bool allOk = true;
    bool away = false;
    auto next = std::chrono::steady_clock::now();
    for (long n = 0; (count < 0 || n < count) && !interrupted();) {
        if (n > 0 || away) {
            next += away ? retry : interval;
            const auto wait = next - std::chrono::steady_clock::now();
            if (wait.count() > 0 &&
                !pause(std::chrono::duration_cast<std::chrono::milliseconds>(wait))) {
                break;
            }
        }
        const std::string time = timeStamp(std::chrono::system_clock::now());
        if (away) {
            if (!session.reopen(setting)) {
                continue;
            }
            away = false;
            next = std::chrono::steady_clock::now();
            printError(time + ": port " + setting.port + " is back: reading again");
        }
        ++n;
        const int32_t s = readStatus(session, r);
        if (s == tkv::kStatusOk) {
            printRead(g.json, a.has("csv"), address, time, status);
            continue;
        }
        allOk = false;
        if (portLost(s)) {
            if (!keepGoing) {
                throw LineError(portLostText(setting.port));
            }
            session.comm().close();
            away = true;
            printError(time + ": " + portLostText(setting.port) +
                       "; opening it again when it returns");
            continue;
        }
        printError(tkv::text::format("%s: module %02d: ", time.c_str(), address) +
                   readable(session.failure(s)));
        if (!keepGoing) {
            break;
        }
    }
    return allOk ? kExitOk : kExitLine;
}

} // namespace linkorctl
