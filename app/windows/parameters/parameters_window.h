// The parameters window of one module: its resolution, speeds, ramp times, current and
// standby mode, read once per refresh through the poll table and written at once on
// "Apply". The speeds and ramp times are checked against each other as they are edited;
// "Apply" is enabled only while all of them lie inside their ranges.
#pragma once

#include "parameters_model.h"

#include <module_window_base.h>

#include <contract/records.h>

#include <QString>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tamsel::widgets {
class TArrowButtons;
class TStatusLight;
} // namespace tamsel::widgets

namespace tamsel::windows::parameters {

/// Control identifiers (the controls' object names) and numbers of the window.
namespace ids {
inline constexpr int kHeader = 100;
inline constexpr int kLight = 101;
inline constexpr int kStandby = 1152;
inline constexpr int kRestore = 1153;
inline constexpr int kSetDefault = 1154;
inline constexpr int kApply = 1155;
inline constexpr int kResolution = 1156;
inline constexpr int kStartSpeed = 1157;
inline constexpr int kMaxSpeed = 1158;
inline constexpr int kRampTime = 1159;
inline constexpr int kDecelTime = 1160;
inline constexpr int kCurrent = 1161;
inline constexpr int kResolutionArrows = 1162;
inline constexpr int kStartArrows = 1163;
inline constexpr int kMaxArrows = 1164;
inline constexpr int kRampArrows = 1165;
inline constexpr int kDecelArrows = 1166;
inline constexpr int kCurrentArrows = 1167;
inline constexpr int kAmps = 1168;
inline constexpr int kRampLabel = 1169;
inline constexpr int kDec = 1170;
inline constexpr int kFirstLamp = 1172;  ///< + indicator bit
inline constexpr int kFirstLabel = 1176; ///< + indicator bit
} // namespace ids
inline constexpr int kDialogId = 1150;
inline constexpr int kHelpContext = 1150;
/// The light's states.
inline constexpr int kLightValid = 1;
inline constexpr int kLightPending = 2;
inline constexpr int kLightError = 3;
/// The object property holding a lamp's bitmap number.
inline constexpr const char* kBitmapProperty = "bitmap";

/// Shows a message box (text, caption) through the program's prompter.
using TShowBox = std::function<void(const QString& text, const QString& caption)>;

class TParametersWindow final : public TModuleWindowBase {
    Q_OBJECT
  public:
    TParametersWindow(const TWindowSetup& setup, TShowBox showBox, QWidget* parent = nullptr);
    ~TParametersWindow() override;

    void pollCompleted(int first, int kind) override;
    void shellCommand(int id) override;
    /// The report's title is the header's: the module's title.
    void errorData(contract::TagErrorData& out) override;

    const TPollSubscription& polls() const { return *m_polls; }
    int lightState() const;
    /// Reads that completed, good or not.
    int completions() const { return m_completions; }
    std::int32_t lastStatus() const { return m_request.status; }
    const TRangeCalculator& ranges() const { return m_ranges; }
    int rampMode() const { return m_rampMode; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    QLineEdit* addField(int id, int arrowsId, int row, const QString& caption);
    void refresh(bool fromShell);
    void configure();
    std::int32_t strategy(std::int32_t which);
    void showData();
    void setRampMode(int mode);
    void drawIndicators();
    void refreshAmps();

    void arrow(int fieldId, bool up);
    void typed(Field field);
    void left(Field field);
    void paint(Field field);
    void paintAll();
    void renewApply();
    void computeRanges(Edited edited, int callCode);

    void apply();

    QLineEdit* fieldOf(Field field) const;
    std::int32_t read(const QLineEdit* field) const;
    void write(QLineEdit* field, std::int32_t value);

    // The records first: the subscription below points at them and goes before them.
    contract::TagParamBlock m_block;
    contract::TagRequest m_request;
    std::unique_ptr<TPollSubscription> m_polls;

    contract::TRequestSink* m_appSink = nullptr;
    contract::TagParamBlock m_arrived; ///< the block as the last good read left it
    TShowBox m_showBox;
    TResolutionSetup m_resolution;
    TCurrentSetup m_current;
    std::int32_t m_indicatorMask = 0;
    std::int32_t m_indicatorBits = 0;
    std::int32_t m_rampKind = 0;
    int m_rampMode = kRampSingle;
    TRangeCalculator m_ranges;
    std::array<bool, kCheckedFields> m_valid = {true, true, true, true};
    bool m_configurePending = false;
    int m_completions = 0;
    bool m_largeStep = false;

    QWidget* m_motionGroup = nullptr;
    QLabel* m_header = nullptr;
    widgets::TStatusLight* m_light = nullptr;
    QLineEdit* m_resolutionField = nullptr;
    std::array<QLineEdit*, kCheckedFields> m_fields = {};
    QLineEdit* m_currentField = nullptr;
    widgets::TArrowButtons* m_resolutionArrows = nullptr;
    widgets::TArrowButtons* m_currentArrows = nullptr;
    widgets::TArrowButtons* m_decelArrows = nullptr;
    QLabel* m_rampLabel = nullptr;
    QCheckBox* m_dec = nullptr;
    QLabel* m_amps = nullptr;
    QComboBox* m_standby = nullptr;
    std::array<QLabel*, 4> m_labels = {};
    std::array<QLabel*, 4> m_lamps = {};
    QPushButton* m_apply = nullptr;
};

} // namespace tamsel::windows::parameters
