#include "platform/Clock.h"

#include <cstdlib>
#include <string>

namespace platform {

namespace {
bool fixedEpoch(std::time_t& t) {
  const char* e = std::getenv("SOURCE_DATE_EPOCH");
  if (!e || !*e) return false;
  char* fim = nullptr;
  long long v = std::strtoll(e, &fim, 10);
  if (fim == e || *fim != '\0') return false;
  t = static_cast<std::time_t>(v);
  return true;
}
}  // namespace

std::time_t nowSeconds() {
  std::time_t t;
  if (fixedEpoch(t)) return t;
  return std::time(nullptr);
}

// Now, broken down.
base::DataHora now() { return dateTimeOf(nowSeconds()); }

// A moment broken down in UTC with a fixed epoch, in local time otherwise.
base::DataHora dateTimeOf(std::time_t t) {
  std::time_t fixo;
  std::tm tm{};
  if (fixedEpoch(fixo))
    gmtime_r(&t, &tm);
  else
    localtime_r(&t, &tm);
  base::DataHora d;
  d.ano = tm.tm_year + 1900;
  d.mes = tm.tm_mon + 1;
  d.dia = tm.tm_mday;
  d.hora = tm.tm_hour;
  d.minuto = tm.tm_min;
  d.segundo = tm.tm_sec;
  return d;
}

}  // namespace platform
