// The "disc" object of a configuration entry.
#include "emulator/config_reader.h"
#include "emulator/iso_image.h"

namespace tmx::emu {

using nlohmann::json;

namespace {

constexpr int32_t kMaxDvdSectors = 4'400'000;  // beyond any dual-layer DVD

struct MediumChoice {
  DiscFamily family;
  Medium medium;
  bool plusFormat;
};

void readMedium(Reader& r, const json& j, const std::string& at, DiscSpec& d) {
  MediumChoice m{d.family, d.medium, d.plusFormat};
  r.choice<MediumChoice>(j, at, "medium", m,
                         {{"pressed", {DiscFamily::Cd, Medium::Pressed, false}},
                          {"cd-r", {DiscFamily::Cd, Medium::Recordable, false}},
                          {"cd-rw", {DiscFamily::Cd, Medium::Rewritable, false}},
                          {"dvd-rom", {DiscFamily::Dvd, Medium::Pressed, false}},
                          {"dvd-r", {DiscFamily::Dvd, Medium::Recordable, false}},
                          {"dvd-rw", {DiscFamily::Dvd, Medium::Rewritable, false}},
                          {"dvd+r", {DiscFamily::Dvd, Medium::Recordable, true}},
                          {"dvd+rw", {DiscFamily::Dvd, Medium::Rewritable, true}},
                          {"bd-rom", {DiscFamily::Bd, Medium::Pressed, false}},
                          {"bd-r", {DiscFamily::Bd, Medium::Recordable, false}},
                          {"bd-re", {DiscFamily::Bd, Medium::Rewritable, false}}});
  d.family = m.family;
  d.medium = m.medium;
  d.plusFormat = m.plusFormat;
}

void readAtip(Reader& r, const json& a, const std::string& ap, DiscSpec& d) {
  if (!r.object(a, ap, {"leadIn", "lastLeadOut", "a1"})) return;
  Atip atip = d.atip.value_or(Atip{});
  for (const auto& [key, field] : {std::pair{"leadIn", &atip.leadInStart}, {"lastLeadOut", &atip.lastLeadOutStart}}) {
    if (!a.contains(key)) continue;
    const auto msf = a[key].is_string() ? parseMsf(a[key].get<std::string>()) : std::nullopt;
    if (!msf) return r.fail(ap + "/" + key, "expected a time MM:SS:FF");
    *field = *msf;
  }
  r.number(a, ap, "a1", atip.a1, 0, 255);
  d.atip = atip;
  if (d.medium == Medium::Pressed) d.medium = Medium::Recordable;
}

void readDamage(Reader& r, const json& list, const std::string& dp, DiscSpec& d, int32_t maxSectors) {
  if (!list.is_array()) return r.fail(dp, "expected a list of damaged regions");
  d.damage.clear();
  for (size_t i = 0; i < list.size(); ++i) {
    const std::string rp = dp + "/" + std::to_string(i);
    const json& g = list[i];
    if (!r.object(g, rp, {"start", "length", "density", "unreadable"})) return;
    DamageRegion region;
    r.number(g, rp, "start", region.start, 0, maxSectors);
    r.number(g, rp, "length", region.length, 1, maxSectors);
    r.number(g, rp, "density", region.density, 0, 1);
    r.boolean(g, rp, "unreadable", region.unreadable);
    if (!g.contains("start") || !g.contains("length")) return r.fail(rp, "a damaged region needs start and length");
    d.damage.push_back(region);
  }
}

// Who made a recordable DVD or BD; the widths its lead-in holds.
void readMediaId(Reader& r, const json& m, const std::string& mp, DiscSpec& d) {
  if (d.medium == Medium::Pressed) return r.fail(mp, "only a recordable or rewritable disc carries a maker's ID");
  if (!r.object(m, mp, {"manufacturer", "mediaType", "revision"})) return;
  const bool bd = d.family == DiscFamily::Bd;
  MediaIdentity id = d.mediaId.value_or(MediaIdentity{});
  r.text(m, mp, "manufacturer", id.manufacturer, bd ? 6 : d.plusFormat ? 8 : 12);
  if (!bd && !d.plusFormat && m.contains("mediaType")) return r.fail(mp + "/mediaType", "a DVD-R(W) records none");
  r.text(m, mp, "mediaType", id.mediaType, 3);
  r.number(m, mp, "revision", id.revision, 0, 255);
  d.mediaId = id;
}

int32_t nominalSectors(const DiscSpec& d) {
  if (d.family == DiscFamily::Bd) return d.layers > 1 ? kBdDualLayerSectors : kBdSingleLayerSectors;
  return d.layers > 1 ? kDvdDualLayerSectors : kDvdSingleLayerSectors;
}

// A DVD or BD: one data track of 2048-byte sectors, one or two layers.
void readDvdOrBd(Reader& r, const json& j, const std::string& at, DiscSpec& d, bool newMedium) {
  for (const char* cdOnly : {"minutes", "tracks", "silent", "atip"}) {
    if (j.contains(cdOnly)) return r.fail(at + "/" + cdOnly, "a DVD or BD has no such field (one data track, in sectors)");
  }
  if (j.contains("content") && d.content != DiscContent::Data) return r.fail(at + "/content", "a DVD or BD holds data");
  const int layersBefore = d.layers;
  r.number(j, at, "layers", d.layers, 1, 2);
  bool otp = d.oppositeTrackPath;
  r.choice<bool>(j, at, "trackPath", otp, {{"otp", true}, {"ptp", false}});
  if (j.contains("trackPath") && d.family == DiscFamily::Bd && !otp) {
    return r.fail(at + "/trackPath", "layer 1 of a BD always runs from the rim inwards");
  }
  d.oppositeTrackPath = otp;
  if (newMedium || d.layers != layersBefore) d.sectors = nominalSectors(d);
  r.number(j, at, "sectors", d.sectors, 300, d.family == DiscFamily::Bd ? kMaxConfigSectors : kMaxDvdSectors);
  r.number(j, at, "layer0Sectors", d.layer0Sectors, 16, kMaxConfigSectors);
  if (d.layers > 1 && d.layer0Sectors >= d.sectors) {
    return r.fail(at + (j.contains("layer0Sectors") ? "/layer0Sectors" : ""), "layer 0 must end before the disc does");
  }
  d.content = DiscContent::Data;
  d.tracks = 1;
  d.atip.reset();
  if (j.contains("mediaId")) readMediaId(r, j["mediaId"], at + "/mediaId", d);
  if (j.contains("damage")) readDamage(r, j["damage"], at + "/damage", d, kMaxConfigSectors);
}

void readCd(Reader& r, const json& j, const std::string& at, DiscSpec& d) {
  for (const char* dvdOnly : {"layers", "trackPath", "layer0Sectors", "mediaId"}) {
    if (j.contains(dvdOnly)) return r.fail(at + "/" + dvdOnly, "a CD has no such field (one layer, ATIP)");
  }
  double minutes = 0;
  r.number(j, at, "minutes", minutes, 1, 99);
  if (minutes > 0) d.sectors = static_cast<int32_t>(minutes * 4500);
  r.number(j, at, "sectors", d.sectors, 300, 99 * 4500);
  r.number(j, at, "tracks", d.tracks, 1, 99);
  r.boolean(j, at, "silent", d.silent);
  d.layers = 1;
  d.mediaId.reset();
  if (j.contains("atip")) readAtip(r, j["atip"], at + "/atip", d);
  if (j.contains("damage")) readDamage(r, j["damage"], at + "/damage", d, 99 * 4500);
  if ((d.medium != Medium::Pressed || d.content == DiscContent::Blank) && !d.atip) d.atip = Atip{};
  if (d.content == DiscContent::Blank && d.medium == Medium::Pressed) d.medium = Medium::Recordable;
}

}  // namespace

void readDisc(Reader& r, const json& j, const std::string& at, DiscSpec& d) {
  if (!r.object(j, at, {"content", "medium", "minutes", "sectors", "tracks", "silent", "seed", "atip", "damage", "iso",
                        "layers", "trackPath", "layer0Sectors", "mediaId"})) {
    return;
  }
  if (j.contains("iso")) {
    if (!j["iso"].is_string()) return r.fail(at + "/iso", "expected the name of an image file");
    d.isoPath = j["iso"].get<std::string>();
    if (!IsoImage(d.isoPath).ok()) return r.fail(at + "/iso", "cannot open the image file " + d.isoPath);
  }
  r.choice<DiscContent>(j, at, "content", d.content,
                        {{"audio", DiscContent::Audio}, {"data", DiscContent::Data}, {"mixed", DiscContent::Mixed},
                         {"blank", DiscContent::Blank}});
  const DiscFamily before = d.family;
  readMedium(r, j, at, d);
  r.number(j, at, "seed", d.seed, 0, 9e15);
  if (!r.ok()) return;
  if (d.family == DiscFamily::Cd) {
    readCd(r, j, at, d);
  } else {
    readDvdOrBd(r, j, at, d, d.family != before);
  }
}

}  // namespace tmx::emu
