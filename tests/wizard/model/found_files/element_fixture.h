#pragma once
// Elements of hand-made records, with the built-in format list in place and an engine
// stand-in that answers FileGetPath from a table and counts the calls.

#include <map>
#include <memory>
#include <string>

#include "platform/time.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/model/formats/formats_unit.h"
#include "wizard/model/found_files/base_element.h"
#include "wizard/support/wizard_test.h"

// The record fields the tests set, in the record's order; the rest is zero.
struct RecordSpec {
    std::uint64_t RecordNumber = 0;
    std::uint16_t Flags = 0;
    std::uint64_t Size = 0;
    std::uint64_t Created = 0;
    std::uint16_t TypeCode = 0;
    std::uint64_t DataPosition = 0;
    const char16_t* Name = nullptr;

    FoundFileRecord Record() const {
        FoundFileRecord record{};
        record.RecordNumber = RecordNumber;
        record.Flags = Flags;
        record.Size = Size;
        record.CreationTime = platform::toFileTime(Created);
        record.TypeCode = TypeCode;
        record.DataPosition = DataPosition;
        record.Name = Name;
        return record;
    }
};

class ElementTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        FormatsUnitInit();
        paths.clear();
        pathCalls = 0;
    }
    void TearDown() override {
        FormatsUnitDone();
        WizardTest::TearDown();
    }

    static std::unique_ptr<TBaseElement> Make(const RecordSpec& spec, std::int64_t serial = 1) {
        return std::make_unique<TBaseElement>(spec.Record(), serial);
    }

    // Engine paths by record number; other records get an empty path.
    static inline std::map<std::uint64_t, std::u16string> paths;
    static inline int pathCalls = 0;

private:
    static const char16_t* FileGetPath(FoundFileRecord* record) {
        ++pathCalls;
        const auto found = paths.find(record->RecordNumber);
        return found == paths.end() ? u"" : found->second.c_str();
    }

    const EngineApi api_ = [] {
        EngineApi api{};
        api.FileGetPath = FileGetPath;
        return api;
    }();
    ScopedEngineApi engine_{api_};
};
