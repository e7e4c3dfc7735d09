#include "settings_window/ColorSchemePortal.h"
#include "settings_window/QtAppearanceApplier.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace gridlume;

namespace {

bool applicationLooksDark()
{
    return QApplication::palette().color(QPalette::Window).lightness() < 128;
}

struct AppearanceCase {
    const char* name;
    AppAppearance appearance;
    std::optional<bool> systemPrefersDark;
    bool dark;
    // The desktop's preference changing afterwards, and whether the palette is dark then.
    std::optional<bool> laterPreference = {};
    bool darkLater = false;
};

class AppliedAppearance : public ::testing::TestWithParam<AppearanceCase> { };

TEST_P(AppliedAppearance, SetsTheWholeApplicationsPalette)
{
    const AppearanceCase& c = GetParam();
    std::optional<bool> preference = c.systemPrefersDark;
    QtAppearanceApplier applier([&] { return preference; });
    // Start from the opposite, so that a palette left unchanged shows.
    applier.applyAppearance(c.dark ? AppAppearance::light : AppAppearance::dark);

    applier.applyAppearance(c.appearance);

    EXPECT_EQ(applier.isDark(), c.dark);
    EXPECT_EQ(applicationLooksDark(), c.dark);
    // Text stays readable on the window in either palette.
    const QPalette palette = QApplication::palette();
    EXPECT_GT(std::abs(palette.color(QPalette::WindowText).lightness() - palette.color(QPalette::Window).lightness()), 150);
    EXPECT_GT(std::abs(palette.color(QPalette::Text).lightness() - palette.color(QPalette::Base).lightness()), 150);

    preference = c.laterPreference;
    applier.systemPreferenceChanged();
    EXPECT_EQ(applier.isDark(), c.darkLater) << "after the desktop's preference changed";
    EXPECT_EQ(applicationLooksDark(), c.darkLater);
}

INSTANTIATE_TEST_SUITE_P(QtAppearanceApplier, AppliedAppearance,
    ::testing::Values(AppearanceCase { "darkIgnoresTheDesktop", AppAppearance::dark, false, true, false, true },
        AppearanceCase { "systemPrefersDark", AppAppearance::system, true, true },
        AppearanceCase {
            "systemWithoutPreferenceIsLightUntilOneComes", AppAppearance::system, std::nullopt, false, true, true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColorSchemePortal, ReadsThePortalsNumbers)
{
    EXPECT_EQ(ColorSchemePortal::colorSchemeFromPortalValue(0), ColorSchemePortal::ColorScheme::noPreference);
    EXPECT_EQ(ColorSchemePortal::colorSchemeFromPortalValue(1), ColorSchemePortal::ColorScheme::preferDark);
    EXPECT_EQ(ColorSchemePortal::colorSchemeFromPortalValue(2), ColorSchemePortal::ColorScheme::preferLight);
    EXPECT_EQ(ColorSchemePortal::colorSchemeFromPortalValue(7), ColorSchemePortal::ColorScheme::noPreference);
}

} // namespace
