#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <cstdint>
#include <deque>

#include "app/ui/ui_language.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;
class QTimer;

namespace kivra::app {

class LinkWatch;
class Prompts;

// The inspector's rows: the events of the watch's ring, without the status polls when they
// are hidden. It follows the ring on Refresh(): new events are appended, events the ring
// dropped are removed from the top.
class FrameTableModel final : public QAbstractTableModel {
 public:
  enum Column { Time, Direction, Bytes, Meaning, Outcome, RoundTrip, ColumnCount };

  FrameTableModel(const LinkWatch& watch, const UiLanguage& language, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Takes in what the ring holds now (nothing new while `frozen`). Returns by how many rows
  // the kept ones moved up, the ring having dropped the events of the rows above them.
  int Refresh(bool frozen);
  // Rebuilds the rows, e.g. after the filter changed.
  void Rebuild();
  void SetHideStatus(bool hide);
  void LanguageChanged();
  // The events of the rows, as lines of text or CSV rows with a header.
  QString RowsAsText(const QList<int>& rows) const;
  QString AllAsText() const;
  QString AllAsCsv() const;

 private:
  bool Shown(std::uint64_t sequence) const;

  const LinkWatch& watch_;
  const UiLanguage& language_;
  bool hideStatus_ = false;
  std::deque<std::uint64_t> rows_;  // sequence numbers in the ring
  std::uint64_t seen_ = 0;          // the ring's next sequence when last refreshed
};

// The frame inspector: every frame sent and every reply received, decoded, with how the
// link judged it and the round trip, filter, pause, clear, copy and save.
class FrameInspector final : public QWidget {
  Q_OBJECT
 public:
  FrameInspector(LinkWatch& watch, const UiLanguage& language, Prompts& prompts, QWidget* parent);

  void LanguageChanged();
  FrameTableModel* model() const { return model_; }
  QTableView* table() const { return table_; }
  // The save command with a path already chosen: CSV when it ends in .csv, text otherwise.
  bool SaveTo(const QString& path);
  // Takes in new events now rather than at the next refresh.
  void Refresh();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void Save();
  void Copy();
  void Clear();
  void ShowCounts();

  LinkWatch& watch_;
  const UiLanguage& language_;
  Prompts& prompts_;
  FrameTableModel* model_;
  QTableView* table_;
  QCheckBox* hideStatus_;
  QPushButton* pause_;
  QLabel* counts_;
  QTimer* refresh_;
};

}  // namespace kivra::app
