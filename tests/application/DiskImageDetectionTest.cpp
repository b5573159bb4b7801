#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DiskImageLaunchCheck.h"
#include "FileTestSupport.h"
#include "NSWorkspace_QzAdditions.h"

namespace fs = std::filesystem;
namespace hf = hc::foundation;
using W = NSWorkspace_QzAdditions;

namespace {

// A mount table and a kernel device tree laid out in a scratch folder: the
// volumes' mount points are real folders there, so paths resolve as they
// would on a live system.
class VolumeFixture {
 public:
  VolumeFixture() : m_root(fs::canonical(m_scratch.Path()).string()) {
    // id parent major:minor root mount-point options - type source super-options
    const std::string table =
        "1 0 8:1 / " + Volume("disk") + " rw,relatime - ext4 /dev/sda1 rw\n" +
        "2 1 7:0 / " + Volume("image\\040rw") + " rw,nosuid - ext4 /dev/loop0 rw\n" +
        "3 1 7:1 / " + Volume("image-ro") + " ro,nosuid - iso9660 /dev/loop1 ro\n" +
        "4 1 7:2 / " + Volume("image-sb-ro") + " rw - ext4 /dev/loop2 ro,errors=continue\n" +
        "5 1 259:1 / " + Volume("image-part") + " ro shared:7 master:2 - vfat /dev/loop3p1 ro\n" +
        "6 1 0:50 / " + Volume("share") + " rw - nfs4 server:/export rw\n" +
        "7 1 0:51 / " + Volume("scratch") + " rw - tmpfs tmpfs rw\n" +
        "8 1 259:0 / " + Volume("nvme") + " rw - ext4 /dev/nvme0n1 rw\n" +
        "not a mount line\n" +
        // A later mount on the same folder covers the earlier one.
        "9 1 0:52 / " + Volume("scratch") + " ro - tmpfs tmpfs ro\n";
    WriteText(m_root + "/mountinfo", table);

    Device("virtual/block/loop0", "block", {{"loop/backing_file", "/home/u/Player.img\n"}});
    Device("virtual/block/loop1", "block", {{"loop/backing_file", "/home/u/Player (copy).iso\n"}});
    Device("virtual/block/loop2", "block", {{"loop/backing_file", "/home/u/sb.img\n"}});
    Device("virtual/block/loop3", "block", {{"loop/backing_file", "/home/u/part.img\n"}});
    Device("virtual/block/loop3/loop3p1", "block", {});
    const std::string sata = "pci0000:00/0000:00:1f.2";
    Device(sata, "pci", {{"vendor", "0x8086\n"}});
    Device(sata + "/ata1/host0", "scsi", {});
    Device(sata + "/ata1/host0/target0:0:0/0:0:0:0", "scsi",
           {{"model", "Samsung SSD 870 \n"}, {"rev", "1B6Q\n"}, {"vendor", "ATA     \n"}});
    Device(sata + "/ata1/host0/target0:0:0/0:0:0:0/block/sda", "block", {});
    Device(sata + "/ata1/host0/target0:0:0/0:0:0:0/block/sda/sda1", "block", {});
    // Facts above the first PCI device are not reached.
    const std::string bridge = "pci0000:00/0000:00:1d.0";
    Device(bridge, "pci", {{"vendor", "Bridge Maker\n"}});
    Device(bridge + "/0000:3d:00.0", "pci", {{"manufacturer", "Disk Maker\n"}});
    Device(bridge + "/0000:3d:00.0/nvme/nvme0", "nvme", {{"model", "Fast Disk\n"}, {"firmware_rev", "2.0\n"}});
    Device(bridge + "/0000:3d:00.0/nvme/nvme0/nvme0n1", "block", {});

    Link("7:0", "virtual/block/loop0");
    Link("7:1", "virtual/block/loop1");
    Link("7:2", "virtual/block/loop2");
    Link("259:1", "virtual/block/loop3/loop3p1");
    Link("8:1", sata + "/ata1/host0/target0:0:0/0:0:0:0/block/sda/sda1");
    Link("259:0", bridge + "/0000:3d:00.0/nvme/nvme0/nvme0n1");
  }

