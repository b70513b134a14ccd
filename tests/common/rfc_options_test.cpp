#include "common/rfc_options.h"

#include <gtest/gtest.h>

#include <string>

namespace {

zmo::ServerLine Server(const char* client, const char* language) {
  zmo::ServerLine s;
  s.host = "/H/router/H/app01";
  s.user = "collector";
  s.password = "scrambled";
  s.sid = "PRD";
  s.client = client;
  s.sysnr = 7;
  s.language = language;
  return s;
}

TEST(RfcOptions, OneServerLineWithOrWithoutDefaults) {
  const struct {
    const char* client;
    const char* language;
    const char* default_client;  // nullptr: none
    const char* default_language;
    const char* want_client;
    const char* want_language;
  } cases[] = {
      {"100", "D", "000", "E", "100", "D"}, {"", "", "000", "E", "000", "E"},
      {"", "D", "000", "E", "000", "D"},    {"100", "", nullptr, nullptr, "100", ""},
      {"", "", nullptr, nullptr, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("client <") + c.client + "> language <" + c.language + "> " +
                 (c.default_client != nullptr ? "with defaults" : "without"));
    const zmo::ServerLine server = Server(c.client, c.language);
    zmo::RfcServerOptions o;
    zmo::fillRfcOptions(server, "secret", c.default_client, c.default_language, &o);
    EXPECT_STREQ(o.options.destination, "PRD");
    EXPECT_EQ(o.options.mode, RFC_MODE_R3ONLY);
    EXPECT_EQ(o.options.connopt, &o.connection);
    EXPECT_STREQ(o.options.client, c.want_client);
    EXPECT_STREQ(o.options.user, "collector");
    EXPECT_STREQ(o.options.password, "secret");
    EXPECT_STREQ(o.options.language, c.want_language);
    EXPECT_EQ(o.options.trace, 0);
    EXPECT_STREQ(o.connection.hostname, "/H/router/H/app01");
    EXPECT_EQ(o.connection.sysnr, 7);
    EXPECT_EQ(o.connection.gateway_host, nullptr);
    EXPECT_EQ(o.connection.gateway_service, nullptr);
  }
}

TEST(RfcOptions, NoPasswordIsAnEmptyOneAndNothingStaysFromTheLastServer) {
  zmo::RfcServerOptions o;
  const zmo::ServerLine first = Server("100", "D");
  zmo::fillRfcOptions(first, "secret", nullptr, nullptr, &o);
  const zmo::ServerLine second = Server("", "");
  zmo::fillRfcOptions(second, nullptr, "000", "E", &o);
  EXPECT_STREQ(o.options.password, "");
  EXPECT_STREQ(o.options.client, "000");
  EXPECT_STREQ(o.options.language, "E");
}

}  // namespace
