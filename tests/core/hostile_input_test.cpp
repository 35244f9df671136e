// Hostile and odd data files through the program's own start-up sequence (LoadConfig,
// LoadProgress, a check pass that unlocks and saves): huge files, huge lines, NUL bytes,
// ill-formed UTF-8, many entries, odd progress bytes, directories and read-only files in
// place of the data files. Each case checks the loaded result, that progress saved before
// survives, and that time and peak memory grow linearly with the size of the input.

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "config/config_loader.h"
#include "config/config_scan.h"
#include "config/scan_report.h"
#include "progress/progress_format.h"
#include "tests/core/check_fixture.h"

namespace {

// Wall time and the peak of heap bytes held over one call. Every operator new of the test
// program is counted while a measurement runs (malloc_usable_size gives the size on delete).
struct Cost {
    double seconds = 0;
    double peak_mib = 0;
};

std::atomic<bool> g_counting{false};
std::atomic<long long> g_held{0};
std::atomic<long long> g_peak{0};

template <typename Work>
Cost Measure(Work work) {
    g_held = 0;
    g_peak = 0;
    g_counting = true;
    const auto start = std::chrono::steady_clock::now();
    work();
    Cost cost;
    cost.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    g_counting = false;
    cost.peak_mib = static_cast<double>(g_peak.load()) / (1024.0 * 1024.0);
    return cost;
}

// Four times the input may cost at most about four times as much; the slack absorbs timer
// and allocator noise on small figures, the factor leaves room for a loaded machine.
void ExpectLinear(const char* what, const Cost& small, const Cost& large) {
    std::printf("[ cost     ] %s: %.3f s / %.1f MiB, four times the input: %.3f s / %.1f MiB\n",
                what, small.seconds, small.peak_mib, large.seconds, large.peak_mib);
    EXPECT_LT(large.seconds, 4 * 2.5 * small.seconds + 0.25) << what;
    EXPECT_LT(large.peak_mib, 4 * 1.6 * small.peak_mib + 8) << what;
}

// The sanitizer builds run ten times slower; they check the same behaviour on a fifth of the
// size, the plain build on the full one.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr std::size_t SANITIZER_DIVISOR = 5;
#else
constexpr std::size_t SANITIZER_DIVISOR = 1;
#endif
constexpr std::size_t CONFIGURATION_MEGABYTES = 50 / SANITIZER_DIVISOR;

std::string Entry(const std::string& id, const std::string& title, const std::string& process) {
    return "        {\n"
           "            \"id\": \"" +
           id +
           "\",\n"
           "            \"title\": \"" +
           title +
           "\",\n"
           "            \"description\": \"Run " +
           process +
           " once.\",\n"
           "            \"trigger_description\": \"Start " +
           process +
           "\",\n"
           "            \"trigger_value\": \"" +
           process +
           "\",\n"
           "            \"trigger_type\": \"process_name\"\n"
           "        },\n";
}

std::string Configuration(std::size_t entries) {
    std::string text = "{\n    \"achievements\": [\n";
    for (std::size_t i = 0; i < entries; ++i) {
        const std::string n = std::to_string(i);
        text += Entry("id" + n, "Title number " + n, "program" + n + ".exe");
    }
    return text + "    ]\n}\n";
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class HostileInput : public CheckFixture {
  protected:
    std::filesystem::path ConfigFile() const { return folder_ / "bin" / "adv.json"; }
    std::filesystem::path SaveFile() const { return folder_ / "adv_save.txt"; }

    // The start-up of the program: configuration, then progress.
    bool StartUp() {
        if (!tracker_->LoadConfig()) return false;
        tracker_->LoadProgress();
        return true;
    }

    // A check pass in which the given program runs; the posted records are taken back.
    void Run(std::u16string process) {
        {
            std::lock_guard<std::mutex> lock(Fake().mutex);
            Fake().process_names = {std::move(process)};
        }
        tracker_->CheckTriggers();
        TakePosts();
    }

    std::size_t CompletedCount() const {
        return static_cast<std::size_t>(
            std::count_if(tracker_->achievements.begin(), tracker_->achievements.end(),
                          [](const Achievement& record) { return record.completed; }));
    }
};

}  // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    if (g_counting.load(std::memory_order_relaxed)) {
        const long long held = g_held += static_cast<long long>(malloc_usable_size(block));
        long long peak = g_peak.load(std::memory_order_relaxed);
        while (held > peak && !g_peak.compare_exchange_weak(peak, held)) {
        }
    }
    return block;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept {
    if (block != nullptr && g_counting.load(std::memory_order_relaxed)) {
        g_held -= static_cast<long long>(malloc_usable_size(block));
    }
    std::free(block);
}
void operator delete[](void* block) noexcept {
    operator delete(block);
}
void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    operator delete(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    operator delete(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    operator delete(block);
}

TEST_F(HostileInput, LargeConfigurationLoadsWholeInLinearTimeAndMemory) {
    const std::size_t per_megabyte =
        1024 * 1024 / Entry("id00000", "Title number 00000", "program00000.exe").size();
    const std::size_t entries = CONFIGURATION_MEGABYTES * per_megabyte;
    WriteBytes(SaveFile(), "id7=done\r\nid" + std::to_string(entries - 1) + "=done\r\n");

    std::vector<Achievement> quarter;
    WriteBytes(ConfigFile(), Configuration(entries / 4));
    const Cost small = Measure([&] { LoadAchievements(tracker_->config_path, quarter); });
    EXPECT_EQ(quarter.size(), entries / 4);
    quarter = {};

    const std::string whole = Configuration(entries);
    ASSERT_GE(whole.size(), CONFIGURATION_MEGABYTES * 1000 * 1000);
    WriteBytes(ConfigFile(), whole);
    const Cost large = Measure([&] { ASSERT_TRUE(StartUp()); });
    ExpectLinear("large configuration", small, large);

    ASSERT_EQ(tracker_->achievements.size(), entries);
    EXPECT_EQ(tracker_->achievements.back().title,
              u"Title number " + Utf8ToUtf16(std::to_string(entries - 1)));
    EXPECT_EQ(CompletedCount(), 2u);

    // An unlock saves the earlier progress with it, in configuration order.
    Run(u"program3.exe");
    EXPECT_EQ(ProgressBytes(),
              "id3=done\r\nid7=done\r\nid" + std::to_string(entries - 1) + "=done\r\n");
}

TEST_F(HostileInput, MegabyteLinesAreTakenWholeOrIgnoredInLinearTime) {
    const auto config_with_title = [](std::size_t bytes) {
        return "\"achievements\": [\n{\n\"id\": \"long\",\n\"title\": \"" +
               std::string(bytes, 'T') +
               "\",\n\"trigger_value\": \"long.exe\",\n\"trigger_type\": \"process_name\"\n}\n]\n";
    };
    std::vector<Achievement> records;
    const Cost small = Measure([&] { ScanAchievements(config_with_title(250000), records); });
    records.clear();
    const std::string line = config_with_title(1000000);
    const Cost large = Measure([&] { ScanAchievements(line, records); });
    ExpectLinear("1,000,000-byte value", small, large);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].title, std::u16string(1000000, u'T'));

    // One line of compact JSON: only its marker counts, so nothing loads.
    std::string compact = "{\"achievements\":[";
    while (compact.size() < 1000000) compact += "{\"id\":\"x\",\"trigger_value\":\"x.exe\"},";
    compact += "]}";
    WriteBytes(ConfigFile(), compact);
    EXPECT_FALSE(StartUp());
    EXPECT_EQ(Fake().error_messages,
              std::vector<std::u16string>{std::u16string(CONFIG_NO_ACHIEVEMENTS_MESSAGE)});

    // Lines built to make a scanner walk backwards or restart: a value of backslashes, a
    // line of quotes, a line of needles without string values. The report reads them too.
    const auto odd_lines = [](std::size_t bytes) {
        std::string needles;
        while (needles.size() < bytes) needles += "\"id\":1";
        return "\"achievements\": [\n{\n\"id\": \"" + std::string(bytes - 1, '\\') + "\n" +
               std::string(bytes / 4, '"') + "\n" + needles + "\n}\n]\n";
    };
    ScanReport report;
    const std::size_t odd_bytes = 1000000 / SANITIZER_DIVISOR;
    const std::string odd_small = odd_lines(odd_bytes / 4);
    const Cost small_odd = Measure([&] { ScanAchievements(odd_small, records, &report); });
    records.clear();
    report = {};
    const std::string odd_large = odd_lines(odd_bytes);
    const Cost large_odd = Measure([&] { ScanAchievements(odd_large, records, &report); });
    ExpectLinear("three odd long lines, with the report", small_odd, large_odd);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].id.size(), odd_bytes - 1);  // to the line end, the last backslash kept
}

