/**
 * @file input_dialog.h
 * TInputDialog (dialog 19000): asks the user for one number, text or choice. The caller
 * fills a TagInputRequest and gets a TagInputResult back; OK gives the code 1.
 */
#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <limits>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QVBoxLayout;

namespace tamsel::widgets {

class TArrowButtons;
class TNumericField;

/// What the dialog asks for.
enum class TInputKind {
    kText,            ///< the edit alone
    kNumber,          ///< the edit with its arrows, decimal
    kNumberWithRadix, ///< the edit with its arrows and the "Hexa" / "Decimal" choice
    kChoice,          ///< the drop-down list
};

/// The radix of the number kinds.
enum class TInputRadix { kDecimal, kHexa };

/// One entry of the drop-down list, with the number it stands for.
struct TagInputChoice {
    QString text;
    std::int32_t value = 0;
};

/// Everything the dialog is given.
struct TagInputRequest {
    QString caption;
    /// Empty: "User Input :" for the edit kinds, "Your selection :" for the list.
    QString prompt;
    TInputKind kind = TInputKind::kText;
    std::int32_t value = 0;
    QString text;
    std::vector<TagInputChoice> choices;
    int selected = 0;
    TInputRadix radix = TInputRadix::kDecimal;
    std::int32_t minimum = std::numeric_limits<std::int32_t>::min();
    std::int32_t maximum = std::numeric_limits<std::int32_t>::max();
    /// The text kind: at most this many characters (0 = no limit), and, when not empty, a
    /// pattern the whole text must match ("[0-9A-Za-z_#+\\- ]*").
    int maxLength = 0;
    QString allowed;
    /// Where the dialog opens, in screen coordinates; null: where the system puts it.
    QPoint position;
};

/// What the user answered.
struct TagInputResult {
    /// 1 for OK; anything else for Cancel.
    int code = 0;
    /// The number typed, or the chosen entry's number.
    std::int32_t value = 0;
    /// The text typed; for the number kinds "%d", or "h%X" in hexadecimal; for the list
    /// the chosen entry's text.
    QString text;
    /// The chosen entry of the list, -1 when there is none.
    int index = -1;
};

inline constexpr int kInputAccepted = 1;

class TInputDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit TInputDialog(const TagInputRequest& request, QWidget* parent = nullptr);

    /// Runs the dialog and returns the answer.
    static TagInputResult ask(const TagInputRequest& request, QWidget* parent = nullptr);

    /// The answer as the dialog holds it now; its code is the dialog's result.
    TagInputResult answer() const;

    QLabel* prompt() const { return m_prompt; }
    QLineEdit* edit() const;
    TNumericField* numberEdit() const { return m_number; }
    TArrowButtons* arrows() const { return m_arrows; }
    QComboBox* choice() const { return m_choice; }
    QRadioButton* hexa() const { return m_hexa; }
    QRadioButton* decimal() const { return m_decimal; }

  private:
    void buildTextEdit(const TagInputRequest& request);
    void buildNumberEdit(const TagInputRequest& request);
    void buildChoice(const TagInputRequest& request);

    TInputKind m_kind;
    QLabel* m_prompt;
    QLineEdit* m_text = nullptr;
    TNumericField* m_number = nullptr;
    TArrowButtons* m_arrows = nullptr;
    QComboBox* m_choice = nullptr;
    QRadioButton* m_hexa = nullptr;
    QRadioButton* m_decimal = nullptr;
    QVBoxLayout* m_body;
};

} // namespace tamsel::widgets
