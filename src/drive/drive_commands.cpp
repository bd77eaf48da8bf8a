#include "drive/drive_commands.h"

#include <array>

namespace tmx {

AspiStatus DriveCommands::send(DriveAddress drive, const CdbRequest& request, uint8_t* buffer) {
  return transport_.ExecuteCdb(drive, request.bytes.data(), request.transferLength == 0 ? nullptr : buffer,
                               request.transferLength);
}

AspiStatus DriveCommands::TestUnitReady(DriveAddress drive) { return send(drive, testUnitReadyCdb(), nullptr); }

AspiStatus DriveCommands::RequestSense(DriveAddress drive, uint8_t* buffer18) {
  return send(drive, requestSenseCdb(), buffer18);
}

bool DriveCommands::Inquiry(DriveAddress drive, InquiryTexts& texts) {
  std::array<uint8_t, 56> reply{};
  const AspiStatus status = send(drive, inquiryCdb(), reply.data());
  texts = parseInquiry(reply);
  return status == kAspiSuccess && reply[0] == 0x05;
}

AspiStatus DriveCommands::ReadCapacity(DriveAddress drive, uint8_t* buffer8) {
  return send(drive, readCapacityCdb(), buffer8);
}

AspiStatus DriveCommands::ReadToc(DriveAddress drive, int format, uint16_t allocationLength, uint8_t* buffer) {
  return send(drive, readTocCdb(format, allocationLength), buffer);
}

AspiStatus DriveCommands::ReadTocPmaAtip(DriveAddress drive, int format, uint8_t trackOrSession,
                                         uint16_t allocationLength, uint8_t* buffer) {
  return send(drive, readTocPmaAtipCdb(format, trackOrSession, allocationLength), buffer);
}

AspiStatus DriveCommands::ReadDiscInformation(DriveAddress drive, uint16_t allocationLength, uint8_t* buffer) {
  return send(drive, readDiscInformationCdb(allocationLength), buffer);
}

AspiStatus DriveCommands::Seek6(DriveAddress drive, uint32_t lba) { return send(drive, seek6Cdb(lba), nullptr); }
AspiStatus DriveCommands::Seek10(DriveAddress drive, uint32_t lba) { return send(drive, seek10Cdb(lba), nullptr); }

AspiStatus DriveCommands::Seek(DriveAddress drive, uint32_t lba) {
  const AspiStatus status = Seek6(drive, lba);
  if (status == kAspiSuccess || !transport_.lastFailure().refused) return status;
  return Seek10(drive, lba);
}

AspiStatus DriveCommands::Read10(DriveAddress drive, uint32_t lba, uint32_t count, uint8_t* buffer) {
  return send(drive, read10Cdb(lba, count), buffer);
}

AspiStatus DriveCommands::Read10Sized(DriveAddress drive, uint32_t lba, uint32_t count, uint32_t blockSize,
                                      uint8_t* buffer) {
  return send(drive, read10Cdb(lba, count, blockSize), buffer);
}

AspiStatus DriveCommands::Read12(DriveAddress drive, uint32_t lba, uint32_t count, uint8_t* buffer) {
  return send(drive, read12Cdb(lba, count), buffer);
}

AspiStatus DriveCommands::Read10Wide(DriveAddress drive, uint32_t lba, uint32_t count, uint8_t* buffer) {
  return send(drive, read10WideCdb(lba, count), buffer);
}

AspiStatus DriveCommands::Read12Wide(DriveAddress drive, uint32_t lba, uint32_t count, uint8_t* buffer) {
  return send(drive, read12WideCdb(lba, count), buffer);
}

AspiStatus DriveCommands::Seek10Wide(DriveAddress drive, uint32_t lba) { return send(drive, seek10WideCdb(lba), nullptr); }

AspiStatus DriveCommands::ReadCdda(DriveAddress drive, uint32_t lba, uint32_t count, uint8_t* buffer) {
  return send(drive, readCddaCdb(lba, count), buffer);
}

AspiStatus DriveCommands::ReadCdAudio(DriveAddress drive, uint32_t lba, uint32_t count, uint8_t* buffer) {
  return send(drive, readCdAudioCdb(lba, count), buffer);
}

AspiStatus DriveCommands::ReadCd(DriveAddress drive, uint8_t flags, uint32_t lba, uint32_t count,
                                 uint32_t blockSize, uint8_t* buffer) {
  return send(drive, readCdCdb(flags, lba, count, blockSize), buffer);
}

AspiStatus DriveCommands::SetReadSpeed(DriveAddress drive, uint16_t kbPerSecond) {
  return send(drive, setReadSpeedCdb(kbPerSecond), nullptr);
}

AspiStatus DriveCommands::ModeSenseSpeeds(DriveAddress drive, int& maximumSpeed, int& currentSpeed) {
  std::array<uint8_t, 30> reply{};
  const AspiStatus status = send(drive, modeSensePage2aCdb(), reply.data());
  const CdCapabilities caps = parseCdCapabilities(reply);
  maximumSpeed = caps.maximumSpeed;
  currentSpeed = caps.currentSpeed;
  return status;
}

AspiStatus DriveCommands::ModeSensePage(DriveAddress drive, ModeHeader header, uint8_t pageCode, uint8_t pageLength,
                                        std::vector<uint8_t>& page) {
  const CdbRequest request =
      header == ModeHeader::Six ? modeSense6PageCdb(pageCode, pageLength) : modeSense10PageCdb(pageCode, pageLength);
  std::vector<uint8_t> reply(request.transferLength, 0);
  const AspiStatus status = send(drive, request, reply.data());
  page.clear();
  if (status == kAspiSuccess) {
    const auto found = findModePage(reply, header, pageCode);
    page.assign(found.begin(), found.end());
  }
  return status;
}

AspiStatus DriveCommands::ModeSenseC2Support(DriveAddress drive, int& flag) {
  std::array<uint8_t, 30> reply{};
  const AspiStatus status = send(drive, modeSensePage2aCdb(), reply.data());
  flag = parseCdCapabilities(reply).c2Pointers ? 0x10 : 0;
  return status;
}

AspiStatus DriveCommands::ModeSelectBlockMode(DriveAddress drive, int mode) {
  std::vector<uint8_t> list = blockModeList10(mode);
  if (list.empty()) return kAspiNotSent;
  const AspiStatus status = send(drive, modeSelect10Cdb(), list.data());
  if (status == kAspiSuccess) return status;
  list = blockModeList6(mode);
  return send(drive, modeSelect6Cdb(), list.data());
}

AspiStatus DriveCommands::ModeSelect6(DriveAddress drive, uint8_t density, uint16_t blockLength) {
  std::vector<uint8_t> list = modeSelect6List(density, blockLength);
  return send(drive, modeSelect6Cdb(), list.data());
}

AspiStatus DriveCommands::ModeSelectBlockLength(DriveAddress drive, uint8_t density, uint16_t blockLength) {
  std::vector<uint8_t> list = modeSelect10List(density, blockLength);
  const AspiStatus status = send(drive, modeSelect10Cdb(), list.data());
  if (status == kAspiSuccess) return status;
  return ModeSelect6(drive, density, blockLength);
}

AspiStatus DriveCommands::StopUnit(DriveAddress drive) { return send(drive, stopUnitCdb(), nullptr); }

AspiStatus DriveCommands::GetConfiguration(DriveAddress drive, FeatureRequest rt, uint16_t startingFeature,
                                           uint16_t allocationLength, uint8_t* buffer) {
  return send(drive, getConfigurationCdb(rt, startingFeature, allocationLength), buffer);
}

AspiStatus DriveCommands::ReadDiscStructure(DriveAddress drive, uint8_t mediaType, uint8_t layer, uint8_t format,
                                            uint16_t allocationLength, uint8_t* buffer) {
  return send(drive, readDiscStructureCdb(mediaType, 0, layer, format, allocationLength), buffer);
}

AspiStatus DriveCommands::GetPerformance(DriveAddress drive, uint32_t startLba, uint16_t maximumDescriptors,
                                         uint8_t* buffer) {
  return send(drive, getPerformanceCdb(startLba, maximumDescriptors), buffer);
}

AspiStatus DriveCommands::SetStreaming(DriveAddress drive, uint32_t endLba, uint32_t readKBps) {
  std::vector<uint8_t> list = streamingPerformanceList(endLba, readKBps);
  return send(drive, setStreamingCdb(), list.data());
}

}  // namespace tmx