TEST_F(HostileInput, NulBytesAndIllFormedUtf8InValuesLoadAndSurviveASave) {
    using namespace std::string_literals;
    const std::string config =
        "\"achievements\": [\n"
        "{\n\"id\": \"n\0ul\",\n\"title\": \"\xFF\xC0\x80ok\xE4\xB8\",\n"
        "\"trigger_value\": \"nul.exe\",\n\"trigger_type\": \"process_name\"\n},\n"
        "{\n\"id\": \"bad\xFE\xED\xA0\x80\",\n\"trigger_value\": \"bad.exe\",\n\"trigger_type\": "
        "\"process_name\"\n},\n"
        "{\n\"id\": \"\xE4\xB8\xAD\0\",\n\"trigger_value\": \"wide.exe\",\n\"trigger_type\": "
        "\"process_name\"\n},\n"
        "{\n\"id\": \"kept\",\n\"trigger_value\": \"kept.exe\",\n\"trigger_type\": "
        "\"process_name\"\n}\n"
        "]\n"s;
    WriteBytes(ConfigFile(), config);
    WriteBytes(SaveFile(), "kept=done\r\n");
    ASSERT_TRUE(StartUp());
    ASSERT_EQ(tracker_->achievements.size(), 4u);
    EXPECT_EQ(tracker_->achievements[0].id, (std::u16string{u'n', u'\0', u'u', u'l'}));
    const std::u16string& title = tracker_->achievements[0].title;
    EXPECT_EQ(title.substr(title.size() - 3, 2), u"ok");
    EXPECT_EQ(std::count(title.begin(), title.end(), u'\xFFFD'),
              static_cast<long>(title.size() - 2));
    EXPECT_EQ(tracker_->achievements[1].id.substr(0, 3), u"bad");
    EXPECT_EQ(tracker_->achievements[2].id, (std::u16string{u'\x4E2D', u'\0'}));
    EXPECT_TRUE(tracker_->achievements[3].completed);

    for (const char16_t* process : {u"nul.exe", u"bad.exe", u"wide.exe"}) Run(process);

    // A restart reads every one of them back as completed.
    AchievementTracker restarted(MAIN_WINDOW, Utf8ToUtf16(folder_.string() + "/Laurelight.exe"));
    ASSERT_TRUE(restarted.LoadConfig());
    restarted.LoadProgress();
    for (const Achievement& record : restarted.achievements) {
        EXPECT_TRUE(record.completed) << Utf16ToUtf8(record.id);
    }
}

