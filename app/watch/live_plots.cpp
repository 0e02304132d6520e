#include "app/watch/live_plots.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>

#include "app/ui/prompts.h"
#include "app/ui/texts.h"
#include "app/ui/ui_look.h"
#include "app/watch/link_watch.h"

namespace kivra::app {
namespace {

constexpr int kWindows[] = {10, 30, 60, 120, 300, 600};
// The traces are redrawn twice a second, which a ten-second window still shows smoothly
// enough, at a fraction of the drawing cost of a quicker refresh.
constexpr int kRefreshMs = 500;
// Points per analog trace at most: about one per pixel of a wide window.
constexpr std::size_t kMaxPoints = 1200;

double Seconds(std::int64_t ms) {
  return static_cast<double>(ms) / 1000.0;
}

QString Bits(const link::StatusReply& s, int first, int count) {
  QString text;
  for (int i = 0; i < count; ++i)
    text += (s.io >> (first + i)) & 1 ? QLatin1Char('1') : QLatin1Char('0');
  return text;
}

QString WindowCaption(int seconds) {
  return seconds < 60 ? ToQString(texts::kPlotSpanSeconds).arg(seconds)
                      : ToQString(texts::kPlotSpanMinutes).arg(seconds / 60);
}

}  // namespace

LivePlots::LivePlots(const LinkWatch& watch, const UiLanguage& language, Prompts& prompts,
                     QWidget* parent)
    : QWidget(parent, Qt::Window), watch_(watch), language_(language), prompts_(prompts) {
  setObjectName(ObjectName(Control::PlotsWindow));
  resize(900, 620);
  auto* column = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  column->addLayout(row);
  auto* windowLabel = new QLabel(this);
  windowLabel->setObjectName(ObjectName(Control::PlotSpanCaption));
  window_ = new QComboBox(this);
  window_->setObjectName(QStringLiteral("PlotWindow"));
  for (int s : kWindows) window_->addItem(WindowCaption(s), s);
  pause_ = new QPushButton(this);
  pause_->setObjectName(ObjectName(Control::PlotPause));
  pause_->setCheckable(true);
  auto* csv = new QPushButton(this);
  csv->setObjectName(ObjectName(Control::PlotExportCsv));
  auto* png = new QPushButton(this);
  png->setObjectName(ObjectName(Control::PlotExportPng));
  for (QWidget* w : std::initializer_list<QWidget*>{windowLabel, window_, pause_, csv, png})
    row->addWidget(w);
  row->addStretch(1);

  BuildCharts();
  column->addWidget(analogView_, 3);
  column->addWidget(digitalView_, 2);
  scroll_ = new QScrollBar(Qt::Horizontal, this);
  scroll_->setObjectName(QStringLiteral("PlotScroll"));
  scroll_->setEnabled(false);
  column->addWidget(scroll_);
  cursor_ = new QLabel(this);
  cursor_->setObjectName(QStringLiteral("PlotCursor"));
  cursor_->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 9));
  column->addWidget(cursor_);

  refresh_ = new QTimer(this);
  refresh_->setInterval(kRefreshMs);
  connect(refresh_, &QTimer::timeout, this, &LivePlots::Refresh);
  connect(window_, &QComboBox::currentIndexChanged, this, [this] {
    drawn_ = ~0ull;
    Refresh();
  });
  connect(pause_, &QPushButton::toggled, this, [this](bool paused) {
    scroll_->setEnabled(paused);
    drawn_ = ~0ull;
    Refresh();
  });
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int value) {
    if (!pause_->isChecked()) return;
    right_ = value / 10.0;
    Redraw();
  });
  connect(csv, &QPushButton::clicked, this, [this] { Export(false); });
  connect(png, &QPushButton::clicked, this, [this] { Export(true); });
  LanguageChanged();
}

