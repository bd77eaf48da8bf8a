// Through libudev and libkmod when the build found them (the static CLI goes
// without: its driver lines then say "N/A" where only these libraries know).
#include "platform/hardware_lookup.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#ifdef TMX_HAVE_LIBUDEV
#include <libudev.h>
#endif
#ifdef TMX_HAVE_LIBKMOD
#include <libkmod.h>
#endif

namespace tmx {
namespace {

// A sysfs id: "0x8086" or "8086", at most four hex digits.
bool parseId(const std::string& text, unsigned long& id) {
  const std::string digits = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0 ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 4) return false;
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })) {
    return false;
  }
  id = std::strtoul(digits.c_str(), nullptr, 16);
  return true;
}

#ifdef TMX_HAVE_LIBUDEV
std::string hwdbName(const std::string& modalias) {
  udev* context = udev_new();
  if (context == nullptr) return {};
  std::string vendorName, modelName;
  if (udev_hwdb* hwdb = udev_hwdb_new(context)) {
    udev_list_entry* entry = udev_hwdb_get_properties_list_entry(hwdb, modalias.c_str(), 0);
    for (; entry != nullptr; entry = udev_list_entry_get_next(entry)) {
      const std::string key = udev_list_entry_get_name(entry);
      const char* value = udev_list_entry_get_value(entry);
      if (value == nullptr) continue;
      if (key == "ID_VENDOR_FROM_DATABASE") vendorName = value;
      if (key == "ID_MODEL_FROM_DATABASE") modelName = value;
    }
    udev_hwdb_unref(hwdb);
  }
  udev_unref(context);
  return pciNameOf(vendorName, modelName);
}
#endif

#ifdef TMX_HAVE_LIBKMOD
std::optional<ModuleFacts> kmodFacts(const std::string& name) {
  kmod_ctx* context = kmod_new(nullptr, nullptr);
  if (context == nullptr) return std::nullopt;
  kmod_module* mod = nullptr;
  std::optional<ModuleFacts> result;
  if (kmod_module_new_from_name(context, name.c_str(), &mod) == 0 && mod != nullptr) {
    ModuleFacts facts;
    if (const char* path = kmod_module_get_path(mod)) facts.path = path;
    facts.builtIn = facts.path.empty() && kmod_module_get_initstate(mod) == KMOD_MODULE_BUILTIN;
    kmod_list* info = nullptr;
    if (kmod_module_get_info(mod, &info) >= 0) {
      kmod_list* item = nullptr;
      kmod_list_foreach(item, info) {
        const char* value = kmod_module_info_get_value(item);
        if (value != nullptr) addModuleInfo(facts, kmod_module_info_get_key(item), value);
      }
      kmod_module_info_free_list(info);
    }
    kmod_module_unref(mod);
    result = facts;
  }
  kmod_unref(context);
  return result;
}
#endif

class SystemHardwareLookup final : public HardwareLookup {
 public:
  std::string pciName(const std::string& vendor, const std::string& device) const override {
#ifdef TMX_HAVE_LIBUDEV
    const std::string modalias = pciModalias(vendor, device);
    return modalias.empty() ? std::string() : hwdbName(modalias);
#else
    (void)vendor;
    (void)device;
    return {};
#endif
  }

  std::optional<ModuleFacts> module(const std::string& name) const override {
#ifdef TMX_HAVE_LIBKMOD
    return kmodFacts(name);
#else
    (void)name;
    return std::nullopt;
#endif
  }
};

}  // namespace

std::unique_ptr<HardwareLookup> makeHardwareLookup() { return std::make_unique<SystemHardwareLookup>(); }

std::string pciModalias(const std::string& vendor, const std::string& device) {
  unsigned long v = 0, d = 0;
  if (!parseId(vendor, v) || !parseId(device, d)) return {};
  char modalias[32];
  std::snprintf(modalias, sizeof modalias, "pci:v%08lXd%08lX", v, d);
  return modalias;
}

std::string pciNameOf(const std::string& vendorName, const std::string& modelName) {
  if (modelName.empty()) return {};
  return vendorName.empty() ? modelName : vendorName + " " + modelName;
}

void addModuleInfo(ModuleFacts& facts, const std::string& key, const std::string& value) {
  if (key == "description" && facts.description.empty()) facts.description = value;
  if (key == "version" && facts.version.empty()) facts.version = value;
  if (key == "author") facts.author += (facts.author.empty() ? "" : ", ") + value;
}

}  // namespace tmx
