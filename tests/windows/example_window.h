// The example module window: the one shape every module window has. It watches the
// status of its module: the record it owns is read by the poll thread, the completion
// moves the values into the labels, a failed read asks for the error report.
#pragma once

#include <module_window_base.h>

#include <contract/records.h>

#include <memory>

class QLabel;

namespace tamsel::windows::example {

/// Control identifiers (the controls' object names) and numbers of the window.
namespace ids {
inline constexpr int kPosition = 101;
inline constexpr int kPower = 102;
inline constexpr int kMoving = 103;
inline constexpr int kStatusGroup = 110;
} // namespace ids
inline constexpr int kDialogId = 1600;
inline constexpr int kHelpContext = 1600;

class TPositionWatch final : public TModuleWindowBase {
    Q_OBJECT
  public:
    explicit TPositionWatch(const TWindowSetup& setup, QWidget* parent = nullptr);
    ~TPositionWatch() override;

    void pollCompleted(int first, int kind) override;

    const TPollSubscription& polls() const { return *m_polls; }
    int completions() const { return m_completions; }
    std::int32_t lastStatus() const { return m_request.status; }

  private:
    QLabel* addValue(int id, const QString& caption, int row, QWidget* parent);

    // The records first: the subscription below points at them and goes before them.
    contract::TagStatus m_status;
    contract::TagRequest m_request;
    std::unique_ptr<TPollSubscription> m_polls;

    QLabel* m_position = nullptr;
    QLabel* m_power = nullptr;
    QLabel* m_moving = nullptr;
    std::int32_t m_previousStatus = 0;
    int m_completions = 0;
};

} // namespace tamsel::windows::example
