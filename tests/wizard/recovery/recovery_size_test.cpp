// Files of unknown size: the probable-size question, its answers and its limits.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "wizard/model/formats/data_storage.h"
#include "wizard/model/formats/formats_unit.h"
#include "wizard/recovery/recovery_flow_fixture.h"
#include "wizard/support/modal_dialog_driver.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint16_t kIcoType = 90;  // default 512 KB
constexpr std::uint64_t kIcoDefaultBytes = 512 * 1024;

struct SizeAnswer {
    const char* size;
    const char* useFor = "UseForRadioButtonAllFilesInSession";
    bool dontAsk = false;
    const char* button = "BottomButtonOk";
};

void AnswerSize(const SizeAnswer& answer) {
    answerNextModalDialog([answer](QWidget* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("NewProbableEdit"))->setText(QString::fromLatin1(answer.size));
        dialog->findChild<QRadioButton*>(QString::fromLatin1(answer.useFor))->setChecked(true);
        dialog->findChild<QCheckBox*>(QStringLiteral("DontAskCheckBox"))->setChecked(answer.dontAsk);
        dialog->findChild<QPushButton*>(QString::fromLatin1(answer.button))->click();
    });
}

std::int32_t IcoProbableKb() { return DataStorage->FindBySignatureId(kIcoType)->ProbableSizeKb(); }

class RecoverySizeTest : public RecoveryFlowTest {
protected:
    void SetUp() override {
        RecoveryFlowTest::SetUp();
        UseTarget(false);
        // The destination dialog of each run is confirmed as it stands.
        Settings().RecoveryTargetFolder = QString::fromStdString(target().string());
    }
    // Confirms the destination dialog of the next run; answers for later dialogs are
    // armed after it.
    static void ConfirmDestination() {
        answerNextModalDialog([](QWidget* dialog) { dialog->findChild<QPushButton*>("ButtonOk")->click(); });
    }
    bool Run() { return flow->DoRealRecovery(false); }
};

TEST_F(RecoverySizeTest, TheAnswersSetTheSizeAndWhatElseTheySay) {
    const struct {
        SizeAnswer answer;
        std::uint64_t size;       // of the file written
        std::int32_t defaultKb;   // the format's probable size afterwards
        bool modified;            // the format list is stored
        bool dontAskAfterwards;
    } cases[] = {
        {{"3", "UseForRadioButtonThisFileOnly"}, 3 * 1024, 512, false, false},
        {{" 7 ", "UseForRadioButtonAllFilesInSession"}, 7 * 1024, 7, false, false},
        {{"abc", "UseForRadioButtonAllFilesAllSessions", true}, kIcoDefaultBytes, 512, false, false},
        {{"-5", "UseForRadioButtonAllFilesAllSessions", true}, kIcoDefaultBytes, 512, false, false},
        {{"0"}, kIcoDefaultBytes, 512, false, false},
        {{"2147483648"}, kIcoDefaultBytes, 512, false, false},
        {{"9", "UseForRadioButtonAllFilesAllSessions", true}, 9 * 1024, 9, true, true},
    };
    for (const auto& c : cases) {
        FormatsUnitDone();
        FormatsUnitInit();
        DontAskProbableSize = false;
        fs::remove_all(target());
        elements.clear();
        host.selected.clear();
        AddFile(u"icon.ico", u"", kUnknownSize, kIcoType, kFileFoundBySignature);
        ConfirmDestination();
        AnswerSize(c.answer);
        EXPECT_TRUE(Run()) << c.answer.size;
        EXPECT_EQ(fs::file_size(target() / "icon.ico"), c.size) << c.answer.size;
        EXPECT_EQ(IcoProbableKb(), c.defaultKb) << c.answer.size;
        EXPECT_EQ(DataStorage->Modified(), c.modified) << c.answer.size;
        EXPECT_EQ(DontAskProbableSize, c.dontAskAfterwards) << c.answer.size;
    }
}

TEST_F(RecoverySizeTest, ASizeForThisRunOnlyIsNeverStoredByALaterChange) {
    AddFile(u"icon.ico", u"", kUnknownSize, kIcoType, kFileFoundBySignature);
    ConfirmDestination();
    AnswerSize({"7"});
    EXPECT_TRUE(Run());
    EXPECT_EQ(IcoProbableKb(), 7);
    // A stored change of another format, as a check box of the Types page makes it.
    DataStorage->SetSearch(*DataStorage->IndexOf(DataStorage->FindByTitle("GIF")), true);
    ASSERT_TRUE(DataStorage->SaveToRegistry());

    FormatsUnitDone();
    FormatsUnitInit();
    EXPECT_EQ(IcoProbableKb(), 512);
    EXPECT_TRUE(DataStorage->FindByTitle("GIF")->Search);
}

