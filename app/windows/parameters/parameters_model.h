/**
 * @file parameters_model.h
 * The rules of the parameters window, without a widget: what the catalogue's kinds make of
 * the resolution and current controls, the current conversions, the ramp modes, the arrows,
 * the ranges that speeds and ramp times must keep with each other, and the field colours.
 */
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tamsel::windows::parameters {

// Catalogue strategies the window looks up.
inline constexpr std::int32_t kStrategyResolution = 1;
inline constexpr std::int32_t kStrategyCurrent = 2;
inline constexpr std::int32_t kStrategyIndicators = 3;
inline constexpr std::int32_t kStrategyRamp = 9;

/// How the resolution arrows move it.
enum class ResolutionStep { Fixed = 0, ByOne = 1, DoubleHalve = 2 };
/// Which of the two range rules the module's resolution calls for.
enum class RangeRule { Variable, Fixed };

struct TRange {
    std::int32_t low = 0;
    std::int32_t high = 0;
    bool operator==(const TRange&) const = default;
};

struct TResolutionSetup {
    TRange range;
    ResolutionStep step = ResolutionStep::ByOne;
    RangeRule rule = RangeRule::Variable;
};
/// What resolution kind @p kind (strategy 1) makes of the resolution field.
TResolutionSetup resolutionSetup(std::int32_t kind);
/// The resolution after one arrow click (@p up or down), kept inside the range.
std::int32_t stepResolution(std::int32_t value, bool up, const TResolutionSetup& setup);
/// The resolution typed, as the field keeps it when it is left: inside the range of the kind,
/// so that Apply never sends a resolution the module's type does not have.
std::int32_t resolutionLeft(std::int32_t typed, const TResolutionSetup& setup);

/// What the amperes display beside the current shows.
enum class AmpsDisplay { None = 0, External = 1, Amperes = 2 };

struct TCurrentSetup {
    std::int32_t initialPercent = 0;
    bool percentArrows = false;
    AmpsDisplay display = AmpsDisplay::External;
    float factor = 0.0F;
    std::vector<std::string> standby; ///< the entries of the standby list
    bool standbyEnabled = false;
    bool standbyVisible = true;
};
/// What current kind @p kind (strategy 2) makes of the current controls.
TCurrentSetup currentSetup(std::int32_t kind);

inline constexpr std::int32_t kPercentMax = 100;
inline constexpr std::int32_t kCodeMax = 255;
/// The percent a current code of the module reads as, rounded half up.
std::int32_t percentOfCode(std::int32_t code);
/// The current code written for @p percent, truncated.
std::int32_t codeOfPercent(std::int32_t percent);
/// "=%3.2f Amps" of percent x factor / 100.
std::string ampsText(std::int32_t percent, float factor);
/// The percent after an arrow click; a step that would leave 0-100 is ignored.
std::int32_t stepPercent(std::int32_t percent, bool up);

/// The ramp modes: one ramp time (0: the module has no other; 1: it could have a
/// deceleration of its own) or separate acceleration and deceleration times (2).
inline constexpr int kRampSingle = 0;
inline constexpr int kRampSingleOrSeparate = 1;
inline constexpr int kRampSeparate = 2;

struct TRampView {
    bool decEnabled = false;
    bool decChecked = false;
    bool decelFieldEnabled = false; ///< else it mirrors the ramp time
    const char* label = "Ramping";
};
TRampView rampView(int mode);
/// The mode data of the module select: ramp kind 0 keeps mode 0.
int rampModeOf(std::int32_t rampKind, std::uint8_t separateDecel, int current);
/// The mode a click on "Dec." selects.
int rampModeOfDecClick(bool checked);
/// The status-line text of a mode change.
std::string rampModeText(int mode);

/// The four fields whose ranges depend on each other.
enum Field { kStart = 0, kMax = 1, kRamp = 2, kDecel = 3, kCheckedFields = 4 };
inline constexpr TRange kSpeedHardRange{1, 20000};
inline constexpr TRange kTimeHardRange{1, 65535};
TRange hardRangeOf(Field field);

/// One value step of an arrow: by 100 with Shift or the secondary button, else by one,
/// kept inside the field's hard range.
std::int32_t stepChecked(std::int32_t value, bool up, bool large, Field field);
/// A value typed into a field, as it stands when the user leaves it.
std::int32_t clampToHard(std::int32_t value, Field field);

/// Which part of the ranges a computation leaves alone: the one of the field the user edits.
enum class Edited { All = 0, StartSpeed = 1, MaxSpeed = 2, Time = 3 };

// Call codes of the computations, shown by the division-by-zero message.
inline constexpr int kCallTypedStart = 200;
inline constexpr int kCallTypedMax = 201;
inline constexpr int kCallTypedTime = 202;
inline constexpr int kCallArrowStart = 203;
inline constexpr int kCallArrowMax = 204;
inline constexpr int kCallArrowRamp = 205;
inline constexpr int kCallArrowDecel = 206;
inline constexpr int kCallFull = 207;

/// The values in the resolution, speed and time fields.
struct TRangeInputs {
    std::int32_t resolution = 0;
    std::int32_t startSpeed = 0;
    std::int32_t maxSpeed = 0;
    std::int32_t rampTime = 0;
    std::int32_t decelTime = 0;
};

/// Class of the product resolution x maximum speed, which fixes the longest ramp.
inline constexpr int kClassSlow = 1;
inline constexpr int kClassMiddle = 2;
inline constexpr int kClassFast = 3;

/// The valid ranges of the four checked fields and what the last full computation found.
class TRangeCalculator {
  public:
    TRangeCalculator();

    /**
     * @brief Computes the valid ranges, leaving those of the @p edited field. A zero among
     * the inputs is taken as 1; the result tells whether one was met.
     */
    bool compute(Edited edited, const TRangeInputs& in, RangeRule rule);
    /// Starts again as if no full computation had been done.
    void reset();

    const TRange& valid(Field field) const { return m_valid[field]; }
    bool fullDone() const { return m_fullDone; }
    std::int32_t cachedResolution() const { return m_r0; }
    int exponent() const { return m_k; }
    std::int64_t limit() const { return m_limit; }
    float product() const { return m_product; }
    int speedClass() const { return m_class; }

  private:
    std::array<TRange, kCheckedFields> m_valid;
    bool m_fullDone = false;
    std::int32_t m_r0 = 1;
    int m_k = 0;
    std::int64_t m_limit = 0;
    float m_product = 0.0F;
    int m_class = kClassSlow;
};

/// The text of the division-by-zero message, and its caption.
std::string divisionByZeroText(Edited edited, int callCode);
inline constexpr const char* kDivisionByZeroCaption = "Division by 0";

enum class FieldColour { Normal, Red, Magenta, Cyan };
/// Red outside the hard range, magenta above the valid range, cyan below it.
FieldColour colourOf(std::int32_t value, Field field, const TRange& valid);

/// "Apply" is enabled when every checked field is valid; the deceleration field counts as
/// valid while it is disabled.
bool applyEnabled(const std::array<bool, kCheckedFields>& valid, bool decelEnabled);

/// The indicator numbers sent to open the specific modes window, by indicator bit.
inline constexpr std::array<int, 4> kIndicatorNumbers = {1, 3, 2, 4};
/// Whether indicator @p bit shows (supported) and whether it is active.
struct TIndicatorView {
    bool supported = false;
    bool active = false;
    int bitmap = 0;
};
inline constexpr int kLampActive = 11502;
inline constexpr int kLampInactive = 11501;
TIndicatorView indicatorView(int bit, std::int32_t supportedMask, std::int32_t bits);

/// " %d": how every number is written into its field.
std::string fieldText(std::int32_t value);

} // namespace tamsel::windows::parameters
