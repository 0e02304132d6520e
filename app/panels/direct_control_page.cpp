#include "app/panels/direct_control_page.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/panels/full_status_group.h"
#include "app/panels/motor_control_group.h"
#include "app/panels/parameter_group.h"
#include "app/ui/controls.h"
#include "app/ui/texts.h"
#include "app/ui/ui_language.h"
#include "app/ui/ui_look.h"

namespace kivra::app {
namespace {

template <typename Widget>
Widget* Add(QWidget* parent, Control control, const QString& text, const QRect& rect) {
  auto* widget = new Widget(text, parent);
  widget->setObjectName(ObjectName(control));
  widget->setGeometry(rect);
  return widget;
}

}  // namespace

DirectControlPage::DirectControlPage(QWidget* parent) : QWidget(parent) {
  setObjectName(ObjectName(Control::DirectControlTab));
  new FullStatusGroup(this, {60, 12, 213, 537});
  new MotorControlGroup(this, {288, 12, 233, 537});
  new ParameterGroup(this, {528, 12, 251, 537});
  BuildMemoryAccess();
  BuildServiceControls();
  // Under the three groups, where nothing else is: one line about the last value written.
  look::AddLabel(this, ObjectName(Control::DirectNote), QString(), {60, 556, 719, 17});
  BuildSettingsFiles();
}

void DirectControlPage::BuildMemoryAccess() {
  using enum Control;
  memoryAccess_
      << look::AddLabel(this, ObjectName(MemoryAddressLabel),
                        ToQString(texts::kMemoryAddressCaption), {792, 40, 85, 17})
      << Add<QLineEdit>(this, MemoryAddress, QStringLiteral("0"), {792, 58, 85, 21})
      << Add<QPushButton>(this, MemoryUp, ToQString(texts::kMemoryUp), {792, 84, 41, 25})
      << Add<QPushButton>(this, MemoryDown, ToQString(texts::kMemoryDown), {836, 84, 41, 25})
      << look::AddLabel(this, ObjectName(MemoryDataLabel), ToQString(texts::kMemoryDataCaption),
                        {792, 120, 85, 17})
      << Add<QLineEdit>(this, MemoryData, QStringLiteral("0"), {792, 138, 85, 21})
      << Add<QPushButton>(this, MemoryRead, ToQString(texts::kMemoryRead), {792, 166, 85, 25})
      << Add<QPushButton>(this, MemoryWrite, ToQString(texts::kMemoryWrite), {792, 196, 85, 25});
  SetMemoryAccessVisible(false);
}

// Service settings of the driver's makers: present for the link, never shown.
void DirectControlPage::BuildServiceControls() {
  for (QWidget* service : std::initializer_list<QWidget*>{
           Add<QLineEdit>(this, Control::Service1Box, QStringLiteral("100"), {792, 240, 85, 21}),
           Add<QLineEdit>(this, Control::Service2Box, QStringLiteral("100"), {792, 264, 85, 21}),
           Add<QPushButton>(this, Control::Service1Write, QString(), {792, 288, 85, 25}),
           Add<QPushButton>(this, Control::Service2Write, QString(), {792, 316, 85, 25}),
           Add<QPushButton>(this, Control::ServiceRead, QString(), {792, 344, 85, 25})}) {
    service->hide();
  }
}

// The parameter files: below the memory-access and service controls at the right of the
// page, and a status line under the note below the groups, in space no other control uses.
void DirectControlPage::BuildSettingsFiles() {
  using enum Control;
  Add<QPushButton>(this, SaveSettings, QString(), {792, 400, 122, 29});
  Add<QPushButton>(this, LoadSettings, QString(), {792, 436, 122, 29});
  Add<QPushButton>(this, CompareSettings, QString(), {792, 472, 122, 29});
  look::AddLabel(this, ObjectName(SettingsStatus), QString(), {60, 576, 854, 17});
}

void DirectControlPage::SetMemoryAccessVisible(bool visible) {
  memoryAccessVisible_ = visible;
  for (QWidget* widget : memoryAccess_) widget->setVisible(visible);
}

}  // namespace kivra::app
