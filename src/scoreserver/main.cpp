// kvr2013-scores: the world score server, its command-line client and its
// administration, one executable with a subcommand each.
#include <cstdio>
#include <cstring>

#include "scoreclient/submit_command.h"
#include "scoreserver/admin_command.h"
#include "scoreserver/serve_command.h"

namespace {
const char* const kUsage =
    "usage: kvr2013-scores serve [--listen HOST:PORT] [--database URL] [--web DIR] ...\n"
    "       kvr2013-scores submit --server URL --key FILE --name NAME --stage S --replay FILE\n"
    "       kvr2013-scores admin [--database URL] remove RUN --reason TEXT | ban PLAYER --reason TEXT | reverify [--stage S]\n";
}

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "serve") == 0) return scoreserver::runServeCommand(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "admin") == 0) return scoreserver::runAdminCommand(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "submit") == 0) return runSubmitCommand(argc, argv);
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::fputs(kUsage, stderr);
    return 2;
}
