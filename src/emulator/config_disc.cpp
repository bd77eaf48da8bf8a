// The "disc" object of a configuration entry.
#include "emulator/config_reader.h"
#include "emulator/iso_image.h"

namespace tmx::emu {

using nlohmann::json;

void readDisc(Reader& r, const json& j, const std::string& at, DiscSpec& d) {
  if (!r.object(j, at,
                {"content", "medium", "minutes", "sectors", "tracks", "silent", "seed", "atip", "damage", "iso"})) {
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
  r.choice<Medium>(j, at, "medium", d.medium,
                   {{"pressed", Medium::Pressed}, {"cd-r", Medium::Recordable}, {"cd-rw", Medium::Rewritable}});
  double minutes = 0;
  r.number(j, at, "minutes", minutes, 1, 99);
  if (minutes > 0) d.sectors = static_cast<int32_t>(minutes * 4500);
  r.number(j, at, "sectors", d.sectors, 300, 99 * 4500);
  r.number(j, at, "tracks", d.tracks, 1, 99);
  r.boolean(j, at, "silent", d.silent);
  r.number(j, at, "seed", d.seed, 0, 9e15);
  if (j.contains("atip")) {
    const std::string ap = at + "/atip";
    const json& a = j["atip"];
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
  if (j.contains("damage")) {
    const std::string dp = at + "/damage";
    if (!j["damage"].is_array()) return r.fail(dp, "expected a list of damaged regions");
    d.damage.clear();
    for (size_t i = 0; i < j["damage"].size(); ++i) {
      const std::string rp = dp + "/" + std::to_string(i);
      const json& g = j["damage"][i];
      if (!r.object(g, rp, {"start", "length", "density", "unreadable"})) return;
      DamageRegion region;
      r.number(g, rp, "start", region.start, 0, 99 * 4500);
      r.number(g, rp, "length", region.length, 1, 99 * 4500);
      r.number(g, rp, "density", region.density, 0, 1);
      r.boolean(g, rp, "unreadable", region.unreadable);
      if (!g.contains("start") || !g.contains("length")) return r.fail(rp, "a damaged region needs start and length");
      d.damage.push_back(region);
    }
  }
  if ((d.medium != Medium::Pressed || d.content == DiscContent::Blank) && !d.atip) d.atip = Atip{};
  if (d.content == DiscContent::Blank && d.medium == Medium::Pressed) d.medium = Medium::Recordable;
}

}  // namespace tmx::emu
