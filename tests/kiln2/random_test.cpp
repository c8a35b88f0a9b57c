// The random generator (its hash, how a draw uses the two state words, the
// range rules), the global integer table and the degree-based sine.
#include <climits>
#include <cmath>
#include <set>
#include <vector>

#include "kiln2/random.h"
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

TEST(Psdes, PublishedCheckValues) {
    struct Case {
        uint32_t lwordIn, irwordIn, lwordOut, irwordOut;
    };
    const Case cases[] = {
        {1, 1, 0x604D1DCEu, 0x509C0C23u},
        {1, 99, 0xD97F8571u, 0xA66CB41Au},
        {99, 1, 0x7822309Du, 0x64300984u},
        {99, 99, 0xD7F376F0u, 0x59BA89EBu},
    };
    for (const Case& c : cases) {
        uint32_t lword = c.lwordIn;
        uint32_t irword = c.irwordIn;
        kilnPsdes(lword, irword);
        EXPECT_EQ(lword, c.lwordOut) << c.lwordIn << "," << c.irwordIn;
        EXPECT_EQ(irword, c.irwordOut) << c.lwordIn << "," << c.irwordIn;
    }
}

class Random : public HeadlessTest {
protected:
    void SetUp() override { start(noFiles()); }

    // The raw 32-bit draw: the widest range leaves it unchanged below 2^32 - 1.
    static uint32_t rawDraw() {
        const int value = Kiln_rand(INT_MIN, INT_MAX);
        return static_cast<uint32_t>(static_cast<int64_t>(value) - INT_MIN);
    }
};

TEST_F(Random, DrawHashesSeedAndIndexThenMovesTheIndexOn) {
    Kiln_srand(1, 1);
    EXPECT_EQ(rawDraw(), 0x509C0C23u);
    EXPECT_EQ(Kiln_getRandIndex(), 2u);
    Kiln_srand(99, 1);
    EXPECT_EQ(rawDraw(), 0x64300984u);
    Kiln_srand(99, 98);
    rawDraw();
    EXPECT_EQ(rawDraw(), 0x59BA89EBu) << "the second draw uses index 99";
}

TEST_F(Random, EmptyRangeReturnsMinusOneWithoutDrawing) {
    Kiln_srand(733, 17);
    EXPECT_EQ(Kiln_rand(5, 5), -1);
    EXPECT_EQ(Kiln_rand(6, 5), -1);
    EXPECT_EQ(Kiln_getRandIndex(), 17u);
    EXPECT_EQ(Kiln_rand(0, 1), 0);
    EXPECT_EQ(Kiln_getRandIndex(), 18u);
}

TEST_F(Random, ValuesStayInsideTheRangeAndReachBothEnds) {
    Kiln_srand(12345, 0);
    std::set<int> seen;
    for (int i = 0; i < 20000; ++i) {
        const int value = Kiln_rand(-64, 64);
        ASSERT_GE(value, -64);
        ASSERT_LE(value, 63);
        seen.insert(value);
    }
    EXPECT_EQ(seen.size(), 128u);
}

TEST_F(Random, SameSeedGivesTheSameSequence) {
    Kiln_srand(733, 17);
    std::vector<int> first;
    for (int i = 0; i < 50; ++i) first.push_back(Kiln_rand(0, 1000));
    Kiln_rand(0, 1000);
    Kiln_srand(733, 17);
    std::vector<int> second;
    for (int i = 0; i < 50; ++i) second.push_back(Kiln_rand(0, 1000));
    EXPECT_EQ(first, second);
    EXPECT_NE(std::set<int>(first.begin(), first.end()).size(), 1u);
}

TEST_F(Random, AScopeLendsItsGeneratorToTheDrawsAndGivesThePreviousOneBack) {
    Kiln_srand(733, 17);
    KilnRandom run{1252, 14};
    {
        KilnRandomScope scope(run);
        EXPECT_EQ(Kiln_getRandIndex(), 14u);
        Kiln_rand(0, 10);
        Kiln_rand(0, 10);
        KilnRandom inner{0, 500};
        {
            KilnRandomScope nested(inner);
            Kiln_srand(9, 900);
            Kiln_rand(0, 10);
        }
        EXPECT_EQ(inner.seed, 9u) << "Kiln_srand seeds the active generator";
        EXPECT_EQ(inner.index, 901u);
        EXPECT_EQ(Kiln_getRandIndex(), 16u) << "the outer scope's generator is active again";
    }
    EXPECT_EQ(run.index, 16u);
    EXPECT_EQ(run.seed, 1252u);
    EXPECT_EQ(Kiln_getRandIndex(), 17u) << "the process's own generator did not move";
}

TEST_F(Random, TwoRunsDrawingInTurnGetTheSequencesEachGetsAlone) {
    auto alone = [](KilnRandom generator) {
        KilnRandomScope scope(generator);
        std::vector<int> drawn;
        for (int i = 0; i < 40; ++i) drawn.push_back(Kiln_rand(0, 1 << 30));
        return drawn;
    };
    const std::vector<int> firstAlone = alone({733, 17});
    const std::vector<int> secondAlone = alone({733, 18});  // one step apart: the worst case for sharing

    KilnRandom first{733, 17};
    KilnRandom second{733, 18};
    std::vector<int> firstInTurn, secondInTurn;
    for (int i = 0; i < 40; ++i) {
        {
            KilnRandomScope scope(first);
            firstInTurn.push_back(Kiln_rand(0, 1 << 30));
        }
        KilnRandomScope scope(second);
        secondInTurn.push_back(Kiln_rand(0, 1 << 30));
    }
    EXPECT_EQ(firstInTurn, firstAlone);
    EXPECT_EQ(secondInTurn, secondAlone);
}

TEST_F(Random, GlobalTableBounds) {
    Kiln_setGlobalInt(0, 11);
    Kiln_setGlobalInt(1023, -5);
    EXPECT_EQ(Kiln_getGlobalInt(0), 11);
    EXPECT_EQ(Kiln_getGlobalInt(1023), -5);
    EXPECT_EQ(errorOf([] { Kiln_setGlobalInt(1024, 1); }), "Kiln_setGlobalInt: index out of range: 1024");
    EXPECT_EQ(errorOf([] { Kiln_setGlobalInt(-1, 1); }), "Kiln_setGlobalInt: index out of range: -1");
    EXPECT_EQ(errorOf([] { (void)Kiln_getGlobalInt(1024); }), "Kiln_getGlobalInt: index out of range: 1024");
    EXPECT_EQ(Kiln_getGlobalInt(1023), -5);
}

TEST(Trig, DegreesInExtendedPrecision) {
    EXPECT_EQ(Kiln_sin(90.0f), 1.0L);
    EXPECT_EQ(Kiln_cos(0.0f), 1.0L);
    // A double-precision sine of 30 degrees is off by about 5e-17; the
    // extended one is far closer.
    EXPECT_LT(fabsl(Kiln_sin(30.0f) - 0.5L), 1e-18L);
    EXPECT_LT(fabsl(Kiln_cos(60.0f) - 0.5L), 1e-18L);
    EXPECT_LT(fabsl(Kiln_cos(90.0f)), 1e-18L);
    EXPECT_LT(fabsl(Kiln_sin(-45.0f) + sqrtl(0.5L)), 1e-18L);
}

}  // namespace
