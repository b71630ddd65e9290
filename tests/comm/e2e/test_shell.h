// The shell's side of the communication object, played by the tests: it keeps every
// note, box and completion notification, and answers the file dialog as told.
#pragma once

#include <comm/comm_shell.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace commtest {

using namespace std::chrono_literals;

/// Generous bound for anything the line and the poll thread have to do.
inline constexpr auto kWait = 30s;

struct Note {
    tkv::TKV_WindowHandle window;
    int32_t first;
    std::string text;
};

struct Completion {
    tkv::TKV_WindowHandle owner;
    int32_t kind;
};

class TestShell : public tkv::TKV_CommShell {
  public:
    void post(tkv::TKV_WindowHandle window, int32_t messageId, int32_t first,
              const std::string& text) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        lastMessageId = messageId;
        m_notes.push_back({window, first, text});
        m_changed.notify_all();
    }

    void send(tkv::TKV_WindowHandle window, int32_t messageId, int32_t first,
              int32_t kind) override {
        // The owner's handler runs here, as the window's would while the poll thread waits.
        std::function<void(const Completion&)> handler;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            lastMessageId = messageId;
            sendFirst = first;
            handler = onCompleted;
        }
        if (handler) {
            handler({window, kind});
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_completions.push_back({window, kind});
        m_changed.notify_all();
    }

    void showBox(const std::string& text, const std::string& title) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_boxes.emplace_back(text, title);
    }

    bool askFile(tkv::TKV_WindowHandle owner, const std::string& title,
                 const std::string& filterName, const std::string& filterPattern,
                 const std::string& startDirectory, std::string& chosen) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        asked = {title, filterName, filterPattern, startDirectory};
        askedOwner = owner;
        if (fileAnswer.empty()) {
            return false;
        }
        chosen = fileAnswer;
        return true;
    }

    std::vector<Note> notes() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_notes;
    }
    std::vector<std::string> notesOf(int32_t first) const {
        std::vector<std::string> out;
        for (const Note& n : notes()) {
            if (n.first == first) {
                out.push_back(n.text);
            }
        }
        return out;
    }
    std::vector<Completion> completions() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_completions;
    }
    std::vector<std::pair<std::string, std::string>> boxes() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_boxes;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_notes.clear();
        m_completions.clear();
        m_boxes.clear();
    }
    void setHandler(std::function<void(const Completion&)> handler) {
        std::lock_guard<std::mutex> lock(m_mutex);
        onCompleted = std::move(handler);
    }

    /// Waits until @p done holds for the completions so far.
    bool waitCompletions(const std::function<bool(const std::vector<Completion>&)>& done,
                         std::chrono::steady_clock::duration timeout = kWait) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return done(m_completions); });
    }

    std::vector<std::string> asked;
    tkv::TKV_WindowHandle askedOwner = 0;
    std::string fileAnswer;
    int32_t lastMessageId = 0;
    int32_t sendFirst = 0;

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Note> m_notes;
    std::vector<Completion> m_completions;
    std::vector<std::pair<std::string, std::string>> m_boxes;
    std::function<void(const Completion&)> onCompleted;
};

/// The "localize" setting, kept in memory.
class MemoryStore : public tkv::TKV_SettingsStore {
  public:
    tkv::TKV_Lookup read(const std::string& key, const std::string& name,
                         std::string& value) override {
        askedKey = key;
        askedName = name;
        if (!hasKey) {
            return tkv::TKV_Lookup::NoKey;
        }
        auto it = values.find(name);
        if (it == values.end()) {
            return tkv::TKV_Lookup::NoValue;
        }
        value = it->second;
        return tkv::TKV_Lookup::Found;
    }
    bool hasKey = true;
    std::map<std::string, std::string> values;
    std::string askedKey;
    std::string askedName;
};

} // namespace commtest
