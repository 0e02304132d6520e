#include "app/watch/frame_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ui/prompts.h"
#include "app/ui/texts.h"
#include "app/watch/link_watch.h"
#include "link/decode.h"
#include "link/event_text.h"

namespace kivra::app {
namespace {

// New rows are drawn twice a second: quicker redraws of a full table cost the window
// more than the line it watches.
constexpr int kRefreshMs = 500;

}  // namespace

FrameTableModel::FrameTableModel(const LinkWatch& watch, const UiLanguage& language,
                                 QObject* parent)
    : QAbstractTableModel(parent), watch_(watch), language_(language) {}

int FrameTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FrameTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant FrameTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  const link::LineEvent* e = watch_.events().Find(rows_[static_cast<std::size_t>(index.row())]);
  if (!e) return {};
  const Language language = language_.Current();
  if (role == Qt::DisplayRole) {
    switch (index.column()) {
      case Time:
        return QString::number(e->timeMs);
      case Direction:
        return QString::fromLatin1(link::DirectionText(*e));
      case Bytes:
        return e->bytes.empty() ? QStringLiteral("--") : ToQString(link::HexBytes(e->bytes));
      case Meaning:
        return ToQString(link::MeaningText(*e, language));
      case Outcome:
        return ToQString(link::OutcomeText(*e, language));
      case RoundTrip:
        return ToQString(link::RoundTripText(*e, language));
      default:
        return {};
    }
  }
  if (role == Qt::ForegroundRole) {
    if (e->outcome == link::FrameOutcome::Failed) return QColor(170, 0, 0);
    if (e->outcome == link::FrameOutcome::Ignored) return QColor(110, 110, 110);
    if (e->outcome == link::FrameOutcome::Link) return QColor(0, 0, 160);
    if (e->direction == link::Direction::Sent && e->attempt > 1) return QColor(150, 90, 0);
  }
  if (role == Qt::ToolTipRole && index.column() == Meaning)
    return ToQString(link::MeaningText(*e, language));
  return {};
}

QVariant FrameTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static constexpr const texts::Bilingual* kHeaders[] = {
      &texts::kInspectorTime,    &texts::kInspectorDirection, &texts::kInspectorBytes,
      &texts::kInspectorMeaning, &texts::kInspectorOutcome,   &texts::kInspectorRoundTrip};
  return section >= 0 && section < ColumnCount ? language_.Pick(*kHeaders[section]) : QVariant();
}

bool FrameTableModel::Shown(std::uint64_t sequence) const {
  if (!hideStatus_) return true;
  const link::LineEvent* e = watch_.events().Find(sequence);
  // Failed polls stay: they are what the filter must not hide.
  return e &&
         (!e->IsStatusPoll() || e->outcome == link::FrameOutcome::Failed ||
          (e->direction == link::Direction::Received && e->outcome == link::FrameOutcome::Ignored));
}

int FrameTableModel::Refresh(bool frozen) {
  const link::EventRing& ring = watch_.events();
  // Rows whose events the ring has dropped go, also while frozen: they cannot be shown.
  std::size_t gone = 0;
  while (gone < rows_.size() && rows_[gone] < ring.FirstSequence()) ++gone;
  if (frozen) {
    if (gone > 0) {
      beginRemoveRows({}, 0, static_cast<int>(gone) - 1);
      rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(gone));
      endRemoveRows();
    }
    return 0;
  }
  std::vector<std::uint64_t> fresh;
  for (std::uint64_t s = std::max(seen_, ring.FirstSequence()); s < ring.NextSequence(); ++s) {
    if (Shown(s)) fresh.push_back(s);
  }
  seen_ = ring.NextSequence();
  const int before = static_cast<int>(rows_.size());
  const int after = before - static_cast<int>(gone) + static_cast<int>(fresh.size());
  const auto update = [&] {
    rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(gone));
    rows_.insert(rows_.end(), fresh.begin(), fresh.end());
  };
  // With the ring full, every new event pushes the oldest out. Removing rows at the top
  // makes the view renumber all 100,000 of them each time; instead the rows are told that
  // their contents moved up, and only the difference in number is inserted or removed at
  // the bottom.
  if (after > before) {
    beginInsertRows({}, before, after - 1);
    update();
    endInsertRows();
  } else if (after < before) {
    beginRemoveRows({}, after, before - 1);
    update();
    endRemoveRows();
  } else {
    update();
  }
  if (gone > 0 && std::min(before, after) > 0)
    emit dataChanged(index(0, 0), index(std::min(before, after) - 1, ColumnCount - 1));
  return static_cast<int>(gone);
}

void FrameTableModel::Rebuild() {
  beginResetModel();
  rows_.clear();
  const link::EventRing& ring = watch_.events();
  for (std::uint64_t s = ring.FirstSequence(); s < ring.NextSequence(); ++s) {
    if (Shown(s)) rows_.push_back(s);
  }
  seen_ = ring.NextSequence();
  endResetModel();
}

void FrameTableModel::SetHideStatus(bool hide) {
  if (hide == hideStatus_) return;
  hideStatus_ = hide;
  Rebuild();
}

void FrameTableModel::LanguageChanged() {
  emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
  if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

QString FrameTableModel::RowsAsText(const QList<int>& rows) const {
  QString text;
  for (int row : rows) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) continue;
    if (const link::LineEvent* e = watch_.events().Find(rows_[static_cast<std::size_t>(row)]))
      text += ToQString(link::EventLine(*e, language_.Current())) + QLatin1Char('\n');
  }
  return text;
}

QString FrameTableModel::AllAsText() const {
  QList<int> all;
  for (int i = 0; i < rowCount(); ++i) all.append(i);
  return RowsAsText(all);
}

