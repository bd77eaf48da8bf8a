#include "ripping/ripping_json.h"

#include "ripping/ripping_text.h"

namespace tmx {
namespace {

using Json = nlohmann::ordered_json;

template <typename T>
Json orNull(const std::optional<T>& v) {
  return v ? Json(*v) : Json(nullptr);
}

Json partJson(const PartStatus& p) {
  Json j;
  j["ran"] = p.ran;
  j["skipped"] = p.skipped.empty() ? Json(nullptr) : Json(p.skipped);
  j["cutOff"] = p.cutOff.empty() ? Json(nullptr) : Json(p.cutOff);
  return j;
}

Json commandsJson(const RippingFeatures& f) {
  Json list = Json::array();
  for (const ReadCommandAnswer& a : f.commands) {
    Json c;
    c["opcode"] = a.opcode;
    c["name"] = readCommandName(a.opcode);
    c["returnsAudio"] = orNull(a.returnsAudio);
    c["c2"] = orNull(a.c2);
    c["c2BlockErrors"] = orNull(a.c2BlockErrors);
    c["rawPw"] = orNull(a.rawPw);
    c["formattedQ"] = orNull(a.formattedQ);
    c["c2Offset"] = orNull(a.c2Offset);
    c["subchannelOffset"] = orNull(a.subOffset);
    list.push_back(std::move(c));
  }
  return list;
}

Json c2Json(const C2Answer& c) {
  Json j;
  j["supported"] = orNull(c.supported);
  j["formatBytes"] = orNull(c.formatBytes);
  j["flaggedDiffering"] = orNull(c.flaggedDiffering);
  j["flaggedIdentical"] = orNull(c.flaggedIdentical);
  j["differingUnflagged"] = orNull(c.differingUnflagged);
  j["shiftBytes"] = orNull(c.shiftBytes);
  j["rereads"] = c.rereads;
  j["scannedTo"] = orNull(c.scannedTo);
  Json examined = Json::array();
  for (const LbaRange& r : c.examined) examined.push_back(Json{{"first", r.first}, {"count", r.count}});
  j["examined"] = std::move(examined);
  j["judgement"] = c.judgement.empty() ? Json(nullptr) : Json(c.judgement);
  return j;
}

Json speedJson(const SpeedAnswer& s) {
  Json j;
  j["atLba"] = s.atLba;
  Json settings = Json::array();
  for (const SpeedSetting& x : s.settings) {
    settings.push_back(Json{{"requestedX", x.requestedX == 0 ? Json("max") : Json(x.requestedX)},
                            {"measuredX", orNull(x.measuredX)}});
  }
  j["settings"] = std::move(settings);
  const char* names[] = {"obeyed", "ignored", "capped"};
  j["verdict"] = s.verdict ? Json(names[static_cast<int>(*s.verdict)]) : Json(nullptr);
  j["capX"] = orNull(s.capX);
  return j;
}

}  // namespace

Json rippingJson(const RippingFeatures& f) {
  Json j;
  j["disc"] = f.discKind;
  j["readCommands"] = commandsJson(f);
  j["cache"] = Json{{"caches", orNull(f.cache.caches)},         {"sizeKB", orNull(f.cache.sizeKB)},
                    {"flushDistance", orNull(f.cache.flushDistance)}, {"notFlushedUpTo", orNull(f.cache.notFlushedUpTo)},
                    {"rereadMs", orNull(f.cache.rereadMs)},      {"discMs", orNull(f.cache.discMs)}};
  j["accurateStream"] = Json{{"accurate", orNull(f.stream.accurate)}, {"passes", f.stream.passes},
                             {"largestJumpFrames", orNull(f.stream.largestJumpFrames)}};
  j["c2"] = c2Json(f.c2);
  j["overread"] = Json{{"leadIn", orNull(f.overread.leadIn)}, {"leadOut", orNull(f.overread.leadOut)}};
  j["speedControl"] = speedJson(f.speed);
  j["parts"] = Json{{"readCommands", partJson(f.readPart)}, {"cache", partJson(f.cachePart)},
                    {"accurateStream", partJson(f.streamPart)}, {"c2", partJson(f.c2Part)},
                    {"overread", partJson(f.overreadPart)},      {"speedControl", partJson(f.speedPart)}};
  j["verdict"] = f.verdict;
  j["claims"] = f.verdictClaims;
  return j;
}

}  // namespace tmx
