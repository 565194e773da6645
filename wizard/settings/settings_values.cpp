#include "wizard/settings/settings_values.h"

SettingsValues& Settings() {
    static SettingsValues values;
    return values;
}
