// The platform version probe, on simulated machines of every family the probe knows.
#include "cnxassist/platform_version.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/cnxassist/wizard_machine.h"

namespace {

constexpr const char* kProductOptions = "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

class PlatformVersionProbe : public ::testing::Test {
  protected:
    void SetUp() override { cnxtest::FreshWizardMachine(); }

    static void SetSystem(plat::Dword major, plat::Dword minor, plat::Dword build,
                          plat::Dword platformId, bool hasGetVersionEx = true) {
        sim::MachineSettings settings = sim::Machine::Current().Settings();
        settings.major = major;
        settings.minor = minor;
        settings.build = build;
        settings.platformId = platformId;
        settings.servicePack = "Service Pack 6";
        settings.hasGetVersionEx = hasGetVersionEx;
        sim::Machine::Current().SetSettings(settings);
    }
    static void SetProductType(const char* type) {
        ASSERT_TRUE(
            testsupport::WriteText(plat::kHkeyLocalMachine, kProductOptions, "ProductType", type));
    }
    static PlatformVersion Fresh() {
        PlatformVersion version{};
        version.size = sizeof version;
        return version;
    }
};

TEST_F(PlatformVersionProbe, Windows98KeepsItsValuesAndTheLowWordOfItsBuild) {
    SetSystem(4, 10, 0x040A08AE, 1);
    PlatformVersion version = Fresh();
    ASSERT_TRUE(GetPlatformVersion(&version));
    EXPECT_EQ(version.major, 4u);
    EXPECT_EQ(version.minor, 10u);
    EXPECT_EQ(version.build, 0x08AEu);
    EXPECT_EQ(version.platformCode, 1u);
    EXPECT_STREQ(version.text, "Service Pack 6");
    EXPECT_EQ(version.displayMajor, 4u);
    EXPECT_EQ(version.displayMinor, 10u);
    EXPECT_EQ(version.displayBuild, 0x08AEu);
    EXPECT_EQ(version.displayPlatformCode, 1u);
    EXPECT_STREQ(version.displayText, "Service Pack 6");
}

TEST_F(PlatformVersionProbe, NtProductTypeGivesTheCodeWithoutRegardToCase) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"WINNT", 2},    {"winnt", 2},    {"SERVERNT", 6},  {"ServerNT", 6},
        {"LANMANNT", 6}, {"lanmannt", 6}, {"ENTERPRISE", 2}};
    SetSystem(4, 0, 1381, 2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        SetProductType(c.first);
        PlatformVersion version = Fresh();
        ASSERT_TRUE(GetPlatformVersion(&version));
        EXPECT_EQ(version.platformCode, c.second);
        EXPECT_EQ(version.displayPlatformCode, c.second);
    }
    // Without the value the code stays the one the system gave.
    ASSERT_EQ(plat::RegDeleteKey(plat::kHkeyLocalMachine, kProductOptions), plat::kErrorSuccess);
    PlatformVersion version = Fresh();
    ASSERT_TRUE(GetPlatformVersion(&version));
    EXPECT_EQ(version.platformCode, 2u);
}

TEST_F(PlatformVersionProbe, Win32sShowsItselfAsWindows310) {
    SetSystem(1, 30, 0x1234, 0);
    PlatformVersion version = Fresh();
    ASSERT_TRUE(GetPlatformVersion(&version));
    EXPECT_EQ(version.major, 1u);
    EXPECT_EQ(version.minor, 30u);
    EXPECT_EQ(version.platformCode, 0u);
    EXPECT_EQ(version.displayMajor, 3u);
    EXPECT_EQ(version.displayMinor, 10u);
    EXPECT_EQ(version.displayBuild, 0u);
    EXPECT_EQ(version.displayPlatformCode, 3u);
    EXPECT_STREQ(version.displayText, "Microsoft Windows");
}

TEST_F(PlatformVersionProbe, RecordOfAnotherSizeOrAnUnknownPlatformIsRefused) {
    SetSystem(4, 10, 2222, 1);
    for (std::uint32_t size : {0u, 291u, 293u, 148u}) {
        SCOPED_TRACE(size);
        PlatformVersion version = Fresh();
        version.size = size;
        EXPECT_FALSE(GetPlatformVersion(&version));
    }
    SetSystem(5, 0, 2195, 3);
    PlatformVersion version = Fresh();
    EXPECT_FALSE(GetPlatformVersion(&version));
}

TEST_F(PlatformVersionProbe, WithoutGetVersionExTheProductTypeDecides) {
    SetSystem(3, 51, 1057, 2, false);
    // Here a workstation is known only by its product type.
    for (const char* workstation : {"WINNT", "WinNT"}) {
        SCOPED_TRACE(workstation);
        SetProductType(workstation);
        PlatformVersion version = Fresh();
        ASSERT_TRUE(GetPlatformVersion(&version));
        EXPECT_EQ(version.platformCode, 2u);
    }
    SetProductType("LanmanNT");
    PlatformVersion version = Fresh();
    ASSERT_TRUE(GetPlatformVersion(&version));
    EXPECT_EQ(version.major, 3u);
    EXPECT_EQ(version.minor, 51u);
    EXPECT_EQ(version.build, 0u);
    EXPECT_EQ(version.platformCode, 6u);
    EXPECT_EQ(version.displayPlatformCode, 6u);
    EXPECT_STREQ(version.text, "Microsoft Windows NT");
    EXPECT_STREQ(version.displayText, "Microsoft Windows NT");
    EXPECT_EQ(version.displayMinor, 51u);

    // There the product type must be readable.
    ASSERT_EQ(plat::RegDeleteKey(plat::kHkeyLocalMachine, kProductOptions), plat::kErrorSuccess);
    version = Fresh();
    EXPECT_FALSE(GetPlatformVersion(&version));
    SetProductType("Workstation");
    version = Fresh();
    EXPECT_FALSE(GetPlatformVersion(&version));
}

}  // namespace
