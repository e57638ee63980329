#include "Profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "Options.h"
#include "support/TestFiles.h"

namespace {

TEST(Profile, SuggestsTheLayoutsPageWhenItHoldsTheLessonElseTheFirstThatDoes) {
    const struct {
        const char* lesson;
        const char* layout;
        const char* page;
    } cases[] = {
        {"hello", "us", "Windows-1252"},
        {"hello", "ru", "Windows-1251"},  // an English first lesson in a Russian profile
        {"\xd0\x9f\xd1\x80\xd0\xb8", "us", "Windows-1251"},            // При
        {"za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87", "pl", "Windows-1250"},  // zażółć
        {"\xc4\x9f", "tr(f)", "Windows-1254"},                         // ğ
        {"caf\xc3\xa9", "ru", "Windows-1252"},
        {"cafe\xcc\x81", "ru", "Windows-1252"},  // e and a combining acute: é // é is not in
                                                 // Windows-1251
        {"\xce\xb1", "de", "Windows-1253"},      // α
        {"\xe2\x88\x9e", "de", "Windows-1252"},  // ∞ fits none: the layout's
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SuggestCodePage(c.lesson, c.layout).Name(), c.page)
            << c.lesson << " " << c.layout;
    }
}

class OpenProfileTest : public ::testing::Test {
protected:
    void TearDown() override { SetCurrentCodePage(CodePage::Western()); }
    bool Open(const std::string& name, const std::string& layout, const std::string& codePage,
              Profile* profile, std::string* error, Command command = Command::kLesson) {
        Options options;
        options.command = command;
        options.dataDir = dir.File("data");
        options.profile = name;
        options.layout = layout;
        options.codePage = codePage;
        return OpenProfile(&options, profile, error);
    }
    TempDir dir;
};

TEST_F(OpenProfileTest, AProfileKeepsItsPageAndTakesANewLayout) {
    Profile profile;
    std::string error;
    ASSERT_TRUE(Open("greek", "gr", "", &profile, &error)) << error;
    EXPECT_EQ(profile.page->Name(), "Windows-1253") << "the layout's page";
    EXPECT_EQ(profile.directory, dir.File("data") + "/profiles/greek");
    EXPECT_EQ(&CurrentCodePage(), profile.page);
    ASSERT_TRUE(Open("greek", "us(intl)", "", &profile, &error)) << error;
    EXPECT_EQ(profile.page->Name(), "Windows-1253");
    ASSERT_TRUE(Open("greek", "", "Windows-1253", &profile, &error)) << error;
    EXPECT_EQ(profile.layout, "us(intl)") << "kept from the last run";
    EXPECT_FALSE(Open("greek", "", "KOI8-R", &profile, &error));
    EXPECT_EQ(error,
              "the profile \"greek\" keeps its history in Windows-1253, and a history never mixes "
              "two code pages: make another with --profile NAME --code-page KOI8-R");
    EXPECT_EQ(ListProfiles(dir.File("data")), (std::vector<std::string>{"default", "greek"}));
}

TEST_F(OpenProfileTest, AHistoryFromBeforeProfilesIsWindows1252) {
    std::filesystem::create_directories(dir.File("data"));
    WriteText(dir.File("data/lessons.dat"), "");
    Profile profile;
    std::string error;
    ASSERT_TRUE(Open("default", "ru", "", &profile, &error)) << error;
    EXPECT_EQ(profile.page->Name(), "Windows-1252");
    EXPECT_EQ(profile.directory, dir.File("data"));
}

TEST_F(OpenProfileTest, RefusesWhatItCannotUseNamingIt) {
    Profile profile;
    std::string error;
    EXPECT_FALSE(Open("../up", "us", "", &profile, &error));
    EXPECT_NE(error.find("--profile"), std::string::npos) << error;
    EXPECT_FALSE(Open("x", "us", "Windows-9999", &profile, &error));
    EXPECT_NE(error.find("no code page named \"Windows-9999\""), std::string::npos) << error;
    EXPECT_FALSE(Open("x", "qq", "", &profile, &error));
    EXPECT_NE(error.find("\"qq\""), std::string::npos) << error;
    EXPECT_FALSE(PathExists(dir.File("data/profiles/x"))) << "nothing made for a refused run";
}

TEST(Profile, NamesAreLettersDigitsDashesUnderscoresAndDotsNotFirst) {
    const struct {
        const char* name;
        bool ok;
    } cases[] = {{"ru", true},       {"my-ru_2.old", true}, {"", false},
                 {".hidden", false}, {"a/b", false},        {"a b", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsProfileName(c.name), c.ok) << c.name;
    }
}

}  // namespace
