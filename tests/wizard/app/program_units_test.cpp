// Unit start-up and shut-down: in order, in reverse, on every way out.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "wizard/app/engine_unit.h"
#include "wizard/app/program_units.h"
#include "wizard/support/scripted_engine.h"
#include "wizard/utilities/program_halt.h"

namespace {

std::vector<std::string> journal;

void startA() { journal.push_back("start A"); }
void startB() { journal.push_back("start B"); }
void startC() { journal.push_back("start C"); }
void finishA() { journal.push_back("finish A"); }
void finishC() { journal.push_back("finish C"); }
void startFails() {
    journal.push_back("start fails");
    throw std::runtime_error("no settings");
}
void finishFails() {
    journal.push_back("finish fails");
    throw std::runtime_error("read-only store");
}

using Journal = std::vector<std::string>;

class ProgramUnitsTest : public ::testing::Test {
protected:
    void SetUp() override { journal.clear(); }
};

TEST_F(ProgramUnitsTest, StartInOrderAndFinishInReverseSkippingMissingWork) {
    const ProgramUnit units[] = {{"a", startA, finishA}, {"b", startB, nullptr},
                                 {"c", startC, finishC}, {"none", nullptr, nullptr}};
    {
        const RunningUnits running(units);
        EXPECT_EQ(journal, (Journal{"start A", "start B", "start C"}));
    }
    EXPECT_EQ(journal, (Journal{"start A", "start B", "start C", "finish C", "finish A"}));
}

TEST_F(ProgramUnitsTest, AFailedStartFinishesTheUnitsAlreadyStartedAndPassesTheFailureOn) {
    const ProgramUnit units[] = {{"a", startA, finishA}, {"failing", startFails, finishC},
                                 {"b", startB, finishA}};
    EXPECT_THROW(RunningUnits running(units), std::runtime_error);
    EXPECT_EQ(journal, (Journal{"start A", "start fails", "finish A"}));
}

TEST_F(ProgramUnitsTest, AHaltOrAnExceptionInTheRunStillFinishesEveryUnit) {
    const ProgramUnit units[] = {{"a", startA, finishA}, {"c", startC, finishC}};
    const auto run = [&](auto leave) {
        journal.clear();
        try {
            const RunningUnits running(units);
            leave();
        } catch (const ProgramHalt& halt) {
            journal.push_back("halt " + std::to_string(halt.exitCode()));
        } catch (const std::exception&) {
            journal.push_back("exception");
        }
        return journal;
    };
    EXPECT_EQ(run([] { throw ProgramHalt(3); }),
              (Journal{"start A", "start C", "finish C", "finish A", "halt 3"}));
    EXPECT_EQ(run([] { throw std::logic_error("bug"); }),
              (Journal{"start A", "start C", "finish C", "finish A", "exception"}));
}

TEST_F(ProgramUnitsTest, AFailingFinishDoesNotKeepTheOthersFromFinishing) {
    const ProgramUnit units[] = {{"a", startA, finishA}, {"settings", startB, finishFails},
                                 {"c", startC, finishC}};
    { const RunningUnits running(units); }
    EXPECT_EQ(journal, (Journal{"start A", "start B", "start C", "finish C", "finish fails",
                                "finish A"}));
}

TEST(EngineUnit, HandsTheEngineOneLastingZeroFilledKeyBuffer) {
    const ScriptedEngine engine({});
    UndellibClassesInit();
    const char16_t* key = engine.registryKey();
    ASSERT_NE(key, nullptr);
    const std::u16string_view expected = u"\\Software\\Kelvorin\\Pramblex";
    EXPECT_EQ(std::u16string_view(key), expected);
    for (std::size_t unit = expected.size(); unit < 4097; ++unit) {
        ASSERT_EQ(key[unit], u'\0') << unit;
    }
    // The engine keeps the address: it is the same buffer every time.
    UndellibClassesInit();
    EXPECT_EQ(engine.registryKey(), key);
    EXPECT_EQ(engine.calls("Library_Initialize"), 2);
}

}  // namespace
