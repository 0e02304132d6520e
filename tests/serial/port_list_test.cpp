#include "serial/port_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace kivra::serial {
namespace {

namespace fs = std::filesystem;

// A miniature of what the kernel and udev publish: the tty class with links into the
// device tree, device nodes, and by-id links.
class FakeSystem {
 public:
  FakeSystem() : root_(fs::temp_directory_path() / ("kivra-ports-" + std::to_string(::getpid()))) {
    fs::remove_all(root_);
    fs::create_directories(roots_.sysClassTty = root_ / "sys/class/tty");
    fs::create_directories(roots_.dev = root_ / "dev");
    roots_.byId = root_ / "dev/serial/by-id";
  }
  ~FakeSystem() { fs::remove_all(root_); }

  const PortListRoots& roots() const { return roots_; }

  // A tty whose device sits at `devicePath` below sys/devices; `type` is the UART type
  // attribute ("" for none).
  fs::path AddTty(const std::string& name, const std::string& devicePath, const std::string& type,
                  bool node = true) {
    const fs::path device = root_ / "sys/devices" / devicePath;
    const fs::path tty = device / "tty" / name;
    fs::create_directories(tty);
    fs::create_directory_symlink(device, tty / "device");
    if (!type.empty()) Write(tty / "type", type + "\n");
    fs::create_directory_symlink(tty, roots_.sysClassTty / name);
    if (node) Write(roots_.dev / name, "");
    return device;
  }

  // A tty without a device behind it, like the virtual consoles.
  void AddVirtualTty(const std::string& name) {
    const fs::path tty = root_ / "sys/devices/virtual/tty" / name;
    fs::create_directories(tty);
    fs::create_directory_symlink(tty, roots_.sysClassTty / name);
    Write(roots_.dev / name, "");
  }

  void AddById(const std::string& link, const std::string& target) {
    fs::create_directories(roots_.byId);
    fs::create_symlink(roots_.dev / target, roots_.byId / link);
  }

  void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
  }

  const fs::path& root() const { return root_; }

 private:
  fs::path root_;
  PortListRoots roots_;
};

TEST(PortList, ListsHardwarePortsWithDescriptionsInNaturalOrder) {
  FakeSystem sys;
  sys.AddTty("ttyS0", "pnp0/00:00/00:00:0/00:00:0.0", "4");
  sys.AddTty("ttyS1", "platform/serial8250/serial8250:0.1", "0");  // a slot without a chip
  sys.AddTty("ttyS10", "pci0000:00/0000:00:16.3", "4");
  sys.AddTty("ttyS2", "pci0000:00/0000:00:16.4", "4");
  const fs::path usb = sys.root() / "sys/devices/pci0000:00/usb1/1-2";
  sys.AddTty("ttyUSB0", "pci0000:00/usb1/1-2/1-2:1.0/ttyUSB0", "");
  sys.Write(usb / "idVendor", "0403\n");
  sys.Write(usb / "idProduct", "6001\n");
  sys.Write(usb / "product", "FT232R USB UART\n");
  sys.Write(usb / "manufacturer", "FTDI\n");
  const fs::path acm = sys.root() / "sys/devices/pci0000:00/usb1/1-3";
  sys.AddTty("ttyACM0", "pci0000:00/usb1/1-3/1-3:1.0", "");
  sys.Write(acm / "idVendor", "2341\n");
  sys.Write(acm / "idProduct", "0043\n");
  sys.AddTty("ttyUSB1", "pci0000:00/usb1/1-4/1-4:1.0/ttyUSB1", "", /*node=*/false);
  sys.AddVirtualTty("tty0");
  sys.AddVirtualTty("ptmx");
  sys.AddById("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB0");

  const auto ports = ListSerialPorts(sys.roots());
  const std::string dev = sys.roots().dev.string();
  ASSERT_EQ(ports.size(), 5u);
  EXPECT_EQ(ports[0].path, dev + "/ttyACM0");
  EXPECT_EQ(ports[0].description, "USB serial adapter 2341:0043");
  EXPECT_EQ(ports[1].path, dev + "/ttyS0");
  EXPECT_EQ(ports[1].description, "Serial port COM1");
  EXPECT_EQ(ports[1].comNumber, 1);
  EXPECT_EQ(ports[1].Name(), PortName::Number(1));
  EXPECT_EQ(ports[2].path, dev + "/ttyS2");
  EXPECT_EQ(ports[3].path, dev + "/ttyS10");
  EXPECT_EQ(ports[3].comNumber, 11);
  EXPECT_EQ(ports[4].path, dev + "/ttyUSB0");
  EXPECT_EQ(ports[4].description, "FT232R USB UART (FTDI)");
  EXPECT_EQ(ports[4].comNumber, 0);
  const std::string byId =
      sys.roots().byId.string() + "/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  EXPECT_EQ(ports[4].byIdPath, byId);
  EXPECT_EQ(ports[4].Name(), PortName::Device(byId));
  EXPECT_EQ(ports[0].Name(), PortName::Device(dev + "/ttyACM0"));
}

TEST(PortList, MissingDirectoriesGiveAnEmptyList) {
  PortListRoots roots;
  roots.sysClassTty = "/nonexistent/sys/class/tty";
  roots.byId = "/nonexistent/by-id";
  EXPECT_TRUE(ListSerialPorts(roots).empty());
}

}  // namespace
}  // namespace kivra::serial
