// The deployment shape: the packaged nginx site in front of kvr2013-scores
// with TLS. A client that trusts the site's CA reaches the server through
// it; one that trusts only another CA is refused before any request.
#include <gtest/gtest.h>

#include "e2e_support.h"
#include "tls_front.h"
#include "world_server.h"

namespace e2e {
namespace {

TEST(Deployment, ThePackagedNginxSiteCarriesTheServerOverTlsToClientsThatTrustItsCa) {
    WorkDir dir(WorkDir::NoResources);
    if (scoreServerBinary().empty()) GTEST_SKIP() << "this build has no score server";
    WorldServer server(dir / "server");
    ASSERT_TRUE(server.started()) << server.errors();
    TlsFront front(dir.path(), server.url());
    const std::string health = shellQuote(front.url() + "/healthz");

    int status = -1;
    const std::string trusted =
        runCommand("curl -sS --max-time 10 --cacert " + shellQuote(front.caFile().string()) + " " + health + " 2>&1", &status);
    EXPECT_EQ(status, 0) << trusted;
    EXPECT_NE(trusted.find("\"ok\""), std::string::npos) << trusted;

    const std::string stranger = runCommand(
        "curl -sS --max-time 10 --cacert " + shellQuote(front.strangerCaFile().string()) + " " + health + " 2>&1", &status);
    EXPECT_EQ(status, 60) << "curl's 'peer certificate cannot be authenticated': " << stranger;
}

}  // namespace
}  // namespace e2e
