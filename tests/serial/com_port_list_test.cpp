// Windows' port list from the registry's port names and Device Manager's names.

#include <gtest/gtest.h>

#include "serial/port_list.h"

namespace kivra::serial {
namespace {

TEST(ComPortList, OnePortPerNumberInOrderWithItsFriendlyName) {
  const std::vector<PortInfo> ports = ComPortList(
      {"COM10", "COM3", "com3", "COM1", "LPT1", "COM0", "COM300", "5", ""},
      {{"COM3", "USB Serial Port (COM3)"}, {"COM10", ""}, {"COM9", "Not present (COM9)"}});
  ASSERT_EQ(ports.size(), 3u);
  EXPECT_EQ(ports[0].path, "COM1");
  EXPECT_EQ(ports[0].description, "Serial port COM1");
  EXPECT_EQ(ports[1].path, "COM3");
  EXPECT_EQ(ports[1].description, "USB Serial Port (COM3)");
  EXPECT_EQ(ports[2].path, "COM10");
  EXPECT_EQ(ports[2].description, "Serial port COM10");
  for (const PortInfo& p : ports) {
    EXPECT_EQ(p.Name(), PortName::Number(p.comNumber)) << p.path;
    EXPECT_TRUE(p.byIdPath.empty());
  }
  EXPECT_EQ(ports[2].comNumber, 10);
}

}  // namespace
}  // namespace kivra::serial
