// The sweep orders of every scan mode, over a probe that asks one address in one configuration.
//
// The engine never touches a line or a widget: the configuration window supplies a probe that
// goes through the dispatcher on the user-interface thread and a view that moves its gauge;
// linkorctl supplies a probe that calls the binding directly. Both therefore try the same
// configurations in the same order and find the same modules.
#pragma once

#include "discovery/scan_types.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tamsel::discovery {

/// Asks one address in one configuration: the module's reply, or nothing when it kept silent
/// (a port that cannot be opened is silence as well).
class ScanProbe {
  public:
    virtual ~ScanProbe() = default;
    virtual std::optional<std::string> probe(const ProbeTry& t) = 0;
};

/// A list of names with the entry a drop-down has selected.
struct NameList {
    std::vector<std::string> names;
    int selected = 0;

    int size() const { return static_cast<int>(names.size()); }
};

/// Where the lists of a sweep come from: the window refills its drop-downs, a command line
/// asks the binding's capability lists.
class ScanLists {
  public:
    virtual ~ScanLists() = default;
    /// The protocols of a target, in their order.
    virtual NameList protocolsOf(const std::string& target) = 0;
    /// The baud rates of a target and protocol, with the one selected after the refill.
    virtual NameList baudsOf(const std::string& target, const std::string& protocol) = 0;
};

/// What a scan shows while it runs and the stop it obeys. Every call comes from the thread that
/// runs the scan.
class ScanView {
  public:
    virtual ~ScanView() = default;
    /// Looked at before every probe; true ends the scan before that probe.
    virtual bool stopRequested() { return false; }
    virtual void gaugeRange(int /*low*/, int /*high*/) {}
    virtual void gaugePosition(int /*position*/) {}
    /// The caption may hold one "%02d", filled with the position when the gauge is drawn.
    virtual void gaugeCaption(const std::string& /*caption*/) {}
    virtual void gaugeShown(bool /*shown*/) {}
    virtual void trace(const std::string& /*text*/) {}
    /// Announced just before the probe is made.
    virtual void trying(const ProbeTry& /*t*/) {}
    /// After every probe: how long the rest of the sweep may still take if nothing more
    /// answers (the most it can cost, from the probes measured so far).
    virtual void remainingTime(std::chrono::milliseconds /*left*/) {}
};

/// What a probe that nobody answers costs at least: the wait for the first byte of the answer
/// at the try's speed (a JBUS request is given up after its silence instead).
std::chrono::milliseconds silentProbeTime(const ProbeTry& t);

/// The time a sweep still needs: the tries left times what a try has cost so far, or, before
/// the first measurement, what a silent try of the first setting costs.
class ScanClock {
  public:
    /// A new sweep of at most @p tries tries.
    void plan(int tries);
    /// A try that will not be made after all (a module answered, so its second ask is saved).
    void skip(int tries = 1);
    void measured(std::chrono::steady_clock::duration spent);
    std::chrono::milliseconds remaining(const ProbeTry& next) const;

  private:
    int m_left = 0;
    int m_made = 0;
    std::chrono::steady_clock::duration m_spent{};
};

/// How a sweep ended.
enum class ScanEnd {
    Answered, ///< at least one module answered
    Silent,   ///< every try was made and none answered
    Stopped,  ///< the user stopped it before its end
};

/// Automatic 00: the configuration of module 00, the port fixed.
struct AutomaticZeroStart {
    std::string port;
    int portIndex = 0;
    /// Every target, the remembered one selected: the sweep starts there and wraps round.
    NameList targets;
    /// Where the baud rates of the very first protocol start; later protocols start at the
    /// entry their list has selected.
    int rememberedBaud = 0;
};

/// Automatic 01-63: the line setting that reached module 00.
struct AutomaticRestStart {
    std::string port;
    std::string protocol;
    std::string baud;
    /// The window asks up to 63; a command line may stop earlier.
    int lastAddress = kLastAddress;
};

/// The two check boxes of Search and what they fix.
struct SearchStart {
    std::string port;
    std::string target;
    bool withBaud = false;          ///< "with baudrate :" checked: the baud rate is fixedBaud
    std::string fixedBaud;          ///< the Search baud drop-down's text
    bool onlyFirst = false;         ///< "Only XON_XOFF" checked: the first protocol only
    std::vector<std::string> bauds; ///< the Search baud list
};

/// Full Debug: every pair of the working lists at every address, the port fixed.
struct FullDebugStart {
    std::string port;
    int portIndex = 0;
    std::string target = "TRILO";
    NameList protocols; ///< starts at its selected entry and wraps round
    NameList bauds;     ///< likewise, the same for every protocol
};

/// Checking: each address asked in the project's line setting.
struct CheckingStart {
    std::string port;
    std::string protocol;
    std::string baud;
    /// The target of the module the project has at an address, or empty for none.
    std::function<std::string(int address)> configuredTarget;
};

/// Counts the probes a sweep makes when nobody answers: the most it can cost.
int automaticZeroTries(const AutomaticZeroStart& s, ScanLists& lists);
int searchTries(const SearchStart& s, ScanLists& lists);
/// Automatic 01-63 asks every address twice when nobody answers.
int automaticRestTries(const AutomaticRestStart& s);

class ScanEngine {
  public:
    ScanEngine(ScanProbe& probe, ScanLists& lists, ScanView& view, ScanTable& table)
        : m_probe(probe), m_lists(lists), m_view(view), m_table(table) {}

    ScanEnd automaticZero(const AutomaticZeroStart& s);
    ScanEnd automaticRest(const AutomaticRestStart& s);
    ScanEnd search(const SearchStart& s);
    ScanEnd fullDebug(const FullDebugStart& s);
    ScanEnd checking(const CheckingStart& s);

    /// The try that the last probe made (for the window's display of the last configuration).
    const ProbeTry& lastTry() const { return m_last; }

  private:
    std::optional<std::string> ask(const ProbeTry& t);
    void plan(int tries) { m_clock.plan(tries); }

    ScanProbe& m_probe;
    ScanLists& m_lists;
    ScanView& m_view;
    ScanTable& m_table;
    ProbeTry m_last;
    ScanClock m_clock;
};

/// Automatic 01-63 asks a silent module as TRILO first, then as VRX23.
inline constexpr const char* kFirstRestTarget = "TRILO";
inline constexpr const char* kSecondRestTarget = "VRX23";

} // namespace tamsel::discovery
