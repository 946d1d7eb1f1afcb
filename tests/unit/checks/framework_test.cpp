#include "checks/framework.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace gr {
namespace {

const std::wstring kNdp = L"Software\\Microsoft\\NET Framework Setup\\NDP\\";

// A registry of plain values that records every read.
class FakeRegistry : public RegistryReader {
public:
    void Number(const std::wstring& key, const std::wstring& value, uint32_t number) {
        numbers[kNdp + key + L"|" + value] = number;
    }
    void Text(const std::wstring& key, const std::wstring& value, const std::wstring& text) {
        texts[kNdp + key + L"|" + value] = text;
    }
    bool ReadNumber(const wchar_t* key, const wchar_t* value, uint32_t& number) const override {
        reads.push_back(std::wstring(key) + L"|" + value);
        auto found = numbers.find(reads.back());
        if (found == numbers.end()) return false;
        number = found->second;
        return true;
    }
    bool ReadText(const wchar_t* key, const wchar_t* value, std::wstring& text) const override {
        reads.push_back(std::wstring(key) + L"|" + value);
        auto found = texts.find(reads.back());
        if (found == texts.end()) return false;
        text = found->second;
        return true;
    }
    std::map<std::wstring, uint32_t> numbers;
    std::map<std::wstring, std::wstring> texts;
    mutable std::vector<std::wstring> reads;
};

FrameworkEntries Entries(std::initializer_list<const wchar_t*> texts) {
    FrameworkEntries entries;
    size_t i = 0;
    for (const wchar_t* text : texts) entries[i++] = text;
    return entries;
}

const FrameworkEntries kShipped = Entries({L"0", L"0", L"0", L"0", L"0", L"0", L"0"});

std::vector<std::wstring> Detections(const FrameworkCheck& check) {
    std::vector<std::wstring> lines(check.logLines.begin() + kFrameworkCount, check.logLines.end());
    return lines;
}

TEST(FrameworkCheck, LogsEveryEntryThenOnlyWhatIsDetected) {
    FakeRegistry registry;
    registry.Number(L"v4\\Full", L"Install", 1);
    registry.Number(L"v4\\Full", L"Servicing", 1);
    RequiredFramework required;
    FrameworkCheck check = CheckFrameworkRequirement(kShipped, registry, required);
    EXPECT_TRUE(check.satisfied);
    EXPECT_EQ(check.logLines[0], L".NET 2.0 0\n");
    EXPECT_EQ(check.logLines[6], L".NET 4.5 Full 0\n");
    EXPECT_EQ(Detections(check), (std::vector<std::wstring>{L".NET 4.0 Full Detected SP 1\n", L".NET Version OK\n"}));
    EXPECT_EQ(required.name, L"Unknown .NET Version");  // written on failure only
}

TEST(FrameworkCheck, AnUnreadableLevelSatisfiesNothingAndTheCheckGoesOn) {
    FakeRegistry registry;
    registry.Number(L"v2.0.50727", L"Install", 1);  // no "SP" value
    RequiredFramework required;
    FrameworkCheck check = CheckFrameworkRequirement(kShipped, registry, required);
    EXPECT_FALSE(check.satisfied);
    EXPECT_EQ(Detections(check), (std::vector<std::wstring>{L".NET 2.0 Detected SP -1\n",
                                                            L".NET Version Not OK .NET 2 0\n"}));
    EXPECT_EQ(required.majorVersion, 2);
    // 3.0 and 3.5 were looked at after 2.0 failed to satisfy.
    EXPECT_NE(std::find(registry.reads.begin(), registry.reads.end(), kNdp + L"v3.5|Install"), registry.reads.end());
}

TEST(FrameworkCheck, ExcludedVersionsAreNeverLookedAt) {
    FakeRegistry registry;
    registry.Number(L"v2.0.50727", L"Install", 1);
    registry.Number(L"v2.0.50727", L"SP", 0);
    registry.Number(L"v4\\Full", L"Install", 1);
    RequiredFramework required;
    FrameworkCheck check = CheckFrameworkRequirement(Entries({L"1", L"-1", L"-1", L"-1", L"-1", L"-1", L"-1"}),
                                                     registry, required);
    EXPECT_FALSE(check.satisfied);
    EXPECT_EQ(Detections(check), (std::vector<std::wstring>{L".NET 2.0 Detected SP 0\n",
                                                            L".NET Version Not OK .NET 2 1\n"}));
    EXPECT_EQ(required.name, L".NET 2");
    EXPECT_EQ(required.servicePack, 1);
    EXPECT_EQ(required.majorVersion, 2);
    for (const std::wstring& read : registry.reads) EXPECT_NE(read.find(L"v2.0.50727"), std::wstring::npos) << read;

    FakeRegistry untouched;
    RequiredFramework unknown;
    FrameworkCheck none = CheckFrameworkRequirement(Entries({L"-1", L"-2", L"-1", L"-1", L"-1", L"-1", L"-5"}),
                                                    untouched, unknown);
    EXPECT_FALSE(none.satisfied);
    EXPECT_TRUE(untouched.reads.empty());
    EXPECT_EQ(Detections(none), (std::vector<std::wstring>{L".NET Version Not OK Unknown .NET Version 0\n"}));
    EXPECT_EQ(unknown.majorVersion, 2);
}

TEST(FrameworkCheck, ThreeNeedsTwoAndAVersionAtTheThreshold) {
    auto check = [](const wchar_t* version) {
        FakeRegistry registry;
        registry.Number(L"v2.0.50727", L"Install", 1);
        registry.Number(L"v3.0\\Setup", L"InstallSuccess", 1);
        if (version) registry.Text(L"v3.0\\Setup", L"Version", version);
        registry.Number(L"v3.0", L"SP", 2);  // the level comes from the parent key
        RequiredFramework required;
        return CheckFrameworkRequirement(Entries({L"-1", L"2", L"-1", L"-1", L"-1", L"-1", L"-1"}), registry, required)
            .satisfied;
    };
    EXPECT_FALSE(check(L"3.0.4506.25"));
    EXPECT_TRUE(check(L"3.0.4506.26"));
    EXPECT_TRUE(check(L"3.0.4507.0"));
    EXPECT_TRUE(check(L"3.1"));
    EXPECT_FALSE(check(L""));
    EXPECT_FALSE(check(nullptr));

    FakeRegistry withoutTwo;
    withoutTwo.Number(L"v3.5", L"Install", 1);
    withoutTwo.Text(L"v3.5", L"Version", L"3.5.30729.1");
    RequiredFramework required;
    EXPECT_FALSE(CheckFrameworkRequirement(kShipped, withoutTwo, required).satisfied);
}

TEST(FrameworkCheck, FourFiveIsServicingFiveOrAReleaseValue) {
    auto detections = [](uint32_t servicing, uint32_t release) {
        FakeRegistry registry;
        registry.Number(L"v4\\Full", L"Install", 1);
        registry.Number(L"v4\\Full", L"Servicing", servicing);
        if (release) registry.Number(L"v4\\Full", L"Release", release);
        RequiredFramework required;
        return Detections(CheckFrameworkRequirement(Entries({L"-1", L"-1", L"-1", L"-1", L"-1", L"-1", L"0"}),
                                                    registry, required));
    };
    EXPECT_EQ(detections(4, 0).front(), L".NET Version Not OK .NET (full) 4.5 0\n");  // 4.0 only
    EXPECT_EQ(detections(5, 0).front(), L".NET 4.5 Full Detected SP 5\n");
    EXPECT_EQ(detections(0, 378389).front(), L".NET 4.5 Full Detected SP 0\n");  // 4.5 to 4.8
    EXPECT_EQ(detections(0, 528040).back(), L".NET Version OK\n");
    EXPECT_EQ(detections(0, 378388).front(), L".NET Version Not OK .NET (full) 4.5 0\n");
}

TEST(FrameworkCheck, DescribesTheFirstAcceptableRow) {
    RequiredFramework required;
    DescribeRequiredFramework(Entries({L"-1", L"-1", L"-1", L"2", L"0", L"-1", L"-1"}), required);
    EXPECT_EQ(required.name, L".NET (client) 4.0");
    EXPECT_EQ(required.majorVersion, 4);
    EXPECT_EQ(required.servicePack, 2);
    DescribeRequiredFramework(Entries({L"-1", L"-1", L" 3x", L"0", L"0", L"0", L"0"}), required);
    EXPECT_EQ(required.name, L".NET 3.5");
    EXPECT_EQ(required.servicePack, 3);
}

TEST(VersionAtLeast, ComparesComponentBySignedComponent) {
    const std::array<int32_t, 4> threshold = {3, 0, 4506, 26};
    struct Case {
        const wchar_t* text;
        bool atLeast;
    };
    const Case cases[] = {
        {L"3.0.4506.26", true}, {L"3.0.4506.25", false}, {L"3..0.4506.26", true}, {L"3.0.4506.26.9", true},
        {L"4", true}, {L"2.99.99999.99999", false}, {L"3.0.4506", false}, {L"-3.0.4506.26", false},
        {L"3.0.4506.26x", true}, {L"x.1", false}, {L".3.0.4506.26", true},
    };
    for (const Case& c : cases) EXPECT_EQ(VersionAtLeast(c.text, threshold), c.atLeast) << c.text;
}

}  // namespace
}  // namespace gr
