// The main dialog as it opens: the settings read, its texts, the version and
// copyright lines, the unit and rate lists and the slider's labels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "settings/cmb_freq_list.h"
#include "settings_test_support.h"
#include "win32_linux.h"

namespace settings_test {
namespace {

using MainDialogTest = SettingsTest;

TEST_F(MainDialogTest, SettingsReadFailureEndsBeforeTheDialogShows) {
    static const struct {
        const char* name;
        bool failRequest;
        uint32_t getResult;
    } kCases[] = {{"no unit answers", true, 1}, {"the unit answers nResult 0", false, 0}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        vu::VirtualUnit units;
        vu::ScopedInstall install(units);
        vu::UnitConfig config = Unit();
        config.getResult = c.getResult;
        units.Configure(1, config);
        if (c.failRequest) units.AddFault(vu::Fault::Fail(IOCTL_GET_SETTINGS));
        RunProgram();
        ASSERT_EQ(ui.Dialogs().size(), 1u);
        EXPECT_EQ(ui.Dialogs()[0].templateId, IDD_DRVPROP_DIALOG);
        EXPECT_FALSE(ui.Dialogs()[0].shown);
        EXPECT_EQ(ui.Dialogs()[0].result, IDCANCEL);
        EXPECT_FALSE(ui.ScriptExhausted());
        ASSERT_EQ(ui.MessageBoxes().size(), 1u);
        EXPECT_EQ(ui.MessageBoxes()[0].text,
                  L"To make settings, connect the device and then execute once again.");
        EXPECT_EQ(ui.MessageBoxes()[0].type, static_cast<UINT>(MB_OK));
        EXPECT_EQ(units.CountRequests(IOCTL_GET_CLOCK_STATUS), 0u) << "no poll";
        EXPECT_EQ(ui.TimerCount(), 0u);
    }
}

TEST_F(MainDialogTest, TextsComeFromTheTableOfTheUsersLanguage) {
    Connect(1);
    static const struct {
        int control;
        UINT string;
    } kTexts[] = {
        {IDC_GRP_BUFFER, IDS_AUDIO_BUFFER_SIZE}, {IDC_STC_MIN, IDS_MIN}, {IDC_STC_MAX, IDS_MAX},
        {IDC_GRP_PERFORMANCE, IDS_PERFORMANCE}, {IDC_STC_REALTIME, IDS_REAL_TIME},
        {IDC_STC_STABILITY, IDS_STABILITY}, {IDC_GRP_WINSOUND, IDS_WINSOUND_SETTING},
        {IDC_CHK_MATCH_ASIO_RATE, IDS_MATCH_ASIO_RATE}, {IDC_GRP_ASIO, IDS_ASIO_SETTING},
        {IDC_STC_ASIO_BUFFER_LABEL, IDS_ASIO_BUFFER_SIZE}, {IDC_STC_ASIO_CREDIT, IDS_ASIO_CREDIT},
        {IDC_BTN_README, IDS_SHOW_README}, {IDOK, IDS_CLOSE}, {IDCANCEL, IDS_REVERT}, {IDC_BTN_APPLY, IDS_APPLY},
        {IDC_BTN_DEFAULT, IDS_DEFAULT}, {IDC_STC_COPYRIGHT, IDS_COPYRIGHT},
    };
    static const struct {
        LANGID language;
        const wchar_t* title;
        const wchar_t* close;
    } kLanguages[] = {
        {kEnglish, L"Calvera Driver Settings", L"Close"},
        {kGerman, L"Calvera Treibereinstellungen", L"Schließen"},
        {kJapanese, L"Calvera ドライバー設定", L"閉じる"},
    };
    for (const auto& language : kLanguages) {
        SCOPED_TRACE(testing::Message() << "language 0x" << std::hex << language.language);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        ui.SetUserLanguage(language.language);
        ui.Do([&] {
            EXPECT_EQ(ui.Title(), language.title);
            EXPECT_EQ(ui.Text(IDOK), language.close);
            for (const auto& t : kTexts)
                EXPECT_EQ(ui.Text(t.control), ProgramString(t.string, language.language)) << "control " << t.control;
            const std::vector<std::wstring> texts = ui.ControlTexts();
            EXPECT_NE(std::find(texts.begin(), texts.end(), L"SAMPLE RATE:"), texts.end())
                << "the rate label keeps its template text in every language";
            EXPECT_EQ(ui.Text(IDC_STC_VERSION), L"") << "no stored version";
        });
        ui.Click(IDOK);
        RunProgram();
        EXPECT_TRUE(ui.MessageBoxes().empty());
    }
}

TEST_F(MainDialogTest, VersionLine) {
    Connect(1);
    static const struct {
        const char* name;
        LANGID language;
        bool stored;
        std::wstring version;
        std::wstring expected;
    } kCases[] = {
        {"stored", kEnglish, true, L"1.2.3", L"Calvera Driver 1.2.3"},
        {"German", kGerman, true, L"1.2.3", L"Calvera Treiber 1.2.3"},
        {"missing", kEnglish, false, L"", L""},
        {"empty", kEnglish, true, L"", L"Calvera Driver "},
        {"placeholder inside the version is kept", kEnglish, true, L"__MODEL__", L"Calvera Driver __MODEL__"},
        {"178 characters", kEnglish, true, std::wstring(178, L'9'), L"Calvera Driver " + std::wstring(178, L'9')},
        {"179 characters count as missing", kEnglish, true, std::wstring(179, L'9'), L""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        MxRegistryReset();
        if (c.stored) SetInstallValue(L"version", c.version);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        ui.SetUserLanguage(c.language);
        ui.Do([&] { EXPECT_EQ(ui.Text(IDC_STC_VERSION), c.expected); });
        ui.Click(IDOK);
        RunProgram();
    }
}

TEST_F(MainDialogTest, CopyrightLineFromTheRegistryOrTheTable) {
    Connect(1);
    ui_.Do([&] { EXPECT_EQ(ui_.Text(IDC_STC_COPYRIGHT), ProgramString(IDS_COPYRIGHT)); });
    ui_.Click(IDOK);
    RunProgram();

    SetInstallValue(L"copyright", L"(C) 2031 Somebody __MODEL__");
    ui::HeadlessBackend ui;
    ui::SetBackend(&ui);
    ui.Do([&] { EXPECT_EQ(ui.Text(IDC_STC_COPYRIGHT), L"(C) 2031 Somebody __MODEL__") << "shown as read"; });
    ui.Click(IDOK);
    RunProgram();
}

TEST_F(MainDialogTest, UnitListShowsPresentUnits) {
    static const struct {
        const char* name;
        std::vector<int> units;
        std::vector<std::wstring> items;
        std::vector<DWORD_PTR> data;
        std::wstring selected;
    } kCases[] = {
        {"units 1 and 3", {1, 3}, {L"Calvera", L"Calvera(3)"}, {0, 2}, L"Calvera"},
        {"only unit 3", {3}, {L"Calvera(3)"}, {2}, L"Calvera(3)"},
        {"units 2 and 4", {4, 2}, {L"Calvera(2)", L"Calvera(4)"}, {1, 3}, L"Calvera(2)"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        ASSERT_TRUE(units_.Configure(vu::UnitSet()));
        for (int unit : c.units) Connect(unit);
        ui.Do([&] {
            EXPECT_EQ(ui.Items(IDC_CMB_DEVICE), c.items);
            EXPECT_EQ(ui.ItemData(IDC_CMB_DEVICE), c.data);
            EXPECT_EQ(ui.SelectedText(IDC_CMB_DEVICE), c.selected);
            EXPECT_TRUE(ui.IsEnabled(IDC_CMB_DEVICE));
            EXPECT_TRUE(ui.IsEnabled(IDC_CMB_FREQ));
        });
        ui.Click(IDOK);
        RunProgram();
    }
}

TEST_F(MainDialogTest, RateListShowsTheSupportedRatesOfTheList) {
    static const struct {
        const char* name;
        std::vector<uint32_t> rates;
        uint32_t driverRate;
        std::vector<std::wstring> items;
        std::wstring selected;
    } kCases[] = {
        {"44100 and 48000", {48000, 44100}, 48000, {L" 44100 Hz", L" 48000 Hz"}, L" 48000 Hz"},
        {"32000 and 384000 never appear", {32000, 44100, 96000, 352800, 384000}, 352800,
         {L" 44100 Hz", L" 96000 Hz", L"352800 Hz"}, L"352800 Hz"},
        {"driver rate outside the list", {32000, 44100}, 32000, {L" 44100 Hz"}, L""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        vu::UnitConfig config = Unit({}, c.driverRate);
        for (uint32_t rate : c.rates) config.rates[config.rateCount++] = rate;
        Connect(1, config);
        ui.Do([&] {
            EXPECT_EQ(ui.Items(IDC_CMB_FREQ), c.items);
            EXPECT_EQ(ui.SelectedText(IDC_CMB_FREQ), c.selected);
        });
        ui.Click(IDOK);
        RunProgram();
        // Only the seven rates of the list are ever asked.
        for (const vu::LogEntry& entry : units_.Requests(IOCTL_CHECK_RATE))
            EXPECT_NE(std::find(std::begin(kRateList), std::end(kRateList), entry.Word(1)), std::end(kRateList));
        units_.ClearLog();
    }
}

TEST_F(MainDialogTest, SliderLabelsSitUnderTheirTicks) {
    Connect(1);
    ui_.Do([&] {
        EXPECT_EQ(ui_.SliderTics(IDC_SLD_BUFFER), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
        const RECT slider = ui_.ClientRect(IDC_SLD_BUFFER);
        const HWND sliderWindow = ui_.Item(IDC_SLD_BUFFER);
        auto centre = [&](int id) {
            const RECT r = ui_.ClientRect(id);
            return (r.left + r.right) / 2.0;
        };
        for (int k = 0; k < 10; ++k) {
            SCOPED_TRACE(testing::Message() << "label " << k + 1);
            const int tick = slider.left + ui_.SliderGetTicPixel(sliderWindow, k);
            EXPECT_TRUE(ui_.IsVisible(IDC_STC_LABEL_FIRST + k));
            EXPECT_LE(std::abs(centre(IDC_STC_LABEL_FIRST + k) - tick), 1.0);
            // Only moved sideways: height, width and line stay as in the template.
            const RECT r = ui_.ClientRect(IDC_STC_LABEL_FIRST + k);
            EXPECT_EQ(r.top, 135);  // 83 dialog units
            EXPECT_EQ(r.right - r.left, k == 9 ? 14 : 12);
        }
        EXPECT_FALSE(ui_.IsVisible(IDC_STC_LABEL_LAST)) << "label 11 is hidden";
        EXPECT_EQ(centre(IDC_STC_MARKER), centre(IDC_STC_LABEL_FIRST + 5)) << "the marker sits under label 6";
    });
    ui_.Click(IDOK);
    RunProgram();
}

TEST_F(MainDialogTest, OpensWithTheUnitsRecord) {
    static const struct {
        int32_t position;
        uint32_t noRateFollow;
        int slider;
        int checked;
    } kCases[] = {{7, 0, 7, BST_CHECKED}, {0, 1, 0, BST_UNCHECKED}, {42, 0, 9, BST_CHECKED}, {-3, 5, 0, BST_UNCHECKED}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "position " << c.position);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        vu::UnitConfig config = Unit();
        config.settings.nBufPos = c.position;
        config.settings.bNoRateFollow = c.noRateFollow;
        Connect(1, config);
        ui.Do([&] {
            EXPECT_EQ(ui.SliderPos(IDC_SLD_BUFFER), c.slider);
            EXPECT_EQ(ui.SliderMax(IDC_SLD_BUFFER), 9);
            EXPECT_EQ(ui.CheckState(IDC_CHK_MATCH_ASIO_RATE), c.checked);
            EXPECT_FALSE(ui.IsEnabled(IDC_BTN_APPLY));
            EXPECT_TRUE(ui.HasTimer(ui.ActiveDialog(), 1));
        });
        ui.PressKey(VK_ESCAPE);  // revert: nothing to revert, the dialog stays
        ui.Do([&] { EXPECT_TRUE(MainDialogRunning(ui)); });
        ui.Click(IDOK);
        ui.SetMessageBoxResponder([](const ui::MessageBoxRecord&) { return IDNO; });
        RunProgram();
        EXPECT_EQ(units_.CountRequests(IOCTL_SET_SETTINGS), 0u);
    }
}

TEST_F(MainDialogTest, ReadmeButtonFollowsTheDocument) {
    Connect(1);
    const std::filesystem::path folder = InstallReadmes({"Readme_EN.htm"});
    ui_.Do([&] { EXPECT_TRUE(ui_.IsEnabled(IDC_BTN_README)); });
    ui_.Click(IDC_BTN_README);
    ui_.Click(IDOK);
    RunProgram();
    ASSERT_EQ(ui_.ShellOpens().size(), 1u);
    EXPECT_EQ(ui_.ShellOpens()[0].file, folder.wstring() + L"\\Readme\\Readme_EN.htm");

    ui::HeadlessBackend ui;
    ui::SetBackend(&ui);
    ui.SetUserLanguage(kJapanese);
    ui.Do([&] { EXPECT_FALSE(ui.IsEnabled(IDC_BTN_README)); });
    ui.Click(IDOK);
    RunProgram();
}

}  // namespace
}  // namespace settings_test
