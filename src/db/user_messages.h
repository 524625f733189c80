#pragma once

// How operations without a window of their own talk to the user: a message box with a caption,
// a text, an icon and a set of buttons, and a beep. Windows implement it with QMessageBox (the
// owner window is theirs to choose); tests implement it with a script. Texts are UTF-8, and the
// interface stays free of Qt so that any test can link a recorder for it.

#include <string>

namespace db {

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };
enum class BeepKind { Default, Warning, Question };

class UserMessages {
public:
    virtual ~UserMessages() = default;

    // Shows the message and waits for the answer. `defaultAnswer` is the button that Enter
    // presses (No for the program's Yes/No questions).
    virtual MessageAnswer show(const std::string& caption, const std::string& text,
                               MessageIcon icon, MessageButtons buttons,
                               MessageAnswer defaultAnswer) = 0;
    virtual void beep(BeepKind kind) = 0;

    // The program's usual "Error" box with an OK button.
    void error(const std::string& text) {
        show("Error", text, MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok);
    }
};

} // namespace db
