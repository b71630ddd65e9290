// The module side of a pseudo-terminal pair, published as "COMn" in a port directory.
// A thread reads what the driver sends and answers through a handler, written here
// byte by byte without any of the driver's code.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace linkor::e2e {

class PtyPeer {
  public:
    /// Given everything received since the last answer: whether it is complete, and
    /// the bytes to answer it with.
    struct Answer {
        bool complete = false;
        std::string bytes;
        /// The line goes away after the answer, as an unplugged adapter would.
        bool hangUp = false;
    };
    using Handler = std::function<Answer(const std::string& received)>;

    PtyPeer(const std::string& portsDir, int portNumber, Handler handler);
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    /// Everything the driver has written so far.
    std::string received() const;
    /// The output speed the driver set on the line.
    int speed() const;

  private:
    void run();

    int m_master = -1;
    int m_slaveHold = -1; // keeps the line from hanging up between the driver's opens
    std::string m_link;
    Handler m_handler;
    mutable std::mutex m_mutex;
    std::string m_all;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

/// A frame "STX LLL text CC ETX" as a module writes it.
std::string frameOf(const std::string& text);
/// The text of a frame, or empty when `bytes` does not end a well-formed frame.
std::string textOfFrame(const std::string& bytes);

} // namespace linkor::e2e
