// Link labels: the scheme put in front of the shown text, and when not.

#include <gtest/gtest.h>

#include "dialogs/LinkAddress.h"

namespace {

struct LinkCase {
    const char* name;
    TLinkKind kind;
    const char* text;
    const char* address;
};

class LinkAddressTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkAddressTest, BuildsTheAddress) {
    const LinkCase& c = GetParam();
    EXPECT_EQ(LinkAddress(QString::fromLatin1(c.text), c.kind), QString::fromLatin1(c.address));
}

INSTANTIATE_TEST_SUITE_P(
    Links, LinkAddressTest,
    ::testing::Values(
        LinkCase{"BareHostGetsWebScheme", TLinkKind::Web, "www.vantrelle.example",
                 "http://www.vantrelle.example"},
        LinkCase{"WebSchemeKept", TLinkKind::Web, "http://a.example", "http://a.example"},
        LinkCase{"UpperCaseWebSchemeKept", TLinkKind::Web, "HTTP://A.example", "HTTP://A.example"},
        LinkCase{"MixedCaseWebSchemeKept", TLinkKind::Web, "hTtP://a.example", "hTtP://a.example"},
        LinkCase{"SecureSchemeNotDoubled", TLinkKind::Web, "HTTPS://a.example",
                 "HTTPS://a.example"},
        LinkCase{"SchemeWithoutSlashesIsNotTheScheme", TLinkKind::Web, "http:a.example",
                 "http://http:a.example"},
        LinkCase{"BareMailGetsMailto", TLinkKind::Mail, "desk@vantrelle.example",
                 "mailto:desk@vantrelle.example"},
        LinkCase{"UpperMailtoKept", TLinkKind::Mail, "MAILTO:desk@vantrelle.example",
                 "MAILTO:desk@vantrelle.example"},
        LinkCase{"LowerMailtoKept", TLinkKind::Mail, "mailto:desk@vantrelle.example",
                 "mailto:desk@vantrelle.example"},
        LinkCase{"MailWithWebSchemeStillGetsMailto", TLinkKind::Mail, "http://x.example",
                 "mailto:http://x.example"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
