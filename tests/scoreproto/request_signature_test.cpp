// A signed request verifies only with the very text, key and signature that
// made it; the key file keeps a player's identity private and whole.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "scoreproto/request_signature.h"

namespace {

using scoreproto::signingText;

std::string flipLastHexDigit(std::string hex) {
    hex.back() = hex.back() == '0' ? '1' : '0';
    return hex;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

TEST(RequestSignature, TheDigestIsStandardSha256InLowercaseHex) {
    EXPECT_EQ(scoreproto::sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(signingText("POST", "/api/v1/runs?stage=1", "1700000000", "00ff", "abc"),
              "POST\n/api/v1/runs?stage=1\n1700000000\n00ff\n" + scoreproto::sha256Hex("abc"));
}

TEST(RequestSignature, VerifiesOnlyTheSignedTextUnderTheSigningKey) {
    const auto key = scoreproto::generatePlayerKey();
    const auto other = scoreproto::generatePlayerKey();
    const std::string nonce = scoreproto::randomNonceHex();
    const std::string text = signingText("POST", "/api/v1/runs?stage=0", "1700000000", nonce, "replay");
    const std::string signature = scoreproto::signHex(key, text);
    ASSERT_EQ(key.publicHex.size(), 64u);
    ASSERT_EQ(signature.size(), 128u);
    ASSERT_EQ(nonce.size(), 32u);
    EXPECT_NE(nonce, scoreproto::randomNonceHex());

    struct Case {
        const char* what;
        std::string publicHex, text, signature;
        bool valid;
    };
    const Case cases[] = {
        {"as signed", key.publicHex, text, signature, true},
        {"another method", key.publicHex, signingText("PUT", "/api/v1/runs?stage=0", "1700000000", nonce, "replay"), signature, false},
        {"another query", key.publicHex, signingText("POST", "/api/v1/runs?stage=1", "1700000000", nonce, "replay"), signature, false},
        {"another timestamp", key.publicHex, signingText("POST", "/api/v1/runs?stage=0", "1700000001", nonce, "replay"), signature, false},
        {"another nonce", key.publicHex, signingText("POST", "/api/v1/runs?stage=0", "1700000000", flipLastHexDigit(nonce), "replay"), signature, false},
        {"another body", key.publicHex, signingText("POST", "/api/v1/runs?stage=0", "1700000000", nonce, "replaz"), signature, false},
        {"another player's key", other.publicHex, text, signature, false},
        {"a key with one digit changed", flipLastHexDigit(key.publicHex), text, signature, false},
        {"a signature with one digit changed", key.publicHex, text, flipLastHexDigit(signature), false},
        {"an uppercase signature", key.publicHex, text, upper(signature), false},
        {"an uppercase key", upper(key.publicHex), text, signature, false},
        {"a short signature", key.publicHex, text, signature.substr(0, 126), false},
        {"a long key", key.publicHex + "00", text, signature, false},
        {"a signature with a non-hex digit", key.publicHex, text, signature.substr(0, 127) + "g", false},
        {"an empty signature", key.publicHex, text, "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(scoreproto::verifySignatureHex(c.publicHex, c.text, c.signature), c.valid) << c.what;
    }
}

TEST(RequestSignature, TimestampsAreDecimalDigitsOnly) {
    const std::pair<const char*, bool> cases[] = {{"1700000000", true}, {"0", true},   {"", false},
                                                  {"-5", false},        {"+5", false}, {"17e8", false},
                                                  {" 1", false},        {"99999999999999999999", false}};
    for (const auto& [text, valid] : cases) {
        long long seconds = -1;
        EXPECT_EQ(scoreproto::parseTimestamp(text, seconds), valid) << text;
        if (valid) {
            EXPECT_EQ(std::to_string(seconds), text);
        }
    }
}

class PlayerKeyFile : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kvr-keyfile-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void write(const std::string& file, const std::string& text) { std::ofstream(file) << text; }
    std::string dir;
};

TEST_F(PlayerKeyFile, IsPrivateReplacesTheOldFileAndSignsAsTheSavedKey) {
    const std::string file = dir + "/player.key";
    write(file, "old\n");
    ::chmod(file.c_str(), 0644);
    const auto key = scoreproto::generatePlayerKey();
    scoreproto::savePlayerKey(file, key);

    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "a temporary file was left";
    const auto loaded = scoreproto::loadPlayerKey(file);
    EXPECT_EQ(loaded.publicHex, key.publicHex);
    EXPECT_TRUE(scoreproto::verifySignatureHex(key.publicHex, "text", scoreproto::signHex(loaded, "text")));
}

TEST_F(PlayerKeyFile, ABrokenFileIsRefusedWithItsName) {
    const auto key = scoreproto::generatePlayerKey();
    const auto other = scoreproto::generatePlayerKey();
    const std::string good = dir + "/good.key";
    scoreproto::savePlayerKey(good, key);
    std::ifstream in(good);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    const std::string secretLine = text.substr(text.find("secret "));

    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"no secret", "public " + key.publicHex + "\n"},
        {"halves of two keys", "public " + other.publicHex + "\n" + secretLine},
        {"a cut secret", "public " + key.publicHex + "\n" + secretLine.substr(0, 100) + "\n"},
        {"an unknown line", "public " + key.publicHex + "\n" + secretLine + "colour red\n"},
    };
    for (const auto& [what, contents] : cases) {
        const std::string file = dir + "/broken.key";
        write(file, contents);
        try {
            scoreproto::loadPlayerKey(file);
            ADD_FAILURE() << what << ": loaded";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(file), std::string::npos) << what << ": " << error.what();
        }
    }
    EXPECT_THROW(scoreproto::loadPlayerKey(dir + "/missing.key"), std::runtime_error);
}

}  // namespace