TEST_F(HostileInput, TenThousandEntriesLoadSaveAndReloadInConfigurationOrder) {
    std::string progress;
    for (std::size_t i = 0; i < 10000; i += 2)
        progress += "id" + std::to_string(9999 - i) + "=done\r\n";
    WriteBytes(SaveFile(), progress);
    WriteBytes(ConfigFile(), Configuration(2500));
    const Cost small = Measure([&] {
        ASSERT_TRUE(StartUp());
        Run(u"program0.exe");
    });

    WriteBytes(SaveFile(), progress);
    WriteBytes(ConfigFile(), Configuration(10000));
    const Cost large = Measure([&] {
        ASSERT_TRUE(StartUp());
        Run(u"program0.exe");
    });
    ExpectLinear("10,000 entries, start-up and one unlock", small, large);

    ASSERT_EQ(tracker_->achievements.size(), 10000u);
    EXPECT_EQ(CompletedCount(), 5001u);
    std::string expected;
    for (std::size_t i = 0; i < 10000; ++i) {
        if (i == 0 || i % 2 == 1) expected += "id" + std::to_string(i) + "=done\r\n";
    }
    EXPECT_EQ(ProgressBytes(), expected);
}

TEST_F(HostileInput, OddProgressBytesLoadAsTextModeReadsThem) {
    WriteBytes(ConfigFile(), Configuration(4));

    // 0x1A ends the text: lines after it are not read, and the next save carries them over
    // unread, from that byte on.
    WriteBytes(SaveFile(), "id0=done\r\nid1=do\x1Ane\r\nid2=done\r\n");
    ASSERT_TRUE(StartUp());
    EXPECT_EQ(CompletedCount(), 1u);
    EXPECT_FALSE(tracker_->achievements[1].completed);
    Run(u"program3.exe");
    EXPECT_EQ(ProgressBytes(), "id0=done\r\nid3=done\r\n\x1Ane\r\nid2=done\r\n");

    // A byte-order mark belongs to the first key, so that line completes nothing.
    WriteBytes(SaveFile(), "\xEF\xBB\xBFid0=done\r\nid1=done\r\n");
    tracker_->LoadProgress();
    EXPECT_FALSE(tracker_->achievements[0].completed);
    EXPECT_TRUE(tracker_->achievements[1].completed);
    EXPECT_TRUE(tracker_->completed_map.at(u"\u00EF\u00BB\u00BFid0"));
}

