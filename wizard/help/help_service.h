#pragma once
// Help topics are shown through one help service; F1 and the Help buttons pass their
// window's topic to it. Tests record the topics asked for.
//
// F1 and the Help buttons stay silent when the help folder is missing; the topics the
// program opens by itself (the first start's quick start) or from a link report it.

#include <QString>

#include "wizard/services/service_slot.h"

class HelpService {
public:
    virtual ~HelpService();
    // `topic` is a topic path of the help folder, such as "/files/quickstart.html".
    // Shows nothing when the topic cannot be opened.
    virtual void ShowHelpTopic(const QString& topic) = 0;
    // Says "Can't open help file (%s)." when the topic cannot be opened.
    virtual void ShowHelpTopicOrReport(const QString& topic) = 0;

    // The help viewer: the topic in the program's help window.
    static HelpService& standard();
};

HelpService& helpService();
using ScopedHelpService = ScopedService<HelpService>;