void LivePlots::BuildCharts() {
  analogChart_ = new QChart;
  for (auto*& s : analog_) {
    s = new QLineSeries(analogChart_);
    analogChart_->addSeries(s);
  }
  auto* x = new QValueAxis(analogChart_);
  auto* y = new QValueAxis(analogChart_);
  y->setRange(0, 255);
  y->setTickCount(6);
  y->setLabelFormat(QStringLiteral("%d"));
  analogChart_->addAxis(x, Qt::AlignBottom);
  analogChart_->addAxis(y, Qt::AlignLeft);
  for (auto* s : analog_) {
    s->attachAxis(x);
    s->attachAxis(y);
  }
  analogChart_->legend()->setAlignment(Qt::AlignRight);
  analogChart_->setMargins(QMargins(4, 4, 4, 4));

  digitalChart_ = new QChart;
  auto* dx = new QValueAxis(digitalChart_);
  auto* dy = new QValueAxis(digitalChart_);
  dy->setRange(-0.2, 8);
  dy->setLabelsVisible(false);
  dy->setTickCount(9);
  digitalChart_->addAxis(dx, Qt::AlignBottom);
  digitalChart_->addAxis(dy, Qt::AlignLeft);
  for (auto*& s : digital_) {
    s = new QLineSeries(digitalChart_);
    digitalChart_->addSeries(s);
    s->attachAxis(dx);
    s->attachAxis(dy);
  }
  digitalChart_->legend()->setAlignment(Qt::AlignRight);
  digitalChart_->setMargins(QMargins(4, 4, 4, 4));

  // The chart's theme repeats its few colours across eleven traces: each gets its own from
  // the kept palette, and the legend shows the same.
  std::size_t next = 0;
  for (QLineSeries* s : analog_) s->setPen(QPen(look::kTraceColours[next++], 2));
  for (QLineSeries* s : digital_) s->setPen(QPen(look::kTraceColours[next++], 2));

  analogView_ = new QChartView(analogChart_, this);
  analogView_->setObjectName(QStringLiteral("PlotAnalog"));
  digitalView_ = new QChartView(digitalChart_, this);
  digitalView_->setObjectName(QStringLiteral("PlotDigital"));
  for (QChartView* view : {analogView_, digitalView_}) {
    view->setRenderHint(QPainter::Antialiasing, false);
    view->setMouseTracking(true);
    view->viewport()->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
  }
}

void LivePlots::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  drawn_ = ~0ull;
  Refresh();
  refresh_->start();
}

void LivePlots::hideEvent(QHideEvent* event) {
  refresh_->stop();
  QWidget::hideEvent(event);
}

int LivePlots::WindowSeconds() const {
  return window_->currentData().toInt();
}

void LivePlots::SetWindowSeconds(int seconds) {
  const int i = window_->findData(seconds);
  if (i >= 0) window_->setCurrentIndex(i);
}

void LivePlots::Refresh() {
  if (!pause_->isChecked()) {
    // The right edge follows the clock, so the traces move on while nothing comes.
    right_ = Seconds(watch_.NowMs());
  }
  UpdateScroll();
  Redraw();
  drawn_ = watch_.statusCount();
}

void LivePlots::UpdateScroll() {
  const auto& h = watch_.history();
  const QSignalBlocker block(scroll_);
  const int window = WindowSeconds() * 10;
  const int first = h.empty() ? 0 : static_cast<int>(Seconds(h.front().timeMs) * 10) + window;
  const int last = static_cast<int>(Seconds(watch_.NowMs()) * 10);
  scroll_->setRange(std::min(first, last), last);
  scroll_->setPageStep(window);
  scroll_->setValue(static_cast<int>(right_ * 10));
}

void LivePlots::Redraw() {
  const auto& h = watch_.history();
  const double left = right_ - WindowSeconds();
  const auto from =
      std::lower_bound(h.begin(), h.end(), left,
                       [](const link::StatusSample& s, double t) { return Seconds(s.timeMs) < t; });
  const auto to =
      std::upper_bound(from, h.end(), right_,
                       [](double t, const link::StatusSample& s) { return t < Seconds(s.timeMs); });
  const std::size_t n = static_cast<std::size_t>(to - from);
  const std::size_t stride = std::max<std::size_t>(1, (n + kMaxPoints - 1) / kMaxPoints);

  QList<QPointF> analog[3];
  QList<QPointF> digital[8];
  for (auto it = from; it != to; ++it) {
    const double t = Seconds(it->timeMs);
    const link::StatusReply& s = it->status;
    const std::size_t i = static_cast<std::size_t>(it - from);
    if (i % stride == 0 || it + 1 == to) {
      analog[0].append({t, static_cast<double>(s.analog1)});
      analog[1].append({t, static_cast<double>(s.analog2)});
      analog[2].append({t, static_cast<double>(s.temperature)});
    }
    // Digital traces as steps: a point where a bit changes, and the ends.
    for (int b = 0; b < 8; ++b) {
      const double level = 7 - b + (((s.io >> b) & 1) ? 0.7 : 0.0);
      QList<QPointF>& trace = digital[b];
      if (!trace.isEmpty() && trace.last().y() != level) trace.append({t, trace.last().y()});
      if (trace.isEmpty() || trace.last().y() != level || it + 1 == to) trace.append({t, level});
    }
  }
  for (int i = 0; i < 3; ++i) analog_[i]->replace(analog[i]);
  for (int i = 0; i < 8; ++i) digital_[i]->replace(digital[i]);
  for (QChart* chart : {analogChart_, digitalChart_})
    chart->axes(Qt::Horizontal).first()->setRange(left, right_);
}