  hc::system::VolumeFactRoots Roots() const { return {m_root + "/mountinfo", m_root + "/sys"}; }
  std::string Path(const std::string& inVolume) const { return m_root + "/volumes/" + inVolume; }

 private:
  // Makes the mount point (and an application folder in it); answers it as
  // the mount table writes it.
  std::string Volume(const std::string& name) {
    std::string folder = name;
    for (size_t at; (at = folder.find("\\040")) != std::string::npos;) folder.replace(at, 4, " ");
    fs::create_directories(m_root + "/volumes/" + folder + "/Player/lib");
    return m_root + "/volumes/" + name;
  }

  void Device(const std::string& path, const std::string& subsystem,
              const std::vector<std::pair<std::string, std::string>>& attributes) {
    const fs::path folder = fs::path(m_root) / "sys/devices" / path;
    fs::create_directories(folder);
    fs::create_directory_symlink("../../class/" + subsystem, folder / "subsystem");
    for (const auto& [name, text] : attributes) {
      fs::create_directories((folder / name).parent_path());
      WriteText((folder / name).string(), text);
    }
  }

  void Link(const std::string& numbers, const std::string& device) {
    fs::create_directories(m_root + "/sys/dev/block");
    fs::create_directory_symlink("../../devices/" + device, m_root + "/sys/dev/block/" + numbers);
  }

  ScratchFolder m_scratch;
  std::string m_root;
};

std::string Item(const hf::PlistValue& properties, const char* key) {
  const hf::PlistValue* item = properties.GetItem(key);
  return item && item->AsString() ? *item->AsString() : "<none>";
}

}  // namespace

TEST(NSWorkspace_QzAdditions, MergingTextsKeepsWhatIsAlreadySaid) {
  const struct {
    const char* existing;
    const char* added;
    const char* merged;
  } cases[] = {
      {"Vendor Disk", "Vendor", "Vendor Disk"}, {"Vendor", "Vendor Disk", "Vendor Disk"},
      {"A", "B", "A; B"},                       {"vendor disk", "  VENDOR\n", "vendor disk"},
      {"Vendor", " \tvendor DISK \r\n", "vendor DISK"}, {"", "  New ", "New"},
      {"Kept", "", "Kept"},                     {"Kept", " \n", "Kept"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.merged, W::MergeText(c.existing, c.added)) << c.existing << " + " << c.added;
  }
}

