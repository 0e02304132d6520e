#pragma once

#include <QWidget>
#include <QtCharts/QChartGlobal>
#include <cstdint>

#include "app/ui/ui_language.h"

QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QScrollBar;
class QTimer;
QT_END_NAMESPACE

namespace kivra::app {

class LinkWatch;
class Prompts;

// The driver's values over time: analog inputs 1 and 2 and the temperature, and under them
// the six inputs and two outputs as digital traces. The time window is chosen from 10 s to
// 10 min; pausing freezes the right edge and lets the scroll bar go back through the last
// ten minutes; the cursor's readout names the reply under the mouse; the visible span
// exports as CSV (the status recording's columns) and as a PNG picture.
class LivePlots final : public QWidget {
  Q_OBJECT
 public:
  LivePlots(const LinkWatch& watch, const UiLanguage& language, Prompts& prompts, QWidget* parent);

  void LanguageChanged();
  // Redraws from the watch's history now.
  void Refresh();
  void SetWindowSeconds(int seconds);
  int WindowSeconds() const;
  // The visible span, seconds since the watch started.
  double RightEdge() const { return right_; }
  QLineSeries* analogSeries(int i) const {
    return analog_[i];
  }  // 0, 1: analog inputs; 2: temperature
  QLineSeries* digitalSeries(int i) const { return digital_[i]; }  // 0..5 inputs, 6, 7 outputs
  // The readout for the reply nearest to `seconds`.
  QString ReadoutAt(double seconds) const;
  bool ExportCsv(const QString& path);
  bool ExportPng(const QString& path);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildCharts();
  void Redraw();
  void UpdateScroll();
  void Export(bool png);
  void Saved(bool ok, const QString& path, const QString& reason);

  const LinkWatch& watch_;
  const UiLanguage& language_;
  Prompts& prompts_;
  QComboBox* window_;
  QPushButton* pause_;
  QLabel* cursor_;
  QScrollBar* scroll_;
  QChart* analogChart_;
  QChart* digitalChart_;
  QChartView* analogView_;
  QChartView* digitalView_;
  QLineSeries* analog_[3];
  QLineSeries* digital_[8];
  QTimer* refresh_;
  double right_ = 0;             // seconds
  std::uint64_t drawn_ = ~0ull;  // the history's count when last drawn
};

}  // namespace kivra::app
