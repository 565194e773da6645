#pragma once
// Help requests in the form the program builds them: "<help folder>::<topic path>", for
// example ".../PramblexPro.help::/files/quickstart.html". Blanks around the folder are
// trimmed, so ".../PramblexPro.help ::/files/x.html" names the same topic.
//
// The topics are shown in the program's one help window, reused from request to request.
// While a modal dialog is open the window belongs to it, so that it still takes input.

#include <QString>

class THelpForm;

enum HtmlHelpCommand : int {
    HH_DISPLAY_TOPIC = 0,  // the topic of the request; the contents when it names none
    HH_DISPLAY_TOC = 1,    // the contents topic of the folder the request names
    HH_HELP_CONTEXT = 15,  // context numbers: the topics have none
    HH_CLOSE_ALL = 18,     // closes the help window
};

// Carries out `command` for `request`. Non-zero when a topic is shown; 0 when the folder
// or the topic does not exist, the topic lies outside the folder, or nothing is shown.
int CallHtmlHelp(const QString& request, int command);

// Opens `topic` of the program's help folder; "Can't open help file (%s)." when it cannot.
void ShowHelpTopic(const QString& topic);

// The message box for a help folder or topic that cannot be opened: text "Can't open help
// file (%s)." with the help folder's full path, caption "Error", error icon, no owner.
void ShowHelpFileError();

// The help window while one exists, else null.
THelpForm* CurrentHelpWindow();
