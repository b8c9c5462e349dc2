// The InitModem step on the simulated machine: on Windows 95 the provider's dialling location
// in telephon.ini (made, refreshed, made current), on Windows 98 the access prefix of the
// registry's current location. The step moves on by itself; a failure ends the run.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <regex>
#include <string>
#include <system_error>
#include <vector>

#include "cnxassist/etape_init_modem.h"
#include "cnxassist/etapes_inscription.h"
#include "cnxassist/resource_ids.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "tests/cnxassist/wizard_fixture.h"

namespace {

using cnxtest::KeyExists;
using cnxtest::ReadValue;
using cnxtest::WriteKitFile;

constexpr const char* kModemError = "Problèmes lors de la configuration du modem";
constexpr const char* kDefaultCountry = "33,34,\"France\",\"0FG\",\"0FG\",\"00EFG\"";
constexpr const char* kAbsent = "(absent)";

// Two locations, the second one current; neither is the provider's.
constexpr const char* kHomeEntry = "0,\"Maison\",\"\",\"\",\"01\",33,0,0,1,\"\",0,\"\"";
constexpr const char* kOfficeEntry = "3,\"Bureau\",\"9\",\"8\",\"04\",41,1,0,0,\"1234\",0,\"\"";

std::string LocationsSection(const std::string& locations, const std::string& current,
                             const std::string& entries) {
    return "[Locations]\r\nLocations=" + locations + "\r\nCurrentLocation=" + current + "\r\n" +
           entries;
}

std::string TwoLocations() {
    return LocationsSection(
        "2,5", "3,1",
        std::string("Location0=") + kHomeEntry + "\r\nLocation1=" + kOfficeEntry + "\r\n");
}

// The provider's location built with `prefix` from a location of area code `areaCode` whose
// fields after the country are `rest`.
std::string ModemEntry(int id, const std::string& prefix, const std::string& areaCode,
                       const std::string& rest) {
    return std::to_string(id) + ",\"Emplacement modem pour Telvora\",\"" + prefix + "\",\"" +
           prefix + "\",\"" + areaCode + "\",33," + rest;
}

std::string LocalNow() {
    char text[32];
    std::time_t now = std::time(nullptr);
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    return text;
}

class ModemStepTest : public cnxtest::WizardTest {
  protected:
    void SetUp() override {
        WizardTest::SetUp();
        if (HasFatalFailure()) return;
        folder_ = sim::Machine::Current().Folder();
        g_dialPrefix = "0,";
        char windows[260];
        plat::Dword n = plat::GetWindowsDirectory(windows, sizeof windows);
        ASSERT_GT(n, 0u);
        telephonPath_ = std::string(windows, n) + "\\telephon.ini";
    }
    void TearDown() override {
        WizardTest::TearDown();
        g_dialPrefix = "";
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // IdentWindow, the step, then a plain step whose Previous button is enabled.
    static std::string Steps(const std::string& modemKeys = "") {
        return cnxtest::GeneralSection() + cnxtest::IdentWindowSection("InitModem1") +
               "[InitModem1]\r\nSuivants=Etape2\r\n" + modemKeys +
               "[Etape2]\r\nSuivants=Etape2\r\nPresencePrecedent=2\r\n";
    }
    void Run(const std::string& modemKeys = "") {
        WriteKitFile("cfg.ini", Steps(modemKeys));
        Start();
    }
    // A second run of the wizard in the same test.
    void RunAgain() {
        cnx::EndWizard();
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        Start();
    }
    void WriteTelephon(const std::string& text) {
        ASSERT_TRUE(plat::WriteWholeFile(telephonPath_.c_str(), text));
    }
    static std::string Telephon(const char* section, const char* key) {
        char value[1024];
        plat::GetPrivateProfileString(section, key, kAbsent, value, sizeof value, "telephon.ini");
        return value;
    }
    static std::string Location(int n) {
        return Telephon("Locations", ("Location" + std::to_string(n)).c_str());
    }
    static std::string ChangeStamp() {
        char value[64];
        plat::GetPrivateProfileString("Windows Telephony", "TelephonINIChanged", kAbsent, value,
                                      sizeof value, "win.ini");
        return value;
    }
    void ExpectMovedOn() {
        EXPECT_EQ(Current(), "Etape2");
        EXPECT_TRUE(sim::ui::MessageBoxes().empty()) << sim::ui::MessageBoxes().front().text;
        EXPECT_FALSE(Ended());
    }
    void ExpectModemFailure() {
        ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
        EXPECT_EQ(sim::ui::MessageBoxes()[0].text, kModemError);
        EXPECT_EQ(sim::ui::QuitCode(), 1);
    }

    std::string folder_;
    std::string telephonPath_;
};

// Windows 95: the root step sets the system kind from the machine's version.
class ModemLocationsIni : public ModemStepTest {
  protected:
    void SetUp() override {
        ModemStepTest::SetUp();
        if (HasFatalFailure()) return;
        sim::MachineSettings settings = sim::Machine::Current().Settings();
        settings.major = 4;
        settings.minor = 0;
        sim::Machine::Current().SetSettings(settings);
    }
    void TearDown() override {
        EXPECT_EQ(g_osKind, 0);
        ModemStepTest::TearDown();
    }
};

TEST_F(ModemLocationsIni, AddsTheProviderLocationBuiltFromTheCurrentOneAndMakesItCurrent) {
    WriteTelephon(TwoLocations());
    std::string before = LocalNow();
    Run();
    std::string after = LocalNow();
    ExpectMovedOn();
    // The name and both prefixes are the step's, the area code and the fields after the country
    // come from the current location, the country is France's.
    EXPECT_EQ(Location(2), ModemEntry(5, "0,", "04", "1,0,0,\"1234\",0,\"\""));
    EXPECT_EQ(Location(0), kHomeEntry);
    EXPECT_EQ(Location(1), kOfficeEntry);
    EXPECT_EQ(Location(3), kAbsent);
    EXPECT_EQ(Telephon("Locations", "Locations"), "3,6");
    EXPECT_EQ(Telephon("Locations", "CurrentLocation"), "5,2");
    EXPECT_EQ(Telephon("Locations", "Inited"), "1");
    EXPECT_EQ(Telephon("CountryOverrides", "Country33"), kDefaultCountry);
    std::string stamp = ChangeStamp();
    EXPECT_TRUE(std::regex_match(stamp, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << stamp;
    EXPECT_LE(before, stamp);
    EXPECT_LE(stamp, after);
}

TEST_F(ModemLocationsIni, ALaterRunRefreshesTheLocationFromTheCurrentOneWithoutAddingAnother) {
    WriteTelephon(TwoLocations());
    Run();
    ExpectMovedOn();
    // The user changed the location in the control panel meanwhile, and types another prefix.
    plat::WritePrivateProfileString("Locations", "Location2",
                                    ModemEntry(5, "x", "05", "7,7").c_str(), "telephon.ini");
    g_dialPrefix = "9";
    RunAgain();
    ExpectMovedOn();
    EXPECT_EQ(Location(2), ModemEntry(5, "9", "05", "7,7"));
    EXPECT_EQ(Location(3), kAbsent);
    EXPECT_EQ(Telephon("Locations", "Locations"), "3,6");
    EXPECT_EQ(Telephon("Locations", "CurrentLocation"), "5,2");
}

TEST_F(ModemLocationsIni, PreviousOntoTheStepRunsItAgainWithThePrefixItWasBuiltWith) {
    WriteTelephon(TwoLocations());
    Run();
    ExpectMovedOn();
    // Another location became current meanwhile; a prefix recorded after the step was built
    // does not reach it.
    plat::WritePrivateProfileString("Locations", "CurrentLocation", "0,0", "telephon.ini");
    g_dialPrefix = "7";
    Click(ID_PRECEDENT);
    ExpectMovedOn();
    EXPECT_EQ(Location(2), ModemEntry(5, "0,", "01", "0,0,1,\"\",0,\"\""));
    EXPECT_EQ(Location(3), kAbsent);
    EXPECT_EQ(Telephon("Locations", "Locations"), "3,6");
    EXPECT_EQ(Telephon("Locations", "CurrentLocation"), "5,2");
}

TEST_F(ModemLocationsIni, TheProviderLocationIsFoundByItsNameBeginningAmongTheCountedEntries) {
    struct Case {
        const char* label;
        std::string entries;
        int index;           // where the new entry goes
        int id;              // and its identifier
        const char* counts;  // "Locations" afterwards
    };
    const std::string office = std::string("Location1=") + kOfficeEntry + "\r\n";
    const Case cases[] = {
        {"a longer name counts",
         "Location0=4,\"Emplacement modem pour Telvora 2\",\"1\",\"1\",\"02\",33,0\r\n" + office, 0,
         4, "2,5"},
        {"the case matters",
         "Location0=4,\"emplacement modem pour telvora\",\"1\",\"1\",\"02\",33,0\r\n" + office, 2,
         5, "3,6"},
        {"a shorter name does not count",
         "Location0=4,\"Emplacement modem\",\"1\",\"1\",\"02\",33,0\r\n" + office, 2, 5, "3,6"},
        {"the first one wins",
         "Location0=8,\"Emplacement modem pour Telvora\",\"\",\"\",\"02\",33,0\r\n"
         "Location1=9,\"Emplacement modem pour Telvora\",\"\",\"\",\"04\",33,1,0,0,\"1234\",0,"
         "\"\"\r\n",
         0, 8, "2,5"},
        {"an entry beyond the count is not searched",
         std::string("Location0=") + kHomeEntry + "\r\n" + office +
             "Location2=4,\"Emplacement modem pour Telvora\",\"\",\"\",\"02\",33,0\r\n",
         2, 5, "3,6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        WriteTelephon(LocationsSection("2,5", "3,1", c.entries));
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        Run();
        ExpectMovedOn();
        // Built from the current location, entry 1, in every case.
        std::string rest = "1,0,0,\"1234\",0,\"\"";
        EXPECT_EQ(Location(c.index), ModemEntry(c.id, "0,", "04", rest));
        EXPECT_EQ(Telephon("Locations", "Locations"), c.counts);
        EXPECT_EQ(Telephon("Locations", "CurrentLocation"),
                  std::to_string(c.id) + "," + std::to_string(c.index));
        cnx::EndWizard();
    }
}

TEST_F(ModemLocationsIni, TheStepsCountryRulesReplaceTheDefaultCutToSixtyThreeCharacters) {
    const std::string longRules =
        "33,34,\"France\",\"0FG\",\"0FG\",\"00EFG\"," + std::string(40, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {"", kDefaultCountry},
        {"Country33=33,99,\"France\",\"FG\",\"0FG\",\"00EFG\"\r\n",
         "33,99,\"France\",\"FG\",\"0FG\",\"00EFG\""},
        {"Country33=" + longRules + "\r\n", longRules.substr(0, 63)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        WriteTelephon(TwoLocations());
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        Run(c.first);
        ExpectMovedOn();
        EXPECT_EQ(Telephon("CountryOverrides", "Country33"), c.second);
        cnx::EndWizard();
    }
}

TEST_F(ModemLocationsIni, AnUnexpectedTelephonIniEndsTheRunWithoutTouchingTheLocations) {
    struct Case {
        const char* label;
        std::string file;  // empty: no file at all
    };
    const std::string home = std::string("Location0=") + kHomeEntry + "\r\n";
    const std::string office = std::string("Location1=") + kOfficeEntry + "\r\n";
    auto withCurrent = [&](const std::string& entry) {
        return LocationsSection("2,5", "3,1", home + "Location1=" + entry + "\r\n");
    };
    const Case cases[] = {
        {"no file", ""},
        {"an empty file", "\r\n"},
        {"no count", LocationsSection("2", "3,1", home + office)},
        {"a count that reads as missing", LocationsSection("rien", "3,1", home + office)},
        {"no current location", "[Locations]\r\nLocations=2,5\r\n" + home + office},
        {"a current location without its key number", LocationsSection("2,5", "3", home + office)},
        {"a counted entry missing", LocationsSection("3,5", "3,1", home + office)},
        {"an entry without quotes",
         LocationsSection("2,5", "3,1", "Location0=0,Maison\r\n" + office)},
        {"the provider's name without a comma",
         LocationsSection("2,5", "3,1",
                          "Location0=7\"Emplacement modem pour Telvora\"\r\n" + office)},
        {"the current entry missing", LocationsSection("2,5", "3,7", home + office)},
        {"three quoted strings", withCurrent("3,\"Bureau\",\"9\",\"8\",41,1,0")},
        {"an area code not closed", withCurrent("3,\"Bureau\",\"9\",\"8\",\"04")},
        {"nothing after the area code", withCurrent("3,\"Bureau\",\"9\",\"8\",\"04\"")},
        {"nothing after the country", withCurrent("3,\"Bureau\",\"9\",\"8\",\"04\",41")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        plat::DeleteFile(telephonPath_.c_str());
        if (!c.file.empty()) WriteTelephon(c.file);
        plat::WriteProfileString("Windows Telephony", "TelephonINIChanged", nullptr);
        const char* keys[] = {"Locations", "CurrentLocation", "Location0",
                              "Location1", "Location2",       "Location3"};
        std::vector<std::string> before;
        for (const char* key : keys) before.push_back(Telephon("Locations", key));
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        Run();
        ExpectModemFailure();
        // The country rules and the mark come first and stay; the locations are as they were.
        EXPECT_EQ(Telephon("CountryOverrides", "Country33"), kDefaultCountry);
        EXPECT_EQ(Telephon("Locations", "Inited"), "1");
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(Telephon("Locations", keys[i]), before[i]) << keys[i];
        }
        EXPECT_EQ(ChangeStamp(), kAbsent);
        cnx::EndWizard();
    }
}

TEST_F(ModemLocationsIni, AnEmptyPrefixGivesEmptyAccessStrings) {
    g_dialPrefix = "";
    WriteTelephon(TwoLocations());
    Run();
    ExpectMovedOn();
    EXPECT_EQ(Location(2), ModemEntry(5, "", "04", "1,0,0,\"1234\",0,\"\""));
}

TEST_F(ModemLocationsIni, ThePrefixTypedOnTheSignupPageGoesIntoTheLocation) {
    g_dialPrefix = "";
    WriteKitFile("pre.txt", "fenetre(0,300,100)(saisie,1,300,20,\"champ\")");
    WriteKitFile("cfg.ini",
                 cnxtest::GeneralSection() + cnxtest::IdentWindowSection("PreInscription1") +
                     "[PreInscription1]\r\nSuivants=InitModem1\r\nDescription=pre.txt\r\n"
                     "PresenceSuivant=2\r\n"
                     "[InitModem1]\r\nSuivants=Etape2\r\n"
                     "[Etape2]\r\nSuivants=Etape2\r\n");
    WriteTelephon(TwoLocations());
    Start();
    ASSERT_EQ(Current(), "PreInscription1");
    ASSERT_TRUE(sim::ui::ReplaceText(plat::GetDlgItem(Window(), kFirstControlId), "3"));
    Click(ID_SUIVANT);
    ExpectMovedOn();
    EXPECT_EQ(Location(2), ModemEntry(5, "3", "04", "1,0,0,\"1234\",0,\"\""));

    // A quote typed into the prefix never reaches the entry, whose quotes the next run counts:
    // that run builds the entry again from it, with the right area code.
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        RunAgain();
        ASSERT_EQ(Current(), "PreInscription1");
        ASSERT_TRUE(sim::ui::ReplaceText(plat::GetDlgItem(Window(), kFirstControlId), "9\"0"));
        Click(ID_SUIVANT);
        EXPECT_EQ(Current(), "Etape2");
        ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
        EXPECT_EQ(sim::ui::MessageBoxes()[0].text, "Caractères ignorés dans le préfixe : \"");
        EXPECT_FALSE(Ended());
        EXPECT_EQ(Location(2), ModemEntry(5, "90", "04", "1,0,0,\"1234\",0,\"\""));
        EXPECT_EQ(Telephon("Locations", "CurrentLocation"), "5,2");
    }
}

// A location entry is read into 260 bytes by the dialler: one that does not fit is refused
// whole, never written cut.
TEST_F(ModemLocationsIni, AnEntryThatWouldNotFitTwoHundredAndSixtyBytesIsRefused) {
    const std::string head = ModemEntry(5, "0,", "04", "");
    const std::string modelHead = "3,\"B\",\"\",\"\",\"04\",41,";
    struct Case {
        const char* label;
        std::string prefix;
        std::string model;
        bool written;
    };
    const Case cases[] = {
        {"259 characters exactly", "0,", modelHead + std::string(259 - head.size(), 'r'), true},
        {"260 characters", "0,", modelHead + std::string(260 - head.size(), 'r'), false},
        {"a long dialling prefix", std::string(120, '1'), std::string(kOfficeEntry), false},
        // Short once its long name is replaced, but only a cut copy of it could be read into
        // 260 bytes.
        {"a model too long to be read whole", "0,",
         "3,\"" + std::string(200, 'N') + "\",\"\",\"\",\"04\",41," + std::string(80, 'r'), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        g_dialPrefix = c.prefix;
        plat::WriteProfileString("Windows Telephony", "TelephonINIChanged", nullptr);
        WriteTelephon(LocationsSection(
            "2,5", "3,1",
            std::string("Location0=") + kHomeEntry + "\r\nLocation1=" + c.model + "\r\n"));
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        Run();
        if (c.written) {
            ExpectMovedOn();
            std::string entry = Location(2);
            EXPECT_EQ(entry.size(), 259u);
            EXPECT_EQ(entry, head + c.model.substr(modelHead.size()));
            EXPECT_EQ(Telephon("Locations", "Locations"), "3,6");
        } else {
            ExpectModemFailure();
            EXPECT_EQ(Location(2), kAbsent);
            EXPECT_EQ(Telephon("Locations", "Locations"), "2,5");
            EXPECT_EQ(Telephon("Locations", "CurrentLocation"), "3,1");
            EXPECT_EQ(ChangeStamp(), kAbsent);
        }
        cnx::EndWizard();
    }
}

constexpr const char* kLocationsKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations";

std::string RegistryLocation(int n) {
    return std::string(kLocationsKey) + "\\Location" + std::to_string(n);
}

// Windows 98, the simulated machine's own version.
class ModemLocationsRegistry : public ModemStepTest {
  protected:
    void TearDown() override {
        EXPECT_EQ(g_osKind, 1);
        ModemStepTest::TearDown();
    }
    static void WriteDword(const std::string& key, const char* name, plat::Dword value) {
        plat::RegKey handle = 0;
        ASSERT_EQ(plat::RegCreateKey(plat::kHkeyLocalMachine, key.c_str(), &handle),
                  plat::kErrorSuccess);
        const std::uint8_t bytes[4] = {
            static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
        EXPECT_EQ(plat::RegSetValue(handle, name, plat::kRegDword, bytes, 4), plat::kErrorSuccess);
        plat::RegCloseKey(handle);
    }
    static void WriteText(const std::string& key, const char* name, const char* text) {
        ASSERT_TRUE(testsupport::WriteText(plat::kHkeyLocalMachine, key.c_str(), name, text));
    }
    static void DeleteValue(const std::string& key, const char* name) {
        plat::RegKey handle = 0;
        ASSERT_EQ(
            plat::RegOpenKey(plat::kHkeyLocalMachine, key.c_str(), plat::kKeyAllAccess, &handle),
            plat::kErrorSuccess);
        plat::RegDeleteValue(handle, name);
        plat::RegCloseKey(handle);
    }
    // Two locations, identifiers 0 and 7, with the prefixes "a0" "l0" and "a1" "l1"; location
    // `current` is current and has the area code `areaCode`, the other one "01".
    static void WriteLocations(const char* areaCode, int current = 1) {
        const plat::Dword ids[] = {0, 7};
        WriteDword(kLocationsKey, "CurrentID", ids[current]);
        for (int n = 0; n < 2; ++n) {
            std::string key = RegistryLocation(n);
            WriteDword(key, "ID", ids[n]);
            WriteText(key, "AreaCode", n == current ? areaCode : "01");
            WriteText(key, "OutsideAccess", ("a" + std::to_string(n)).c_str());
            WriteText(key, "LongDistanceAccess", ("l" + std::to_string(n)).c_str());
        }
    }
    static std::string Text(int n, const char* name) {
        RegValue value = ReadValue(plat::kHkeyLocalMachine, RegistryLocation(n).c_str(), name);
        return value.present ? value.Text() : kAbsent;
    }
    // Nothing goes to telephon.ini on this system, not even the change stamp.
    void ExpectTelephonUntouched() {
        EXPECT_FALSE(plat::CanOpenForReading(telephonPath_.c_str()));
        EXPECT_EQ(ChangeStamp(), kAbsent);
        EXPECT_FALSE(KeyExists(plat::kHkeyLocalMachine, RegistryLocation(2).c_str()));
    }

    using RegValue = testsupport::RegValue;
};

TEST_F(ModemLocationsRegistry, TheProviderZoneTakesTheOutsidePrefixAnyOtherTheLongDistanceOne) {
    struct Case {
        const char* areaCode;
        int current;
        bool outside;  // the outside-line prefix changes, else the long-distance one
    };
    const Case cases[] = {
        {"08", 1, true}, {"01", 1, false}, {"080", 1, false}, {"8", 1, false},
        {"", 1, false},  {"08", 0, true},  {"04", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.areaCode) + " at " + std::to_string(c.current));
        WriteLocations(c.areaCode, c.current);
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        Run();
        ExpectMovedOn();
        const std::string n = std::to_string(c.current);
        EXPECT_EQ(Text(c.current, "OutsideAccess"), c.outside ? "0," : "a" + n);
        EXPECT_EQ(Text(c.current, "LongDistanceAccess"), c.outside ? "l" + n : "0,");
        const std::string other = std::to_string(1 - c.current);
        EXPECT_EQ(Text(1 - c.current, "OutsideAccess"), "a" + other);
        EXPECT_EQ(Text(1 - c.current, "LongDistanceAccess"), "l" + other);
        ExpectTelephonUntouched();
        cnx::EndWizard();
    }
}

TEST_F(ModemLocationsRegistry, AnEmptyPrefixEmptiesTheAccessString) {
    g_dialPrefix = "";
    WriteLocations("08");
    Run();
    ExpectMovedOn();
    EXPECT_EQ(Text(1, "OutsideAccess"), "");
    EXPECT_EQ(Text(1, "LongDistanceAccess"), "l1");
}

TEST_F(ModemLocationsRegistry, AnUnreadableCurrentLocationEndsTheRun) {
    struct Case {
        const char* label;
        void (*damage)();
    };
    const Case cases[] = {
        {"no locations at all",
         [] {
             plat::RegKey handle = 0;
             ASSERT_EQ(plat::RegOpenKey(plat::kHkeyLocalMachine, kLocationsKey, plat::kKeyAllAccess,
                                        &handle),
                       plat::kErrorSuccess);
             plat::RegDeleteKey(handle, "");
             plat::RegCloseKey(handle);
         }},
        {"no current identifier", [] { DeleteValue(kLocationsKey, "CurrentID"); }},
        {"no location of that identifier", [] { WriteDword(kLocationsKey, "CurrentID", 9); }},
        {"a location without identifier", [] { DeleteValue(RegistryLocation(0), "ID"); }},
        {"no area code", [] { DeleteValue(RegistryLocation(1), "AreaCode"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        WriteLocations("08");
        c.damage();
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        Run();
        ExpectModemFailure();
        if (KeyExists(plat::kHkeyLocalMachine, RegistryLocation(1).c_str())) {
            EXPECT_EQ(Text(1, "OutsideAccess"), "a1");
            EXPECT_EQ(Text(1, "LongDistanceAccess"), "l1");
        }
        ExpectTelephonUntouched();
        cnx::EndWizard();
    }
}

}  // namespace
