#include "app/watch/simulator_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ui/texts.h"
#include "sim/simulator.h"

namespace kivra::app {
namespace {

constexpr int kFollowMs = 300;

void Rule(sim::Simulator& s, sim::ReplyKind kind, sim::FaultAction action, std::uint32_t count) {
  s.AddFault(sim::FaultRule{kind, action, 1, count});
}

}  // namespace

SimulatorPanel::SimulatorPanel(std::function<sim::Simulator*()> simulator,
                               const UiLanguage& language, QWidget* parent)
    : QWidget(parent, Qt::Window), simulator_(std::move(simulator)), language_(language) {
  setObjectName(ObjectName(Control::SimulatorWindow));
  auto* column = new QVBoxLayout(this);
  state_ = new QLabel(this);
  state_->setObjectName(QStringLiteral("SimPanelState"));
  state_->setWordWrap(true);
  column->addWidget(state_);

  auto* world = new QGroupBox(this);
  world->setObjectName(ObjectName(Control::SimWorldGroup));
  auto* grid = new QGridLayout(world);
  for (int i = 0; i < 6; ++i) {
    inputs_[i] = new QCheckBox(QStringLiteral("%1").arg(i + 1), world);
    inputs_[i]->setObjectName(QStringLiteral("SimInput%1").arg(i + 1));
    grid->addWidget(inputs_[i], 0, i);
    connect(inputs_[i], &QCheckBox::toggled, this, [this, i](bool on) {
      if (auto* s = simulator_()) s->SetInput(i + 1, on);
    });
    controls_.append(inputs_[i]);
  }
  const auto spin = [&](const char* name, Control caption, int row, int max) {
    auto* label = new QLabel(world);
    label->setObjectName(ObjectName(caption));
    auto* box = new QSpinBox(world);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0, max);
    grid->addWidget(label, row, 0, 1, 3);
    grid->addWidget(box, row, 3, 1, 3);
    controls_.append(box);
    return box;
  };
  analog1_ = spin("SimAnalog1", Control::SimAnalog1Caption, 1, 255);
  analog2_ = spin("SimAnalog2", Control::SimAnalog2Caption, 2, 255);
  temperature_ = spin("SimTemperature", Control::SimTemperatureCaption, 3, 255);
  connect(analog1_, &QSpinBox::valueChanged, this, [this](int v) {
    if (auto* s = simulator_()) s->SetAnalog(1, static_cast<std::uint8_t>(v));
  });
  connect(analog2_, &QSpinBox::valueChanged, this, [this](int v) {
    if (auto* s = simulator_()) s->SetAnalog(2, static_cast<std::uint8_t>(v));
  });
  connect(temperature_, &QSpinBox::valueChanged, this, [this](int v) {
    if (auto* s = simulator_()) s->SetTemperature(static_cast<std::uint8_t>(v));
  });
  controller_ = new QCheckBox(world);
  controller_->setObjectName(ObjectName(Control::SimControllerMode));
  grid->addWidget(controller_, 4, 0, 1, 6);
  controls_.append(controller_);
  connect(controller_, &QCheckBox::toggled, this, [this](bool on) {
    if (auto* s = simulator_()) s->SetModeFlags(on ? 0x01 : 0x00);
  });
  column->addWidget(world);

  auto* faults = new QGroupBox(this);
  faults->setObjectName(ObjectName(Control::SimFaultGroup));
  auto* faultGrid = new QGridLayout(faults);
  struct FaultButton {
    Control button;
    void (*apply)(sim::Simulator&);
  };
  static constexpr FaultButton kFaults[] = {
      {Control::SimDropAcks,
       [](sim::Simulator& s) { Rule(s, sim::ReplyKind::Ack, sim::FaultAction::Drop, 3); }},
      {Control::SimGarbleStatus,
       [](sim::Simulator& s) { Rule(s, sim::ReplyKind::Status, sim::FaultAction::Garble, 5); }},
      {Control::SimSplitStatus,
       [](sim::Simulator& s) { Rule(s, sim::ReplyKind::Status, sim::FaultAction::Split, 5); }},
      {Control::SimWrongLetter,
       [](sim::Simulator& s) {
         Rule(s, sim::ReplyKind::Status, sim::FaultAction::WrongLetter, 3);
       }},
      {Control::SimSilence, [](sim::Simulator& s) { s.SilenceFor(std::chrono::seconds(3)); }},
      {Control::SimClearFaults, [](sim::Simulator& s) { s.ClearFaults(); }},
  };
  int at = 0;
  for (const FaultButton& f : kFaults) {
    auto* button = new QPushButton(faults);
    button->setObjectName(ObjectName(f.button));
    faultGrid->addWidget(button, at / 2, at % 2);
    ++at;
    controls_.append(button);
    connect(button, &QPushButton::clicked, this, [this, apply = f.apply] { Fault(apply); });
  }
  unplug_ = new QPushButton(faults);
  unplug_->setObjectName(ObjectName(Control::SimUnplug));
  unplug_->setCheckable(true);
  faultGrid->addWidget(unplug_, at / 2, at % 2);
  controls_.append(unplug_);
  connect(unplug_, &QPushButton::toggled, this, [this](bool out) {
    sim::Simulator* s = simulator_();
    if (!s || out == !s->Plugged()) return;
    if (out) {
      s->Unplug();
    } else {
      s->Replug(true);  // the same socket: the link finds its device again
    }
  });
  column->addWidget(faults);
  column->addStretch(1);

  follow_ = new QTimer(this);
  follow_->setInterval(kFollowMs);
  connect(follow_, &QTimer::timeout, this, &SimulatorPanel::Follow);
  Follow();
  LanguageChanged();
}

void SimulatorPanel::Fault(void (*apply)(sim::Simulator&)) {
  if (sim::Simulator* s = simulator_()) apply(*s);
}

void SimulatorPanel::Load(sim::Simulator& s) {
  const sim::DriverState state = s.State();
  // Shown as the driver has them, without sending them back.
  const QSignalBlocker b1(analog1_), b2(analog2_), b3(temperature_), b4(controller_);
  for (int i = 0; i < 6; ++i) {
    const QSignalBlocker block(inputs_[i]);
    inputs_[i]->setChecked((state.inputs >> i) & 1);
  }
  analog1_->setValue(state.analog1);
  analog2_->setValue(state.analog2);
  temperature_->setValue(state.temperature);
  controller_->setChecked(state.modeFlags & 0x01);
}

void SimulatorPanel::Follow() {
  sim::Simulator* s = simulator_();
  const bool connected = s != nullptr;
  if (connected && !connected_) Load(*s);
  if (connected_ != connected) {
    connected_ = connected;
    for (QWidget* w : controls_) w->setEnabled(connected);
    LanguageChanged();
  }
  if (s) {
    const QSignalBlocker block(unplug_);
    unplug_->setChecked(!s->Plugged());
  }
}

void SimulatorPanel::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (sim::Simulator* s = simulator_()) Load(*s);
  Follow();
  follow_->start();
}

void SimulatorPanel::hideEvent(QHideEvent* event) {
  follow_->stop();
  QWidget::hideEvent(event);
}

void SimulatorPanel::LanguageChanged() {
  state_->setText(language_.Pick(connected_ ? texts::kSimConnected : texts::kSimNotConnected));
}

}  // namespace kivra::app
