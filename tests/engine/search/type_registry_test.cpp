#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/library.h"
#include "engine/search/information_storage.h"
#include "platform/registry.h"

namespace {

class TypeRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("\\Software\\UndeleteTests\\") + test->name() + "-" +
                           std::to_string(::getpid());
        baseKey = std::u16string(name.begin(), name.end());
        platform::RegistryKey::remove(baseKey);
    }
    void TearDown() override { platform::RegistryKey::remove(baseKey); }

    std::u16string typesPath() const { return baseKey + u"\\File Types"; }
    std::unique_ptr<CInformationStorage> load() {
        auto table = std::make_unique<CInformationStorage>(baseKey);
        table->LoadFileTypes();
        return table;
    }
    std::size_t storedValueCount() const {
        auto key = platform::RegistryKey::open(typesPath());
        return key ? key->values().size() : 0;
    }
    platform::RegistryKey typesKey() { return *platform::RegistryKey::create(typesPath()); }

    std::u16string baseKey;
};

TEST_F(TypeRegistry, FirstStartWritesEveryType) {
    EXPECT_EQ(load()->count(), 94u);
    auto key = platform::RegistryKey::open(typesPath());
    ASSERT_TRUE(key);
    ASSERT_EQ(key->values().size(), 94u);
    for (const auto& value : key->values()) {
        ASSERT_EQ(value.type(), platform::RegistryType::Binary);
        EXPECT_GE(std::get<std::vector<std::uint8_t>>(value.data).size(), 530u);
    }
}

TEST_F(TypeRegistry, StoredImageChangesAType) {
    CInformationStorage builtins(u"\\Unused");
    builtins.AddBuiltinFileTypes();
    CFileType edited;
    edited.CopyImage(builtins.FindFileType(47)->StoredForm().data());
    setImageText(edited.image().Extension, u"XYZ");
    typesKey().writeBinary(u"edited pdf", edited.StoredForm());

    auto reloaded = load();
    std::uint16_t code = 0;
    ASSERT_NE(reloaded->GetFileType(code, u"a.xyz"), nullptr);
    EXPECT_EQ(code, 47);
    code = 0;
    EXPECT_EQ(reloaded->GetFileType(code, u"a.pdf"), nullptr);
    EXPECT_EQ(reloaded->FindFileType(47)->signatures().size(), 1u);
    EXPECT_EQ(reloaded->count(), 94u);
}

TEST_F(TypeRegistry, AddedTypeKeepsItsSignaturesAcrossSaveAndLoad) {
    CFileType added;
    added.image().Enabled = 1;
    added.image().SignatureId = 999;
    setImageText(added.image().Extension, u"NEW");
    CFileSignature* signature = added.AddSignature(kConditionBytes, "NEWFMT", 0, 6, 0);
    signature->AddCondition(kConditionUint8, "\x7f", 8, 0, 2);
    typesKey().writeBinary(u"user type", added.StoredForm());

    auto table = load();
    ASSERT_EQ(table->count(), 95u);
    EXPECT_EQ(table->types().back()->signatureId(), 999);
    table->SaveFileTypes();
    platform::RegistryKey key = typesKey();
    key.removeValue(u"user type");  // only the table's own copy is left

    auto reloaded = load();
    ASSERT_EQ(reloaded->count(), 95u);
    EXPECT_EQ(reloaded->types().back()->StoredForm(), added.StoredForm());
}

TEST_F(TypeRegistry, UnusableValuesAreSkipped) {
    platform::RegistryKey key = typesKey();
    key.writeBinary(u"short", std::vector<std::uint8_t>(529, 0x47));
    key.writeBinary(u"too large", std::vector<std::uint8_t>(16384, 0));
    key.writeString(u"text", u"not a type");
    key.writeDword(u"number", 47);
    // An unknown id whose signatures are garbage keeps its texts and loses them.
    std::vector<std::uint8_t> garbage(530 + 57, 0xFF);
    garbage[524] = 0xE8;
    garbage[525] = 0x03;
    key.writeBinary(u"garbage", garbage);

    auto table = load();
    ASSERT_EQ(table->count(), 95u);
    EXPECT_EQ(table->types().back()->signatureId(), 1000);
    EXPECT_TRUE(table->types().back()->signatures().empty());
    std::uint8_t unit[kUnitSize] = {'%', 'P', 'D', 'F', '-', '1', '.'};
    EXPECT_EQ(table->MatchUnit(unit)->signatureId(), 47);
}

TEST_F(TypeRegistry, DamagedStoreFallsBackToTheBuiltins) {
    typesKey().writeBinary(u"Type 47", std::vector<std::uint8_t>(530, 0));
    auto root = std::filesystem::path(std::getenv("UNDELETE_REGISTRY"));
    const std::u16string path = typesPath();
    std::string relative(path.begin() + 1, path.end());
    std::replace(relative.begin(), relative.end(), '\\', '/');
    int damaged = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root / relative)) {
        if (!entry.is_regular_file()) continue;
        std::ofstream(entry.path(), std::ios::trunc) << "\x01\x02 not a values file \xff\n[[[";
        ++damaged;
    }
    ASSERT_GT(damaged, 0);
    platform::setRegistryDiagnostics([](const std::string&) {});
    auto table = load();
    platform::setRegistryDiagnostics(nullptr);
    EXPECT_EQ(table->count(), 94u);
    EXPECT_EQ(table->FindFileType(47)->extension(), u"PDF");
}

TEST_F(TypeRegistry, LibraryLoadsAtInitializeAndSavesAtUnload) {
    typesKey();
    ASSERT_EQ(Library_Initialize(baseKey.c_str()), 1);
    CInformationStorage* table = GetObjectInformatinStorage();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->count(), 94u);
    EXPECT_EQ(table->categories().size(), 14u);
    EXPECT_EQ(table->baseKey(), baseKey);
    EXPECT_EQ(storedValueCount(), 0u);
    engine::unloadLibrary();
    EXPECT_EQ(GetObjectInformatinStorage(), nullptr);
    EXPECT_EQ(storedValueCount(), 94u);
}

}  // namespace
