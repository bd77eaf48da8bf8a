#include "emulator/presets.h"

#include "emulator/media_profiles.h"

namespace tmx::emu {
namespace {

constexpr int32_t kMinutes = 4500;  // sectors per minute

DriveProfile base(std::string vendor, std::string product, std::string revision) {
  DriveProfile p;
  p.vendor = std::move(vendor);
  p.product = std::move(product);
  p.revision = std::move(revision);
  return p;
}

Preset cavAudio() {
  Preset p{"cav52-audio74", base("QUASARIX", "CD-5200 CAV", "1.04"), DiscSpec{}, 52};
  p.profile.rotation = Rotation::Cav;
  p.profile.maxSpeedX = 52;
  p.profile.speedSteps = {4, 8, 16, 24, 32, 40, 48};
  p.profile.bufferBytes = 2 * 1024 * 1024;
  p.profile.accurateStream = true;
  p.profile.c2Pointers = true;
  DiscSpec& d = *p.disc;
  d.content = DiscContent::Audio;
  d.sectors = 74 * kMinutes;
  d.tracks = 14;
  d.seed = 7401;
  // A small scratch two thirds in, away from the places the audio test reads:
  // a handful of sectors with C2 errors.
  d.damage = {DamageRegion{250'000, 300, 0.04, false}};
  // A ripper's favourite: every read command with C2 and sub-channel, no
  // cache of its own (its audio runs are as they were before caches were
  // modelled), 100 sectors of lead-out.
  RippingTraits& t = p.profile.ripping;
  t.readCdMsf = true;
  t.subReadCd = t.subReadCdMsf = t.subReadCdda = kSubRawPw | kSubFormattedQ;
  t.leadOutSectors = 100;
  return p;
}

Preset clvData() {
  Preset p{"clv16-data74", base("NORDLYS", "CLV-1600 SCSI", "2.10"), DiscSpec{}, 16};
  p.profile.rotation = Rotation::Clv;
  p.profile.maxSpeedX = 16;
  p.profile.speedSteps = {1, 2, 4, 8, 12};
  p.profile.bufferBytes = 512 * 1024;
  p.profile.interfaceBytesPerSecond = 20e6;  // Fast-20 SCSI
  p.profile.commandOverheadNs = 90'000;
  p.profile.seekSettleMs = 10;
  p.profile.seekStrokeMs = 120;
  p.profile.spindleAccelRpmPerS = 70'000;
  p.profile.spinUpAccelRpmPerS = 4'000;
  DiscSpec& d = *p.disc;
  d.content = DiscContent::Data;
  d.sectors = 74 * kMinutes;
  d.seed = 7402;
  // C2 pointers that miss a quarter of the damaged sectors and flag another
  // quarter that comes out right; 294 bytes only. A cache of raw sectors
  // that a read 1000 sectors away empties: on a data disc no test of a run
  // reads raw sectors twice, so the runs keep their timings.
  d.damage = {DamageRegion{30'000, 400, 0.05, false}};
  RippingTraits& t = p.profile.ripping;
  t.cacheBytes = 1600 * 1024;
  t.cacheFlushSectors = 1000;
  t.c2BlockErrorByte = false;
  t.c2MissPercent = 25;
  t.c2FalsePercent = 25;
  t.readCdMsf = true;
  t.subReadCd = kSubRawPw;
  t.leadInSectors = 100;
  t.leadOutSectors = 100;
  return p;
}

Preset pcavAudio() {
  Preset p{"pcav32-audio80", base("VELTRONA", "PCAV-3200", "0.9A"), DiscSpec{}, 32};
  p.profile.rotation = Rotation::Pcav;
  p.profile.maxSpeedX = 32;
  p.profile.pcavRimSpeedX = 40;
  p.profile.speedSteps = {4, 8, 16, 24};
  p.profile.bufferBytes = 256 * 1024;
  p.profile.accurateStream = false;
  p.profile.audioJitterFrames = 24;
  p.profile.c2Pointers = false;
  p.profile.rejectedOpcodes.set(0xD8);
  p.profile.idleSpinDownMs = 120'000;
  p.profile.ripping.subReadCd = kSubFormattedQ;
  DiscSpec& d = *p.disc;
  d.content = DiscContent::Audio;
  d.sectors = 80 * kMinutes;
  d.tracks = 18;
  d.seed = 8003;
  return p;
}

Preset zclvCdr() {
  Preset p{"zclv48-cdr-ty", base("ZEPHIRIX", "ZX-4800 ATAPI", "3.01"), DiscSpec{}, 48};
  p.profile.rotation = Rotation::Zclv;
  p.profile.maxSpeedX = 48;
  p.profile.zones = {{0, 24}, {16 * kMinutes, 32}, {33 * kMinutes, 40}, {52 * kMinutes, 48}};
  p.profile.speedSteps = {4, 8, 16, 24, 32, 40};
  p.profile.rejectedOpcodes.set(0x0B).set(0x1A).set(0x15);  // ATAPI: no 6-byte SEEK or MODE commands
  p.profile.mmcProfiles = classProfiles(DriveClass::CdWriter);
  DiscSpec& d = *p.disc;
  d.content = DiscContent::Data;
  d.medium = Medium::Recordable;
  d.sectors = 62 * kMinutes;
  d.seed = 4804;
  d.atip = Atip{{97, 24, 1}, {79, 59, 74}, 0x08};
  // C2 bits four bytes late, a cache nothing but its size empties, speed
  // settings accepted and ignored.
  d.damage = {DamageRegion{20'000, 300, 0.05, false}};
  RippingTraits& t = p.profile.ripping;
  t.cacheBytes = 1024 * 1024;
  t.c2ShiftBytes = 4;
  t.readCdMsf = true;
  t.subReadCdMsf = kSubRawPw;
  t.subReadCdda = kSubFormattedQ;
  t.leadInSectors = 30;
  t.leadOutSectors = 75;
  t.ignoresSpeed = true;
  return p;
}

Preset cdrwDrive() {
  Preset p{"cav40-cdrw", base("KORVANTE", "RW-4024 USB", "1.20"), DiscSpec{}, 40};
  p.profile.rotation = Rotation::Cav;
  p.profile.maxSpeedX = 40;
  p.profile.speedSteps = {4, 8, 16, 24, 32};
  p.profile.interfaceBytesPerSecond = 35e6;  // USB 2 bridge
  p.profile.commandOverheadNs = 250'000;
  p.profile.mmcProfiles = classProfiles(DriveClass::CdWriter);
  DiscSpec& d = *p.disc;
  d.content = DiscContent::Data;
  d.medium = Medium::Rewritable;
  d.sectors = 20 * kMinutes;
  d.seed = 4005;
  d.atip = Atip{{97, 27, 3}, {74, 45, 0}, 0x02};
  // Speed requests spin at most 8X; the maximum is still the maximum.
  RippingTraits& t = p.profile.ripping;
  t.c2BlockErrorByte = false;
  t.subReadCd = kSubRawPw | kSubFormattedQ;
  t.subReadCdda = kSubRawPw;
  t.leadOutSectors = 20;
  t.speedCapX = 8;
  return p;
}

Preset blankCdr() {
  Preset p{"clv12-blank-cdr", base("OMBRELLE", "CDR-1210", "1.0B"), DiscSpec{}, 12};
  p.profile.rotation = Rotation::Clv;
  p.profile.maxSpeedX = 12;
  p.profile.speedSteps = {1, 2, 4, 8};
  p.profile.bufferBytes = 1024 * 1024;
  DiscSpec& d = *p.disc;
  d.content = DiscContent::Blank;
  d.medium = Medium::Recordable;
  d.seed = 1206;
  d.atip = Atip{{97, 26, 66}, {79, 59, 74}, 0x06};
  return p;
}

Preset emptyDrive() {
  Preset p{"cav40-empty", base("ARKADIA", "CD-ROM 40X", "4.0"), std::nullopt, 40};
  p.profile.rotation = Rotation::Cav;
  p.profile.maxSpeedX = 40;
  // An MMC-3 drive: with no disc its current profile is none.
  p.profile.mmcProfiles = classProfiles(DriveClass::CdRom);
  return p;
}

// DVD and BD drives: streaming, no vendor CD-DA read; speeds in the medium's X.
DriveProfile mmcDrive(std::string vendor, std::string product, std::string revision, DriveClass driveClass,
                      std::string serial) {
  DriveProfile p = base(std::move(vendor), std::move(product), std::move(revision));
  p.mmcProfiles = classProfiles(driveClass);
  p.streaming = true;
  p.serialNumber = std::move(serial);
  p.rejectedOpcodes.set(0xD8);
  p.interfaceBytesPerSecond = 150e6;  // SATA
  p.commandOverheadNs = 100'000;
  return p;
}

DiscSpec dataDisc(DiscFamily family, Medium medium, int32_t sectors, uint64_t seed) {
  DiscSpec d;
  d.content = DiscContent::Data;
  d.family = family;
  d.medium = medium;
  d.sectors = sectors;
  d.tracks = 1;
  d.seed = seed;
  return d;
}

Preset dvdRom() {
  Preset p{"cav16-dvdrom", mmcDrive("SOLVARIX", "DVD-ROM SV-1648", "1.02", DriveClass::DvdRom, "SV16D0482917"),
           dataDisc(DiscFamily::Dvd, Medium::Pressed, kDvdSingleLayerSectors, 1608), 16};
  p.profile.rotation = Rotation::Cav;
  p.profile.maxSpeedX = 16;
  p.profile.speedSteps = {2, 4, 8, 12};
  p.profile.bufferBytes = 512 * 1024;
  p.profile.interfaceBytesPerSecond = 66.6e6;  // ATAPI UDMA4
  p.profile.commandOverheadNs = 120'000;
  p.profile.seekStrokeMs = 110;
  p.profile.spinUpAccelRpmPerS = 6'000;
  return p;
}

Preset dvdPlusRDl() {
  Preset p{"zclv8-dvdplusr-dl",
           mmcDrive("HALCYONE", "DVDRW HX-2240S", "2.05", DriveClass::DvdWriter, "HX22K7710345"),
           dataDisc(DiscFamily::Dvd, Medium::Recordable, kDvdDualLayerSectors, 2240), 2240};
  p.profile.rotation = Rotation::Zclv;
  p.profile.maxSpeedX = 8;
  // Zones by radius: 4X at the hub, 6X from 39 mm, 8X from 49.5 mm, so the
  // opposite track path steps back down over layer 1.
  p.profile.zones = {{0, 4}, {700'000, 6}, {1'400'000, 8}};
  p.profile.speedSteps = {2, 4, 6};
  p.profile.seekStrokeMs = 140;
  p.profile.layerJumpMs = 40;
  DiscSpec& d = *p.disc;
  d.plusFormat = true;
  d.layers = 2;
  d.oppositeTrackPath = true;
  d.layer0Sectors = kDvdDualLayerSectors / 2;
  d.mediaId = MediaIdentity{"NOVADISC", "D52", 1};
  return p;
}

Preset dvdMinusR() {
  Preset p{"pcav12-dvd-r", mmcDrive("TERRANOX", "DW-2012 SATA", "1.30", DriveClass::DvdWriter, "TX20A1190562"),
           dataDisc(DiscFamily::Dvd, Medium::Recordable, 2'298'496, 1230), 1230};
  p.profile.rotation = Rotation::Pcav;
  p.profile.maxSpeedX = 12;
  p.profile.pcavRimSpeedX = 16;
  p.profile.speedSteps = {2, 4, 8};
  p.profile.bufferBytes = 2 * 1024 * 1024;
  p.disc->mediaId = MediaIdentity{"VARENTI DR08", "", 0};
  return p;
}

Preset bdRom() {
  Preset p{"cav8-bd50", mmcDrive("AURELIQ", "BD-ROM AQ-108", "3.00", DriveClass::Bd, "AQ108B330721"),
           dataDisc(DiscFamily::Bd, Medium::Pressed, kBdDualLayerSectors, 5008), 5008};
  p.profile.rotation = Rotation::Cav;
  p.profile.maxSpeedX = 8;
  p.profile.speedSteps = {2, 4, 6};
  p.profile.bufferBytes = 4 * 1024 * 1024;
  p.profile.seekSettleMs = 12;
  p.profile.seekStrokeMs = 160;
  p.profile.layerJumpMs = 50;
  DiscSpec& d = *p.disc;
  d.layers = 2;
  d.layer0Sectors = kBdSingleLayerSectors;
  return p;
}

Preset bdR() {
  Preset p{"clv4-bdr", mmcDrive("CORVENTA", "BW-1240 SATA", "1.07", DriveClass::Bd, "CB1240Q88210"),
           dataDisc(DiscFamily::Bd, Medium::Recordable, kBdSingleLayerSectors, 4012), 4012};
  p.profile.rotation = Rotation::Clv;
  p.profile.maxSpeedX = 4;
  p.profile.speedSteps = {2};
  p.profile.bufferBytes = 4 * 1024 * 1024;
  p.profile.seekSettleMs = 12;
  p.profile.seekStrokeMs = 170;
  p.profile.spindleAccelRpmPerS = 50'000;
  p.disc->mediaId = MediaIdentity{"QENTRA", "BR4", 1};
  return p;
}

}  // namespace

std::vector<Preset> presets() {
  return {cavAudio(), clvData(), pcavAudio(), zclvCdr(), cdrwDrive(), blankCdr(), emptyDrive(),
          dvdRom(),   dvdPlusRDl(), dvdMinusR(), bdRom(), bdR()};
}

std::optional<Preset> findPreset(std::string_view name) {
  for (Preset& p : presets()) {
    if (p.name == name) return std::move(p);
  }
  return std::nullopt;
}

std::vector<PresetSlot> presetLayout() {
  return {{0, "cav52-audio74"}, {1, "clv16-data74"},      {2, "pcav32-audio80"}, {3, "zclv48-cdr-ty"},
          {4, ""},              {5, "cav40-cdrw"},        {6, "clv12-blank-cdr"}, {7, "cav40-empty"},
          {8, "cav16-dvdrom"},  {9, "zclv8-dvdplusr-dl"}, {10, "pcav12-dvd-r"},   {11, "cav8-bd50"},
          {12, "clv4-bdr"}};
}

DiskIdentity presetDisk() { return DiskIdentity{"QUASARIX", "QD-4000 DISK", "7.11", 8'388'608}; }

std::unique_ptr<EmulatedAdapter> makePresetAdapter(Clock& clock) {
  auto adapter = std::make_unique<EmulatedAdapter>(clock, "EMULATED");
  for (const PresetSlot& slot : presetLayout()) {
    if (slot.preset.empty()) {
      adapter->attachDisk(slot.target, presetDisk());
    } else if (auto p = findPreset(slot.preset)) {
      adapter->attachDrive(slot.target, std::move(p->profile), std::move(p->disc), p->seed);
    }
  }
  return adapter;
}

}  // namespace tmx::emu
