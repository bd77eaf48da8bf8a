// The hardware database and module lookups of SystemInfo, through libudev
// and libkmod when the build found them (the static CLI goes without: its
// driver lines then say "N/A" where only these libraries know the answer).
#include <cstdio>
#include <cstdlib>

#include "platform/system_info.h"

#ifdef TMX_HAVE_LIBUDEV
#include <libudev.h>
#endif
#ifdef TMX_HAVE_LIBKMOD
#include <libkmod.h>
#endif

namespace tmx {
namespace {

class SystemHardwareLookup final : public HardwareLookup {
 public:
  std::string pciName(const std::string& vendor, const std::string& device) const override {
#ifdef TMX_HAVE_LIBUDEV
    const unsigned long v = std::strtoul(vendor.c_str(), nullptr, 16);
    const unsigned long d = std::strtoul(device.c_str(), nullptr, 16);
    if (vendor.empty() || device.empty()) return {};
    char modalias[64];
    std::snprintf(modalias, sizeof modalias, "pci:v%08lXd%08lX", v & 0xFFFF, d & 0xFFFF);
    udev* context = udev_new();
    if (context == nullptr) return {};
    std::string vendorName, modelName;
    if (udev_hwdb* hwdb = udev_hwdb_new(context)) {
      udev_list_entry* entry = udev_hwdb_get_properties_list_entry(hwdb, modalias, 0);
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
    if (modelName.empty()) return {};
    return vendorName.empty() ? modelName : vendorName + " " + modelName;
#else
    (void)vendor;
    (void)device;
    return {};
#endif
  }

  std::optional<ModuleFacts> module(const std::string& name) const override {
#ifdef TMX_HAVE_LIBKMOD
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
          const std::string key = kmod_module_info_get_key(item);
          const char* value = kmod_module_info_get_value(item);
          if (value == nullptr) continue;
          if (key == "description" && facts.description.empty()) facts.description = value;
          if (key == "version" && facts.version.empty()) facts.version = value;
          if (key == "author") facts.author += (facts.author.empty() ? "" : ", ") + std::string(value);
        }
        kmod_module_info_free_list(info);
      }
      kmod_module_unref(mod);
      result = facts;
    }
    kmod_unref(context);
    return result;
#else
    (void)name;
    return std::nullopt;
#endif
  }
};

}  // namespace

std::unique_ptr<HardwareLookup> makeHardwareLookup() { return std::make_unique<SystemHardwareLookup>(); }

}  // namespace tmx
