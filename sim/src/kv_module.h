#pragma once
// A module that speaks on a KV line: frames or console lines in, answers out.

#include "kv_link.h"
#include "module.h"

#include <optional>
#include <string_view>

namespace kvsim {

class KvModule : public Module {
  public:
    explicit KvModule(const ModuleSetup& setup) : Module(setup), m_receiver(setup.protocol) {}

    void receive(std::span<const std::uint8_t> bytes, Clock::time_point now,
                 std::vector<Transmission>& out) override;

  protected:
    /// Who a command text is for, and the text after its address.
    struct Target {
        bool mine = false;     ///< carries this module's address
        bool everyone = false; ///< carries no address, or the address of all modules
        std::string_view rest;
    };
    virtual Target resolve(std::string_view text) const = 0;
    virtual Answer execute(std::string_view rest, Clock::time_point now) = 0;

    /// Setting changes that take effect once the answer is on its way, since the module
    /// still answers at its old setting.
    std::optional<int> m_newAddress;
    std::optional<int> m_newBaud;
    std::optional<Protocol> m_newProtocol;

  private:
    void applyNewSetting();
    KvReceiver m_receiver;
    // A reply frame went out and the client's acknowledgement may follow.
    bool m_awaitingAck = false;
};

} // namespace kvsim
