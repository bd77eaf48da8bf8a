#include "library/bundle_field.h"

#include <cmath>

namespace tmx {

using nlohmann::json;

BundleField BundleField::operator[](const char* key) const {
  const json* child = nullptr;
  if (value_ && value_->is_object()) {
    const auto it = value_->find(key);
    if (it != value_->end()) child = &*it;
  }
  return {child, path_.empty() ? std::string(key) : path_ + "." + key, errors_};
}

BundleField BundleField::operator[](size_t index) const {
  const json* child = value_ && value_->is_array() && index < value_->size() ? &(*value_)[index] : nullptr;
  return {child, path_ + "[" + std::to_string(index) + "]", errors_};
}

bool BundleField::present() const {
  if (!errors_.ok()) return false;
  if (!value_) fault("missing");
  return value_ != nullptr;
}

int64_t BundleField::integer(int64_t min, int64_t max) const {
  if (!present()) return min;
  if (!value_->is_number_integer()) {
    fault("not an integer");
    return min;
  }
  // A value beyond int64 is unsigned in the parser's eyes.
  if (value_->is_number_unsigned() && value_->get<uint64_t>() > static_cast<uint64_t>(INT64_MAX)) {
    fault("out of range (" + std::to_string(min) + ".." + std::to_string(max) + ")");
    return min;
  }
  const int64_t v = value_->get<int64_t>();
  if (v < min || v > max) {
    fault(std::to_string(v) + " out of range (" + std::to_string(min) + ".." + std::to_string(max) + ")");
    return min;
  }
  return v;
}

std::optional<int64_t> BundleField::optionalInteger(int64_t min, int64_t max) const {
  if (isNull()) return std::nullopt;
  return integer(min, max);
}

double BundleField::real(double min, double max) const {
  if (!present()) return min;
  if (!value_->is_number()) {
    fault("not a number");
    return min;
  }
  const double v = value_->get<double>();
  if (!std::isfinite(v) || v < min || v > max) {
    fault("out of range (" + std::to_string(min) + ".." + std::to_string(max) + ")");
    return min;
  }
  return v;
}

std::optional<double> BundleField::optionalReal(double min, double max) const {
  if (isNull()) return std::nullopt;
  return real(min, max);
}

bool BundleField::boolean() const {
  if (!present()) return false;
  if (!value_->is_boolean()) {
    fault("not true or false");
    return false;
  }
  return value_->get<bool>();
}

std::string BundleField::text(size_t maxLength) const {
  if (!present()) return {};
  if (!value_->is_string()) {
    fault("not a string");
    return {};
  }
  const auto& s = value_->get_ref<const std::string&>();
  if (s.size() > maxLength) {
    fault("longer than " + std::to_string(maxLength) + " characters");
    return {};
  }
  return s;
}

size_t BundleField::array(size_t minItems, size_t maxItems) const {
  if (!present()) return 0;
  if (!value_->is_array()) {
    fault("not an array");
    return 0;
  }
  const size_t n = value_->size();
  if (n < minItems || n > maxItems) {
    fault(std::to_string(n) + " items, " +
          (minItems == maxItems ? std::to_string(minItems) : std::to_string(minItems) + ".." + std::to_string(maxItems)) +
          " expected");
    return 0;
  }
  return n;
}

bool BundleField::object() const {
  if (!present()) return false;
  if (!value_->is_object()) fault("not an object");
  return errors_.ok();
}

}  // namespace tmx