QString LivePlots::ReadoutAt(double seconds) const {
  const auto& h = watch_.history();
  if (h.empty()) return {};
  auto it =
      std::lower_bound(h.begin(), h.end(), seconds,
                       [](const link::StatusSample& s, double t) { return Seconds(s.timeMs) < t; });
  if (it == h.end()) --it;
  if (it != h.begin() && seconds - Seconds(std::prev(it)->timeMs) < Seconds(it->timeMs) - seconds)
    --it;
  const link::StatusReply& s = it->status;
  return language_.Pick(texts::kPlotCursor)
      .arg(Seconds(it->timeMs), 0, 'f', 2)
      .arg(s.analog1)
      .arg(s.analog2)
      .arg(s.temperature)
      .arg(Bits(s, 0, 6))
      .arg(Bits(s, 6, 2));
}

bool LivePlots::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) {
    for (QChartView* view : {analogView_, digitalView_}) {
      if (watched != view->viewport()) continue;
      const QPointF at =
          view->chart()->mapToValue(view->mapToScene(static_cast<QMouseEvent*>(event)->pos()));
      cursor_->setText(ReadoutAt(at.x()));
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool LivePlots::ExportCsv(const QString& path) {
  const auto& h = watch_.history();
  const double left = right_ - WindowSeconds();
  std::string text = link::CsvHeader();
  for (const link::StatusSample& s : h) {
    const double t = Seconds(s.timeMs);
    if (t >= left && t <= right_) text += link::CsvRow(s);
  }
  QSaveFile file(path);
  const bool ok = file.open(QIODevice::WriteOnly) &&
                  file.write(text.data(), static_cast<qint64>(text.size())) ==
                      static_cast<qint64>(text.size()) &&
                  file.commit();
  Saved(ok, path, file.errorString());
  return ok;
}

bool LivePlots::ExportPng(const QString& path) {
  QWidget* charts = analogView_->parentWidget();
  const QPixmap picture = charts->grab(analogView_->geometry().united(digitalView_->geometry()));
  QSaveFile file(path);
  const bool ok = file.open(QIODevice::WriteOnly) && picture.save(&file, "PNG") && file.commit();
  Saved(ok, path, file.errorString());
  return ok;
}

void LivePlots::Saved(bool ok, const QString& path, const QString& reason) {
  if (ok) return;
  prompts_.Show(this, MessageKind::Error,
                language_.Pick(texts::kWatchFileNotSaved) + QLatin1Char('\n') + path +
                    QLatin1Char('\n') + reason,
                Buttons::Ok);
}

void LivePlots::Export(bool png) {
  FileDialogRequest request{language_.Pick(png ? texts::kExportPngTitle : texts::kExportCsvTitle),
                            QString(),
                            png ? QStringLiteral("plot.png") : QStringLiteral("plot.csv"),
                            {language_.Pick(png ? texts::kPngFilesFilter : texts::kCsvFilesFilter)},
                            png ? QStringLiteral("png") : QStringLiteral("csv")};
  if (const auto path = prompts_.SaveFileName(this, request))
    png ? ExportPng(*path) : ExportCsv(*path);
}

void LivePlots::LanguageChanged() {
  analog_[0]->setName(language_.Pick(texts::kPlotAnalog1));
  analog_[1]->setName(language_.Pick(texts::kPlotAnalog2));
  analog_[2]->setName(language_.Pick(texts::kPlotTemperature));
  for (int i = 0; i < 6; ++i) digital_[i]->setName(language_.Pick(texts::kPlotInput).arg(i + 1));
  for (int i = 0; i < 2; ++i)
    digital_[6 + i]->setName(language_.Pick(texts::kPlotOutput).arg(i + 1));
  for (QChart* chart : {analogChart_, digitalChart_})
    chart->axes(Qt::Horizontal).first()->setTitleText(language_.Pick(texts::kPlotSeconds));
}

}  // namespace kivra::app
