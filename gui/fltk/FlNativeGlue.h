#pragma once

#include <optional>
#include <string>

// The FLTK side of the system driver: modal dialogs and the event wait. Texts
// are 8-bit strings.

// Kind 0 a message, 1 an alert (both one close button, answer 0), 2 a No/Yes
// question, 3 a Cancel/No/Yes question (answer: index of the button pressed;
// Escape and closing the window press button 0, Return the default button 1).
// Any other kind shows nothing and answers the kind. The text is shown as it
// is: it is never taken as a format.
int FlMessageBox(const std::string& text, int kind);

// A modal file chooser listing the entries that match filter (FLTK pattern
// syntax, alternatives separated by tabs), starting at path; save picks the
// chooser's save mode. None when cancelled.
std::optional<std::string> FlFileChooser(const std::string& title, const std::string& filter, const std::string& path,
                                         int save);
// A modal directory chooser starting at path; none when cancelled.
std::optional<std::string> FlDirChooser(const std::string& title, const std::string& path);

// ms < 0: waits for the next event, timer or watched descriptor, without a
// time limit; otherwise at most ms milliseconds (0: handles what is pending).
void FlWaitEvents(int ms);
