#pragma once
// A format's stored form: twelve values in one registry key.

#include <vector>

#include "platform/registry.h"
#include "wizard/model/formats/format.h"

// The twelve values in their stored order.
std::vector<platform::RegistryValue> FormatValues(const TFormat& format);

// A format read from its key. An integer or boolean that is missing or of another type
// keeps its default; a missing string reads as empty.
TFormat ReadFormat(const platform::RegistryKey& key);
