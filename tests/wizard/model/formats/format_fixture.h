#pragma once
// Format lists loaded from a test's own registry.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/support/wizard_test.h"

class FormatListTest : public WizardTest {
protected:
    static std::unique_ptr<TDataStorage> Load() {
        auto storage = std::make_unique<TDataStorage>();
        storage->LoadFromRegistry();
        return storage;
    }

    static std::vector<std::u16string> StoredKeys() {
        const auto key = platform::RegistryKey::open(kFileFormatsKey);
        return key ? key->subKeyNames() : std::vector<std::u16string>{};
    }

    static platform::RegistryKey StoredKey(const std::u16string& name) {
        return *platform::RegistryKey::create(std::u16string(kFileFormatsKey) + u"\\" + name);
    }

    static std::size_t IndexOfTitle(const TDataStorage& storage, const std::string& title) {
        return *storage.IndexOf(storage.FindByTitle(title));
    }
};
