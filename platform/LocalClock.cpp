#include "LocalClock.h"

#include <utility>

namespace platform {
namespace {

std::function<bool(std::tm&)>& Source() {
  static std::function<bool(std::tm&)> source;
  return source;
}

}  // namespace

bool GetCurrentLocalTime(std::tm& out) {
  if (Source()) return Source()(out);
  const std::time_t now = std::time(nullptr);
  return now != static_cast<std::time_t>(-1) && ::localtime_r(&now, &out) != nullptr;
}

void SetLocalTimeSource(std::function<bool(std::tm&)> source) { Source() = std::move(source); }

}  // namespace platform