TEST_F(RecoverySizeTest, SkipGoesOnCancelEndsTheRunDontAskStopsAsking) {
    AddFile(u"first.ico", u"", kUnknownSize, kIcoType, kFileFoundBySignature);
    AddFile(u"second.ico", u"", kUnknownSize, kIcoType, kFileFoundBySignature);
    ConfirmDestination();
    AnswerSize({"1", "UseForRadioButtonThisFileOnly", false, "BottomButtonCancel"});
    AnswerSize({"1", "UseForRadioButtonThisFileOnly", false, "BottomButtonOk"});
    EXPECT_TRUE(Run());
    EXPECT_FALSE(fs::exists(target() / "first.ico"));
    EXPECT_TRUE(Logged("File first.ico skipped"));
    EXPECT_EQ(LogLines().last(), QStringLiteral("Files recovered: 1 of 2. Skipped: 1 (when asked for its size)."));
    EXPECT_EQ(fs::file_size(target() / "second.ico"), 1024u);
    EXPECT_EQ(host.recovered[1], 1);

    for (const auto& element : elements) element->SetSize(kUnknownSize);
    ConfirmDestination();
    AnswerSize({"1", "UseForRadioButtonThisFileOnly", false, "Button1"});
    EXPECT_FALSE(Run());
    EXPECT_TRUE(Logged("Recovery aborted!"));

    // Don't ask: later files of unknown size take the default size unasked, as with the
    // auto-pilot.
    fs::remove_all(target());
    for (const auto& element : elements) element->SetSize(kUnknownSize);
    ConfirmDestination();
    AnswerSize({"2", "UseForRadioButtonThisFileOnly", true});
    EXPECT_TRUE(Run());
    EXPECT_EQ(fs::file_size(target() / "first.ico"), 2048u);
    EXPECT_EQ(fs::file_size(target() / "second.ico"), kIcoDefaultBytes);
    DontAskProbableSize = false;
    Settings().RecoveryAutoPilot = true;
    fs::remove_all(target());
    elements.front()->SetSize(kUnknownSize);
    EXPECT_TRUE(Run());
    EXPECT_EQ(fs::file_size(target() / "first.ico"), kIcoDefaultBytes);
}

TEST_F(RecoverySizeTest, AnUnknownSizeNeverReachesTheEngine) {
    Settings().RecoveryAutoPilot = true;
    AddFile(u"mystery.bin", u"", kUnknownSize, 999, kFileFoundBySignature);
    // A format whose probable size is no size leaves it unknown too.
    TFormat ico = *DataStorage->FindBySignatureId(kIcoType);
    ico.DefaultSizeKb = -4;
    DataStorage->ChangeFormat(*DataStorage->IndexOf(DataStorage->FindBySignatureId(kIcoType)), ico);
    AddFile(u"broken.ico", u"", kUnknownSize, kIcoType, kFileFoundBySignature);
    AddFile(u"known.ico", u"", 100, kIcoType, kFileFoundBySignature);
    EXPECT_TRUE(flow->DoRealRecovery(false));
    ASSERT_EQ(engine->Calls().size(), 1u);
    EXPECT_EQ(engine->Calls().front().size, 100u);
    EXPECT_TRUE(Logged("ERROR: Size of file mystery.bin is unknown, file skipped"));
    EXPECT_TRUE(Logged("ERROR: Size of file broken.ico is unknown, file skipped"));
    EXPECT_EQ(host.recovered[1], 1);
}

TEST_F(RecoverySizeTest, SizesBeyondTheDriveAreCutToIt) {
    Settings().RecoveryAutoPilot = true;
    _LDRIVE info{};
    info.TotalSectors = 64;  // 32 KiB
    info.FileSystemCode = 11;
    const auto drive = std::make_shared<const TRecoveryDrive>(info);
    TBaseElement& listed = AddFile(u"listed.bin", u"C:\\", 1ull << 40);
    listed.SetDrive(drive);
    TBaseElement& carved = AddFile(u"carved.bin", u"", 1ull << 40, 999, kFileFoundBySignature);
    carved.SetDrive(drive);
    carved.EngineRecord()->DataPosition = 30 * 1024;
    // The same 2 KiB before the end of a drive of 4 GiB + 32 KiB.
    info.TotalSectors = ((1ull << 32) + 32 * 1024) / 512;
    TBaseElement& high = AddFile(u"high.bin", u"", 64 * 1024, 999, kFileFoundBySignature);
    high.SetDrive(std::make_shared<const TRecoveryDrive>(info));
    high.EngineRecord()->DataPosition = (1ull << 32) + 30 * 1024;
    EXPECT_TRUE(flow->DoRealRecovery(false));
    EXPECT_EQ(fs::file_size(target() / "listed.bin"), 32u * 1024);
    EXPECT_EQ(fs::file_size(target() / "carved.bin"), 2u * 1024);
    EXPECT_EQ(fs::file_size(target() / "high.bin"), 2u * 1024);
    EXPECT_TRUE(Logged("WARNING: Size of file carved.bin passes the end of its drive, cut to 2,048 bytes"));
    EXPECT_EQ(host.recovered[1], 3);
}

}  // namespace
