// What the program says to a module window after it is open: the poll thread's
// completions and the shell's orders. A window implements this face beside its widget; the
// program finds it on the widget it was given and never looks a method up by its name.
#pragma once

namespace tamsel::contract {

class TModuleWindow {
  public:
    virtual ~TModuleWindow() = default;
    /**
     * @brief A poll run of one of the window's entries has ended (@p first is
     * req::kPollNotification, @p kind the request kind). Called on the user-interface
     * thread while the poll thread waits.
     */
    virtual void pollCompleted(int first, int kind) = 0;
    /// An order of the shell: refresh (cmd 0x2001) or configuration changed (cmd 0x2006).
    virtual void shellCommand(int id) = 0;
};

} // namespace tamsel::contract
