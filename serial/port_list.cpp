#include "serial/port_list.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <system_error>

namespace kivra::serial {
namespace fs = std::filesystem;

namespace {

// The first line of a sysfs attribute, without trailing blanks; empty when absent.
std::string ReadAttribute(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) return {};
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line;
}

fs::path Canonical(const fs::path& p) {
  std::error_code ec;
  fs::path c = fs::canonical(p, ec);
  return ec ? fs::path() : c;
}

// USB adapters sit below the USB device that carries their vendor and product strings;
// walk up from the tty's device until one is found.
std::string UsbDescription(const fs::path& device) {
  fs::path dir = Canonical(device);
  for (int depth = 0; depth < 6 && !dir.empty() && dir.has_relative_path(); ++depth) {
    if (fs::exists(dir / "idVendor")) {
      const std::string product = ReadAttribute(dir / "product");
      const std::string maker = ReadAttribute(dir / "manufacturer");
      if (!product.empty() && !maker.empty()) return product + " (" + maker + ")";
      if (!product.empty()) return product;
      return "USB serial adapter " + ReadAttribute(dir / "idVendor") + ":" +
             ReadAttribute(dir / "idProduct");
    }
    dir = dir.parent_path();
  }
  return {};
}

std::uint16_t ComNumberOf(const std::string& name) {
  if (name.size() <= 4 || name.compare(0, 4, "ttyS") != 0) return 0;
  unsigned long n = 0;
  for (std::size_t i = 4; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
    n = n * 10 + static_cast<unsigned>(name[i] - '0');
    if (n >= 65535) return 0;
  }
  return static_cast<std::uint16_t>(n + 1);
}

// ttyS2 < ttyS10 < ttyUSB0: digit runs compare as numbers.
bool NaturalLess(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const bool da = std::isdigit(static_cast<unsigned char>(a[i]));
    const bool db = std::isdigit(static_cast<unsigned char>(b[j]));
    if (da && db) {
      std::size_t ei = i, ej = j;
      while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
      while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
      std::string na = a.substr(i, ei - i), nb = b.substr(j, ej - j);
      na.erase(0, std::min(na.find_first_not_of('0'), na.size()));
      nb.erase(0, std::min(nb.find_first_not_of('0'), nb.size()));
      if (na.size() != nb.size()) return na.size() < nb.size();
      if (na != nb) return na < nb;
      i = ei;
      j = ej;
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

}  // namespace

PortName PortInfo::Name() const {
  if (comNumber != 0) return PortName::Number(comNumber);
  return PortName::Device(byIdPath.empty() ? path : byIdPath);
}

std::vector<PortInfo> ListSerialPorts(const PortListRoots& roots) {
  // Stable names first, keyed by the device they point at.
  std::map<fs::path, std::string> byId;
  std::error_code ec;
  for (fs::directory_iterator it(roots.byId, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path target = Canonical(it->path());
    if (!target.empty()) byId.emplace(target, it->path().string());
  }

  std::vector<PortInfo> ports;
  ec.clear();
  for (fs::directory_iterator it(roots.sysClassTty, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path entry = it->path();
    const std::string name = entry.filename().string();
    // Virtual consoles, pseudo-terminals and the like have no device behind them.
    std::error_code e;
    if (!fs::exists(entry / "device", e)) continue;
    // The kernel keeps UART slots without a chip; their type is 0 ("unknown").
    if (ReadAttribute(entry / "type") == "0") continue;
    const fs::path node = roots.dev / name;
    if (!fs::exists(node, e)) continue;

    PortInfo info;
    info.path = node.string();
    info.comNumber = ComNumberOf(name);
    info.description = UsbDescription(entry / "device");
    if (info.description.empty()) {
      info.description = info.comNumber != 0 ? "Serial port COM" + std::to_string(info.comNumber)
                                             : "Serial port " + name;
    }
    if (const auto found = byId.find(Canonical(node)); found != byId.end()) {
      info.byIdPath = found->second;
    }
    ports.push_back(std::move(info));
  }
  std::sort(ports.begin(), ports.end(),
            [](const PortInfo& a, const PortInfo& b) { return NaturalLess(a.path, b.path); });
  return ports;
}

}  // namespace kivra::serial
