#pragma once
// Page 0: what the wizard does, the legal notice, the two web links and the version.

class QLabel;
class QWidget;
class TLinkLabel;

struct WelcomePage {
    QLabel* WelcomeCopyrightLabel;
    TLinkLabel* WelcomeSupportURLLabel;
    TLinkLabel* WelcomeHomepageURLLabel;
    QLabel* WelcomeProgramVersionLabel;
};

WelcomePage BuildWelcomePage(QWidget* sheet);