TEST(NSWorkspace_QzAdditions, DiskImageDecisionsOnMountAndDeviceFixtures) {
  VolumeFixture fixture;
  const W workspace(fixture.Roots());
  const DiskImageLaunchCheck check(workspace);
  const struct {
    const char* path;
    const char* imageFile;  // "<none>" when not within an image
    bool mayLaunch;
  } cases[] = {
      {"disk/Player", "<none>", true},
      {"image rw/Player/lib/..", "/home/u/Player.img", true},        // a writable image starts
      {"image-ro/Player", "/home/u/Player (copy).iso", false},       // a read-only mount is refused
      {"image-sb-ro/Player", "/home/u/sb.img", false},                // so is a read-only super block
      {"image-part/Player", "/home/u/part.img", false},               // a partition of an image file
      {"share/Player", "<none>", true},
      {"scratch/Player", "<none>", true},
      {"nvme/Player", "<none>", true},
      {"disk/no such folder", "<none>", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const std::string path = fixture.Path(c.path);
    EXPECT_EQ(c.imageFile, Item(workspace.PropertiesForPath(path), W::kImageFilePathKey));
    EXPECT_EQ(std::string(c.imageFile) != "<none>", workspace.PathIsWithinDiskImage(path));
    EXPECT_EQ(c.mayLaunch, check.MayLaunchFrom(path));
  }
}

TEST(NSWorkspace_QzAdditions, VolumePropertiesTellTheDeviceChainAndServer) {
  VolumeFixture fixture;
  const W workspace(fixture.Roots());

  const hf::PlistValue disk = workspace.PropertiesForPath(fixture.Path("disk/Player"));
  EXPECT_EQ("ext4", Item(disk, W::kFsTypeNameKey));
  EXPECT_EQ(fixture.Path("disk"), Item(disk, W::kMountOnNameKey));
  EXPECT_EQ("/dev/sda1", Item(disk, W::kMountFromNameKey));
  EXPECT_EQ("SCSI; PCI", Item(disk, W::kConnectionTypeKey));
  EXPECT_EQ("Samsung SSD 870; 1B6Q; ATA", Item(disk, W::kDeviceInfoKey));
  EXPECT_EQ(nullptr, disk.GetItem(W::kServerUrlKey));

  // The climb ends at the first PCI device, whose own facts still count.
  const hf::PlistValue nvme = workspace.PropertiesForPath(fixture.Path("nvme"));
  EXPECT_EQ("NVMe; PCI", Item(nvme, W::kConnectionTypeKey));
  EXPECT_EQ("Fast Disk; 2.0; Disk Maker", Item(nvme, W::kDeviceInfoKey));

  const hf::PlistValue image = workspace.PropertiesForPath(fixture.Path("image rw"));
  EXPECT_EQ(fixture.Path("image rw"), Item(image, W::kMountOnNameKey));
  EXPECT_EQ(nullptr, image.GetItem(W::kConnectionTypeKey));

  const hf::PlistValue share = workspace.PropertiesForPath(fixture.Path("share/Player"));
  EXPECT_EQ("server:/export", Item(share, W::kServerUrlKey));
  EXPECT_EQ("server:/export", Item(share, W::kMountFromNameKey));
  EXPECT_EQ(4u, share.GetCount());  // type, mount point, source, server

  bool writable = true;
  ASSERT_TRUE(workspace.GetFileSystemInfoForPath(fixture.Path("scratch"), &writable));
  EXPECT_FALSE(writable);
}

TEST(NSWorkspace_QzAdditions, UnreadableFileSystemInformationGivesNothing) {
  VolumeFixture fixture;
  hc::system::VolumeFactRoots noTable = fixture.Roots();
  noTable.mountTable += ".missing";
  for (const W& workspace : {W(fixture.Roots()), W(noTable)}) {
    const std::string missing = fixture.Path("disk/missing");
    EXPECT_TRUE(workspace.PropertiesForPath(missing).IsNull());
    EXPECT_FALSE(workspace.PathIsWithinDiskImage(missing));
    bool writable = true;
    EXPECT_FALSE(workspace.GetFileSystemInfoForPath(missing, &writable));
  }
  EXPECT_TRUE(W(noTable).PropertiesForPath(fixture.Path("image-ro/Player")).IsNull());
  // The live system: the root folder lies on some volume.
  EXPECT_FALSE(W().PropertiesForPath("/").IsNull());
}

TEST(DiskImageLaunchCheck, RefusalShowsTheAlertThenExitsWithFailure) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  VolumeFixture fixture;
  const W workspace(fixture.Roots());
  const DiskImageLaunchCheck check(workspace);
  const auto localize = [](std::string_view text) { return std::string(text); };
  const auto present = [](const DiskImageLaunchCheck::Alert& alert) {
    fprintf(stderr, "[%s] %s (%s)\n", alert.title.c_str(), alert.message.c_str(), alert.button.c_str());
  };
  EXPECT_EXIT(check.RefuseUnlessLaunchable(fixture.Path("image-ro/Player"), "HalcyonPlayer", localize, present),
              ::testing::ExitedWithCode(DiskImageLaunchCheck::kRefusalExitStatus),
              "\\[HalcyonPlayer\\] HalcyonPlayer can not be run from within a mounted disk-image\\. Please copy "
              "the application to your Applications directory\\. \\(OK\\)");
  // Launchable copies return and go on.
  check.RefuseUnlessLaunchable(fixture.Path("image rw/Player"), "HalcyonPlayer", localize, present);

  const auto german = [](std::string_view text) {
    return text == "OK" ? std::string("Gut") : "« " + std::string(text) + " »";
  };
  const DiskImageLaunchCheck::Alert alert = DiskImageLaunchCheck::RefusalAlert("Halcyon", german);
  EXPECT_EQ("« Halcyon »", alert.title);
  EXPECT_EQ(0u, alert.message.find("« Halcyon can not be run"));
  EXPECT_EQ("Gut", alert.button);
}
