// Extra controller mappings from the player's file and environment: good
// lines reach the platform in order, each damaged line is skipped with one
// log line naming where it was, and start-up always goes on.
#include "kiln2/controllers.h"
#include "kiln2/kiln_state.h"
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

const std::string GOOD_PAD = "030000005e0400008e02000014010000,Good Pad,a:b0,b:b1,start:b7,platform:Linux,";
const std::string OTHER_PAD = "05000000c82d00000161000000010000,Other Pad,a:b1,b:b0,dpup:h0.1,leftx:a0,lefty:a1,";

class ControllerMappings : public HeadlessTest {
protected:
    // Starts the framework with mapping file contents and environment text.
    void startWith(const std::string& file, const std::string& environment = "") {
        kiln_headless::reset();
        Kiln_useHeadlessBackend(noFiles());
        if (!file.empty()) std::ofstream("gamecontrollerdb.txt") << file;
        kiln_headless::setEnvironmentMappings(environment);
        Kiln_setControllerMappingFile("gamecontrollerdb.txt");
        Kiln_init("test", 640, 480, false, false);
    }
};

TEST_F(ControllerMappings, TheShapeOfAMappingLine) {
    EXPECT_EQ(kilnMappingLineProblem(GOOD_PAD), "");
    EXPECT_EQ(kilnMappingLineProblem(OTHER_PAD), "");
    EXPECT_EQ(kilnMappingLineProblem("garbage"), "it does not start with a 32-digit GUID");
    EXPECT_EQ(kilnMappingLineProblem("03000000,Short Guid,a:b0"), "it does not start with a 32-digit GUID");
    EXPECT_EQ(kilnMappingLineProblem("030000005e0400008e0200001401000g,Bad Digit,a:b0"),
              "it does not start with a 32-digit GUID");
    EXPECT_EQ(kilnMappingLineProblem("030000005e0400008e02000014010000"), "no controller name after the GUID");
    EXPECT_EQ(kilnMappingLineProblem("030000005e0400008e02000014010000, ,a:b0"), "no controller name after the GUID");
    EXPECT_EQ(kilnMappingLineProblem("030000005e0400008e02000014010000,No Bindings,,"), "no bindings after the name");
    EXPECT_EQ(kilnMappingLineProblem("030000005e0400008e02000014010000,Pad,a:b0,b1"), "'b1' is not a key:value binding");
    EXPECT_EQ(kilnMappingLineProblem("030000005e0400008e02000014010000,Pad,:b0"), "':b0' is not a key:value binding");
    EXPECT_EQ(kilnMappingLineProblem("030000005e0400008e02000014010000,Pad,a:"), "'a:' is not a key:value binding");
    EXPECT_EQ(kilnMappingLineProblem(GOOD_PAD + std::string(3000, 'x')), "longer than any mapping");
}

TEST_F(ControllerMappings, EachDamagedLineOfTheFileIsOneLogLineAndTheRestIsAdded) {
    startWith("# mappings for my pads\n\n" + GOOD_PAD + "\r\nthis is not a mapping\n" + OTHER_PAD +
              "\n030000005e0400008e02000014010000,Pad,a:b0,\x01\x02\n");
    EXPECT_EQ(kiln_headless::controllerMappings(), (std::vector<std::string>{GOOD_PAD, OTHER_PAD}));
    EXPECT_EQ(readFile("run.log"),
              "Controller mappings: gamecontrollerdb.txt line 4 skipped: it does not start with a 32-digit GUID\n"
              "Controller mappings: gamecontrollerdb.txt line 6 skipped: '?" "?' is not a key:value binding\n");
    EXPECT_TRUE(kilnState().initialized) << "start-up went on";
}

TEST_F(ControllerMappings, TheEnvironmentComesFirstAndIsNamedInTheLog) {
    startWith(OTHER_PAD + "\n", GOOD_PAD + "\nbroken,line\n");
    EXPECT_EQ(kiln_headless::controllerMappings(), (std::vector<std::string>{GOOD_PAD, OTHER_PAD}));
    EXPECT_EQ(readFile("run.log"),
              "Controller mappings: SDL_GAMECONTROLLERCONFIG line 2 skipped: it does not start with a 32-digit "
              "GUID\n");
}

TEST_F(ControllerMappings, NoFileIsNoProblem) {
    startWith("");
    EXPECT_TRUE(kiln_headless::controllerMappings().empty());
    EXPECT_FALSE(std::filesystem::exists("run.log"));
}

TEST_F(ControllerMappings, ALineThePlatformRefusesIsSkippedWithItsReason) {
    kiln_headless::reset();
    Kiln_useHeadlessBackend(noFiles());
    kiln_headless::refuseControllerMappings("Couldn't parse mapping");
    std::ofstream("gamecontrollerdb.txt") << GOOD_PAD << "\n";
    Kiln_setControllerMappingFile("gamecontrollerdb.txt");
    Kiln_init("test", 640, 480, false, false);
    EXPECT_EQ(readFile("run.log"),
              "Controller mappings: gamecontrollerdb.txt line 1 skipped: Couldn't parse mapping\n");
}

TEST_F(ControllerMappings, ADirectoryInThePlaceOfTheFileIsPassedOver) {
    std::filesystem::create_directory("gamecontrollerdb.txt");
    kiln_headless::reset();
    Kiln_useHeadlessBackend(noFiles());
    Kiln_setControllerMappingFile("gamecontrollerdb.txt");
    Kiln_init("test", 640, 480, false, false);
    EXPECT_TRUE(kiln_headless::controllerMappings().empty());
}

}  // namespace
