// One field of a bundle being read: its path for the message
// ("runs[2].record.speedSamples[4]") and typed getters that check type and
// bounds. The first fault is kept in the shared FieldErrors; after it every
// getter returns its fallback, so a reader checks ok() once per part.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace tmx {

class FieldErrors {
 public:
  bool ok() const { return first_.empty(); }
  const std::string& first() const { return first_; }
  void add(const std::string& path, const std::string& what) {
    if (first_.empty()) first_ = path + ": " + what;
  }

 private:
  std::string first_;
};

class BundleField {
 public:
  BundleField(const nlohmann::json* value, std::string path, FieldErrors& errors)
      : value_(value), path_(std::move(path)), errors_(errors) {}

  BundleField operator[](const char* key) const;
  BundleField operator[](size_t index) const;
  const std::string& path() const { return path_; }
  bool isNull() const { return value_ && value_->is_null(); }

  int64_t integer(int64_t min, int64_t max) const;
  // null allowed: nullopt.
  std::optional<int64_t> optionalInteger(int64_t min, int64_t max) const;
  double real(double min, double max) const;
  std::optional<double> optionalReal(double min, double max) const;
  bool boolean() const;
  std::string text(size_t maxLength) const;
  // The number of items of an array of minItems..maxItems; 0 on a fault.
  size_t array(size_t minItems, size_t maxItems) const;
  bool object() const;

 private:
  bool present() const;
  void fault(const std::string& what) const { errors_.add(path_, what); }

  const nlohmann::json* value_;  // nullptr: missing
  std::string path_;
  FieldErrors& errors_;
};

}  // namespace tmx