TEST_F(HostileInput, HundredThousandLineProgressFileLoadsInLinearTimeAndMemory) {
    WriteBytes(ConfigFile(), Configuration(3));
    const auto progress = [](std::size_t lines) {
        std::string text;
        for (std::size_t i = 0; i < lines; ++i) {
            text += (i % 3 == 0 ? "stranger" : "id") + std::to_string(i % 3 == 0 ? i : i % 3) +
                    (i % 7 == 0 ? "=nope\r\n" : "=done\r\n");
        }
        return text + "id0=done";  // last line without its line end
    };
    ASSERT_TRUE(tracker_->LoadConfig());
    WriteBytes(SaveFile(), progress(25000));
    const Cost small = Measure([&] { tracker_->LoadProgress(); });
    WriteBytes(SaveFile(), progress(100000));
    const Cost large = Measure([&] { tracker_->LoadProgress(); });
    ExpectLinear("100,000-line progress file", small, large);

    EXPECT_EQ(CompletedCount(), 3u);
    EXPECT_EQ(tracker_->completed_map.size(), 3u + 33334u);
    Run(u"nothing.exe");
    Run(u"program1.exe");  // already completed: no save
    tracker_->SaveProgress();
    // The "done" lines of ids no achievement has stay, in the file's order: every third line
    // is a stranger's, every 21st of them "=nope" and gone.
    const std::string saved = ProgressBytes();
    EXPECT_TRUE(saved.starts_with("id0=done\r\nid1=done\r\nid2=done\r\nstranger3=done\r\n"));
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 3 + 33334 - 4762);
}

TEST_F(HostileInput, DirectoriesAndReadOnlyFilesInPlaceOfTheDataFiles) {
    // A directory named adv.json is present but unreadable.
    std::filesystem::create_directories(ConfigFile());
    EXPECT_FALSE(StartUp());
    EXPECT_EQ(Fake().error_messages,
              std::vector<std::u16string>{std::u16string(CONFIG_UNREADABLE_MESSAGE)});
    std::filesystem::remove(ConfigFile());
    WriteBytes(ConfigFile(), Configuration(3));

    // A directory named adv_save.txt: nothing starts completed, unlocks live on in memory.
    std::filesystem::create_directory(SaveFile());
    ASSERT_TRUE(StartUp());
    EXPECT_EQ(CompletedCount(), 0u);
    EXPECT_EQ(tracker_->completed_map.size(), 3u);
    Run(u"program0.exe");
    EXPECT_TRUE(tracker_->achievements[0].completed);
    EXPECT_TRUE(std::filesystem::is_directory(SaveFile()));
    EXPECT_TRUE(std::filesystem::is_empty(SaveFile()));
    EXPECT_FALSE(std::filesystem::exists(folder_ / TemporaryName("adv_save.txt")));

    // The directory goes away; the next unlock writes the whole state.
    std::filesystem::remove(SaveFile());
    Run(u"program1.exe");
    EXPECT_EQ(ProgressBytes(), "id0=done\r\nid1=done\r\n");

    // A read-only file keeps what it holds through unlocks, and is written once writable.
    std::filesystem::permissions(SaveFile(),
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    Run(u"program2.exe");
    EXPECT_EQ(ProgressBytes(), "id0=done\r\nid1=done\r\n");
    EXPECT_EQ(CompletedCount(), 3u);
    std::filesystem::permissions(SaveFile(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    tracker_->SaveProgress();
    EXPECT_EQ(ProgressBytes(), "id0=done\r\nid1=done\r\nid2=done\r\n");
}
