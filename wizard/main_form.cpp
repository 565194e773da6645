#include "wizard/main_form.h"

#include "wizard/forms/language_select_form.h"
#include "wizard/help_service.h"
#include "wizard/maker_info.h"
#include "wizard/settings/settings_values.h"
#include "wizard/translation/translate_form.h"
#include "wizard/translation/translation.h"
#include "wizard/utilities/version_strings.h"
#include "wizard/version_info.h"

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    SettingsValues& settings = Settings();
    if (settings.GlobalFirstStart) {
        const VersionStrings& version = ProgramVersionStrings();
        SelectLanguage(settings.GlobalLanguage,
                       {version.ProductName, version.ProductVersion, version.Build,
                        kMakerWebSite, [](const QString& topic) { helpService().ShowHelpTopic(topic); }},
                       this);
    }
    UpdateInterfaceLanguage();
    setWindowTitle(kProductName);
}

void TMainForm::UpdateInterfaceLanguage() {
    if (!Settings().GlobalLanguage.isEmpty()) {
        SetCurrentTranslation(LoadLanguageFile(Settings().GlobalLanguage));
    }
    TranslateForm({this});
}
