// corpusgen: flies the generated replays of the replay corpus on the headless
// backend and writes each one only after playing it back and seeing its case
// happen. The same program run twice writes the same bytes: every flight is
// scripted, and its attempts are tried in a fixed order.
//   corpusgen OUT_DIR [CASE...]      (all cases when none is named)
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "case_flights.h"
#include "corpus/corpus_cases.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"

namespace {

// The game logs two lines per run and a flight may take dozens of runs:
// standard error goes nowhere while flying, except with --verbose.
class QuietStderr {
public:
    explicit QuietStderr(bool quiet) {
        if (!quiet) return;
        std::fflush(stderr);
        saved_ = ::dup(2);
        const int nowhere = ::open("/dev/null", O_WRONLY);
        if (saved_ >= 0 && nowhere >= 0) ::dup2(nowhere, 2);
        if (nowhere >= 0) ::close(nowhere);
    }
    ~QuietStderr() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1;
};

bool wanted(const std::vector<std::string>& names, const char* name) {
    if (names.empty()) return true;
    for (const std::string& wantedName : names) {
        if (wantedName == name) return true;
    }
    return false;
}

// Tries the case's attempts in order; true when one was written to outDir.
bool makeCase(const corpus::CorpusCase& corpusCase, const std::string& outDir, bool verbose) {
    const std::string file = outDir + "/" + corpusCase.name + ".bin";
    const std::string trial = file + ".try";
    int tried = 0;
    for (const corpusgen::Attempt& attempt :
         corpusgen::attemptsFor(corpusCase.name, corpusCase.stage, KVR_SOURCE_DIR)) {
        ++tried;
        corpus::RunNotes run;
        {
            QuietStderr quiet(!verbose);
            attempt.make(trial);
            run = corpus::playCorpusReplay(trial, corpusCase.stage, corpusCase.hiScore);
        }
        const std::string lacks = corpusCase.lacks(run);
        if (lacks.empty()) {
            std::filesystem::rename(trial, file);
            std::printf("%-28s %7lld bytes  %s  (%s, attempt %d)\n", corpusCase.name, run.replayBytes, run.line.c_str(),
                        attempt.label.c_str(), tried);
            return true;
        }
        if (verbose)
            std::printf("  %s, %s: no %s (%s)\n", corpusCase.name, attempt.label.c_str(), lacks.c_str(),
                        run.line.c_str());
    }
    std::filesystem::remove(trial);
    std::fprintf(stderr, "corpusgen: %s: none of %d attempts made its case happen\n", corpusCase.name, tried);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> names;
    std::string outDir;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
        } else if (outDir.empty()) {
            outDir = argv[i];
        } else {
            names.emplace_back(argv[i]);
        }
    }
    if (outDir.empty()) {
        std::fprintf(stderr, "usage: corpusgen [--verbose] OUT_DIR [CASE...]\n");
        return 2;
    }
    for (const std::string& name : names) {
        bool known = false;
        for (const corpus::CorpusCase& corpusCase : corpus::GENERATED_CASES) known = known || name == corpusCase.name;
        if (!known) {
            std::fprintf(stderr, "corpusgen: no case named %s\n", name.c_str());
            return 2;
        }
    }

    int failed = 0;
    try {
        std::filesystem::create_directories(outDir);
        Kiln_useHeadlessBackend(
            {.readResourceFiles = false, .writeRunLog = false, .logToStderr = true, .recordDrawCalls = false});
        Kiln_init("KVR2013", 640, 480, false, false);
        for (const corpus::CorpusCase& corpusCase : corpus::GENERATED_CASES) {
            if (wanted(names, corpusCase.name) && !makeCase(corpusCase, outDir, verbose)) ++failed;
        }
        Kiln_quit();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "corpusgen: %s\n", error.what());
        return 1;
    }
    return failed == 0 ? 0 : 1;
}