QString FrameTableModel::AllAsCsv() const {
  QString text = ToQString(link::EventCsvHeader());
  for (std::uint64_t s : rows_) {
    if (const link::LineEvent* e = watch_.events().Find(s))
      text += ToQString(link::EventCsvRow(*e, language_.Current()));
  }
  return text;
}

FrameInspector::FrameInspector(LinkWatch& watch, const UiLanguage& language, Prompts& prompts,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), watch_(watch), language_(language), prompts_(prompts) {
  setObjectName(ObjectName(Control::InspectorWindow));
  resize(980, 520);
  auto* column = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  column->addLayout(row);

  hideStatus_ = new QCheckBox(this);
  hideStatus_->setObjectName(ObjectName(Control::InspectorHideStatus));
  pause_ = new QPushButton(this);
  pause_->setObjectName(ObjectName(Control::InspectorPause));
  pause_->setCheckable(true);
  auto* clear = new QPushButton(this);
  clear->setObjectName(ObjectName(Control::InspectorClear));
  auto* copy = new QPushButton(this);
  copy->setObjectName(ObjectName(Control::InspectorCopy));
  auto* save = new QPushButton(this);
  save->setObjectName(ObjectName(Control::InspectorSave));
  counts_ = new QLabel(this);
  counts_->setObjectName(QStringLiteral("InspectorCounts"));
  for (QWidget* w : std::initializer_list<QWidget*>{hideStatus_, pause_, clear, copy, save})
    row->addWidget(w);
  row->addStretch(1);
  row->addWidget(counts_);

  model_ = new FrameTableModel(watch, language, this);
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("InspectorTable"));
  table_->setModel(model_);
  table_->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 9));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setWordWrap(false);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(18);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->horizontalHeader()->setStretchLastSection(false);
  const int widths[] = {80, 36, 330, 360, 120, 60};
  for (int c = 0; c < FrameTableModel::ColumnCount; ++c) table_->setColumnWidth(c, widths[c]);
  table_->horizontalHeader()->setSectionResizeMode(FrameTableModel::Meaning, QHeaderView::Stretch);
  column->addWidget(table_);

  refresh_ = new QTimer(this);
  refresh_->setInterval(kRefreshMs);
  connect(refresh_, &QTimer::timeout, this, &FrameInspector::Refresh);
  connect(hideStatus_, &QCheckBox::toggled, this, [this](bool on) {
    model_->SetHideStatus(on);
    table_->scrollToBottom();
  });
  connect(pause_, &QPushButton::toggled, this, [this](bool) { Refresh(); });
  connect(clear, &QPushButton::clicked, this, &FrameInspector::Clear);
  connect(copy, &QPushButton::clicked, this, &FrameInspector::Copy);
  connect(save, &QPushButton::clicked, this, &FrameInspector::Save);
  LanguageChanged();
}

void FrameInspector::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
  table_->scrollToBottom();
  refresh_->start();
}

void FrameInspector::hideEvent(QHideEvent* event) {
  // Nothing to draw while hidden; the ring keeps every event meanwhile.
  refresh_->stop();
  QWidget::hideEvent(event);
}

void FrameInspector::Refresh() {
  QScrollBar* bar = table_->verticalScrollBar();
  const bool atBottom = bar->value() >= bar->maximum() - 2;
  const int shifted = model_->Refresh(pause_->isChecked());
  // Follows the newest event unless the user scrolled up to read; then the rows they read
  // stay in place.
  if (atBottom && !pause_->isChecked()) {
    table_->scrollToBottom();
  } else if (shifted > 0) {
    bar->setValue(bar->value() - shifted);
  }
  ShowCounts();
}

void FrameInspector::ShowCounts() {
  const link::EventRing& ring = watch_.events();
  QString text = language_.Pick(texts::kInspectorFrames).arg(ring.Size());
  if (ring.Dropped() > 0)
    text += QStringLiteral(", ") + language_.Pick(texts::kInspectorDropped).arg(ring.Dropped());
  if (pause_->isChecked()) text += QStringLiteral(" · ") + language_.Pick(texts::kInspectorPaused);
  counts_->setText(text);
}

void FrameInspector::Clear() {
  watch_.ClearEvents();
  model_->Rebuild();
  ShowCounts();
}

void FrameInspector::Copy() {
  QList<int> rows;
  for (const QModelIndex& i : table_->selectionModel()->selectedRows()) rows.append(i.row());
  std::sort(rows.begin(), rows.end());
  const QString text = rows.isEmpty() ? model_->AllAsText() : model_->RowsAsText(rows);
  QApplication::clipboard()->setText(text);
}

void FrameInspector::Save() {
  FileDialogRequest request{
      language_.Pick(texts::kSaveFramesTitle),
      QString(),
      QStringLiteral("frames.txt"),
      {language_.Pick(texts::kTextFilesFilter), language_.Pick(texts::kCsvFilesFilter)},
      QStringLiteral("txt")};
  if (const auto path = prompts_.SaveFileName(this, request)) SaveTo(*path);
}

bool FrameInspector::SaveTo(const QString& path) {
  const bool csv = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
  const QByteArray bytes = (csv ? model_->AllAsCsv() : model_->AllAsText()).toUtf8();
  QSaveFile file(path);
  const bool ok =
      file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
  if (!ok) {
    prompts_.Show(this, MessageKind::Error,
                  language_.Pick(texts::kWatchFileNotSaved) + QLatin1Char('\n') + path +
                      QLatin1Char('\n') + file.errorString(),
                  Buttons::Ok);
  }
  return ok;
}

void FrameInspector::LanguageChanged() {
  model_->LanguageChanged();
  ShowCounts();
}

}  // namespace kivra::app
