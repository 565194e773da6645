#pragma once
// Every stored setting as data: where it is stored, under which name, its type, its
// default and the values it may take. Loading and saving walk this table in order.

#include <QString>

#include <climits>
#include <span>
#include <variant>

#include "wizard/settings/settings_values.h"

enum class SettingsGroup { Global, Recovery };

// The group's sub-key below the settings base key: "\Global" or "\Recovery".
QString SubKeyOf(SettingsGroup group);

// What a stored number outside [minimum, maximum] becomes: the nearest bound for an
// amount, the default for a code that picks one entry of a list.
enum class OutOfRange { Clamp, UseDefault };

struct IntegerSetting {
    int SettingsValues::*field;
    int fallback;
    int minimum = INT_MIN;
    int maximum = INT_MAX;
    OutOfRange outOfRange = OutOfRange::Clamp;
};

struct BoolSetting {
    bool SettingsValues::*field;
    bool fallback;
};

enum class StringDefault {
    Text,          // the text given
    CurrentValue,  // what the value holds when loading starts
    TargetFolder,  // the documents folder followed by "/Recovered Files/"
};

struct StringSetting {
    QString SettingsValues::*field;
    StringDefault fallback;
    const char16_t* text = u"";
};

// No default: a missing or unusable value leaves the current one.
struct DateTimeSetting {
    TDateTime SettingsValues::*field;
};

struct SettingDefinition {
    SettingsGroup group;
    const char16_t* name;
    std::variant<IntegerSetting, BoolSetting, StringSetting, DateTimeSetting> value;
};

// The 9 "\Global" values, then the 24 "\Recovery" values, in stored order.
std::span<const SettingDefinition> SettingsTable();
