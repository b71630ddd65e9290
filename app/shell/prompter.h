// Every message box and file question of the program goes through one prompter, so that
// a test can answer them without a person and read what was asked.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace tamsel::shell {

enum class TBoxIcon { None, Information, Exclamation, Stop, Question };
enum class TBoxButtons { Ok, OkCancel, YesNoCancel };
enum class TBoxAnswer { Ok, Cancel, Yes, No };

/// One message box: what the user reads and what he may answer.
struct TBox {
    QString title;
    QString text;
    TBoxIcon icon = TBoxIcon::None;
    TBoxButtons buttons = TBoxButtons::Ok;
    /// Developer notices block the whole program until answered.
    bool systemModal = false;
    /// The help topic of its Help button; 0 for a box without one.
    int helpContext = 0;
    /// Opens help at a topic while the box stays up; the box has a Help button only with it.
    std::function<void(int)> showHelp;
};

/// The developer box: system-modal, titled "By Tamsel2 dev".
TBox developerBox(const QString& text);

/// One file question (open or save).
struct TFileQuestion {
    bool save = false;
    QString title;
    QString directory;
    QString filter;
};

class TPrompter {
  public:
    virtual ~TPrompter() = default;
    /// Shows the box and returns the answer; a box with only OK always answers Ok.
    virtual TBoxAnswer ask(QWidget* parent, const TBox& box) = 0;
    /// Chosen file path, or an empty text when the user cancelled.
    virtual QString chooseFile(QWidget* parent, const TFileQuestion& question) = 0;
    /// The exclamation sound.
    virtual void beep() = 0;
};

/// The prompter of a person at the screen: message boxes and file dialogs.
class TWidgetPrompter final : public TPrompter {
  public:
    TBoxAnswer ask(QWidget* parent, const TBox& box) override;
    QString chooseFile(QWidget* parent, const TFileQuestion& question) override;
    void beep() override;
};

} // namespace tamsel::shell
