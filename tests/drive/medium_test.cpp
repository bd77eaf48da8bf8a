// Media by profile: which medium each is, its name, its 1X and nominal size.
#include "drive/medium.h"

#include <gtest/gtest.h>

namespace tmx {
namespace {

TEST(Medium, ProfilesNameTheirMedium) {
  EXPECT_EQ(mediumKindOfProfile(0x0009), MediumKind::CD);
  EXPECT_EQ(mediumKindOfProfile(0x002B), MediumKind::DVD);
  EXPECT_EQ(mediumKindOfProfile(0x0043), MediumKind::BD);
  EXPECT_EQ(mediumKindOfProfile(0x0002), std::nullopt) << "a removable disk";
  EXPECT_EQ(mediumKindOfProfile(0x0051), std::nullopt) << "HD DVD-R";
  EXPECT_EQ(profileName(0x0010), "DVD-ROM");
  EXPECT_EQ(profileName(0x002B), "DVD+R DL");
  EXPECT_EQ(profileName(0x0041), "BD-R");
  EXPECT_EQ(profileName(0x0050), "Profile 0050h") << "unknown: named by its number";

  Medium dvd{MediumKind::DVD, 0x0010, "DVD-ROM", 1, false, 2'295'104, std::nullopt};
  EXPECT_EQ(dvd.oneXBytesPerSecond(), 1'385'000);
  EXPECT_EQ(dvd.nominalGigabytes(), 4.7);
  EXPECT_NEAR(dvd.gigabytes(), 4.70, 0.005);
  Medium bd50{MediumKind::BD, 0x0040, "BD-ROM", 2, true, 24'438'784, 12'219'392};
  EXPECT_EQ(bd50.oneXBytesPerSecond(), 4'495'500);
  EXPECT_EQ(bd50.nominalGigabytes(), 50.0);
  EXPECT_EQ(Medium{}.oneXBytesPerSecond(), 153'600);
  EXPECT_EQ(Medium{}.nominalGigabytes(), 0.0);
}

}  // namespace
}  // namespace tmx
