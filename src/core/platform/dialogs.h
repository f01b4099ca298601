#pragma once

#include <optional>
#include <string>

#include "core/app/colour.h"

namespace vistrel::core {

// Which buttons a message box offers.
enum class MessageButtons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

// The symbol shown beside a message.
enum class MessageIcon { None, Information, Question, Warning, Critical };

// The button that closed a message box. A box closed without a button (Escape, the window's
// close button) answers Cancel when it has one, otherwise its only or last button.
enum class DialogAnswer { OK, Cancel, Yes, No, Retry, Abort, Ignore };

// The program's modal dialogs. Each call blocks until the user answers. Dialogs that can be
// cancelled and give a value back (text input, folder picker, colour chooser, Save As file
// name) are to be added here returning std::optional, empty when cancelled, so every caller
// handles the cancel the same way.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual DialogAnswer MessageBox(const std::string& text, const std::string& caption,
                                    MessageButtons buttons = MessageButtons::OK,
                                    MessageIcon icon = MessageIcon::None) = 0;

    // The Save dialog. `filter` is "Description|*.ext" pairs joined by '|'. When the chosen
    // file exists the dialog itself asks before returning it.
    virtual std::optional<std::string> SaveFileName(const std::string& title,
                                                    const std::string& filter) = 0;
    // The folder picker, titled `title`, opened on `start`; a choice without a file-system
    // path counts as cancelled.
    virtual std::optional<std::string> ChooseFolder(const std::string& title,
                                                    const std::string& start) = 0;
    // A one-line text box with a prompt, titled `title`, holding `initial` at first.
    virtual std::optional<std::string> InputText(const std::string& prompt,
                                                 const std::string& title,
                                                 const std::string& initial = {}) = 0;
    // The colour picker, opened on `initial`.
    virtual std::optional<Colour> ChooseColour(Colour initial) = 0;
};

} // namespace vistrel::core
