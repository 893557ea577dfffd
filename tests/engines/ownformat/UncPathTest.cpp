#include <gtest/gtest.h>

#include "engines/common/EngineError.h"
#include "engines/common/UncPath.h"

namespace {

// Taken from a machine with two SMB shares mounted, one of them below a folder with a blank,
// one mounted from a folder inside its share, beside ordinary and NFS mounts.
constexpr const char* kMountinfo =
    "22 1 0:21 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw\n"
    "25 1 252:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
    "97 25 0:48 / /mnt/vss rw,relatime shared:50 - cifs //FileServer/VSS rw,vers=3.1.1\n"
    "98 25 0:49 / /media/team\\040share rw,relatime shared:51 - cifs //fileserver/Team "
    "rw,vers=3.0\n"
    "99 25 0:50 /Projects/Old /srv/old rw,relatime shared:52 - smb3 //fileserver/team rw\n"
    "100 25 0:51 / /mnt/nfs rw,relatime shared:53 - nfs4 fileserver:/vss rw\n";

struct UncCase {
  const char* unc;
  const char* local;
};

class ResolveUncTest : public ::testing::TestWithParam<UncCase> {};

TEST_P(ResolveUncTest, FindsTheMountedFolder) {
  EXPECT_EQ(sourcesafe::ResolveUncPath(GetParam().unc, kMountinfo).string(), GetParam().local);
}

INSTANTIATE_TEST_SUITE_P(
    Mounted, ResolveUncTest,
    ::testing::Values(UncCase{R"(\\fileserver\vss\db1)", "/mnt/vss/db1"},
                      UncCase{R"(\\FILESERVER\Vss\db1\srcsafe.ini)", "/mnt/vss/db1/srcsafe.ini"},
                      UncCase{"//fileserver/vss/db1/", "/mnt/vss/db1"},
                      UncCase{R"(\\fileserver\vss)", "/mnt/vss"},
                      UncCase{R"(\\fileserver\team\Current)", "/media/team share/Current"},
                      // the mount of a folder inside the share serves the paths below it
                      UncCase{R"(\\fileserver\TEAM\projects\old\db)", "/srv/old/db"}));

TEST(UncPathTest, AnUnmountedShareIsAnErrorNamingIt) {
  try {
    sourcesafe::ResolveUncPath(R"(\\otherserver\vss\db)", kMountinfo);
    FAIL() << "resolved an unmounted share";
  } catch (const sourcesafe::EngineError& error) {
    EXPECT_EQ(error.Code(), sourcesafe::ErrorCode::kFileNotFound);
    EXPECT_NE(std::string(error.what()).find(R"(\\otherserver\vss)"), std::string::npos);
  }
  // An NFS export of the same name is no SMB share.
  EXPECT_THROW(sourcesafe::ResolveUncPath(R"(\\fileserver\nfsonly)", kMountinfo),
               sourcesafe::EngineError);
}

TEST(UncPathTest, TellsUncPathsFromOthers) {
  EXPECT_TRUE(sourcesafe::IsUncPath(R"(\\server\share)"));
  EXPECT_TRUE(sourcesafe::IsUncPath("//server/share"));
  EXPECT_FALSE(sourcesafe::IsUncPath("/srv/vss"));
  EXPECT_FALSE(sourcesafe::IsUncPath("///srv/vss"));
  EXPECT_FALSE(sourcesafe::IsUncPath("relative/db"));
}

}  // namespace
