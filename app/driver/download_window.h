#pragma once

#include <QWidget>
#include <cstdint>

class QProgressBar;

namespace kivra::app {

// `TForm4`, the progress of a program download, with its percentage. Not modal: the main
// window stays usable. It opens over the middle of the main window.
class DownloadWindow : public QWidget {
  Q_OBJECT
 public:
  explicit DownloadWindow(QWidget* parent);

  // A download starts: the caption the link chose, the bar empty with its new maximum.
  void Begin(const QString& caption, int maximum);
  // Positions past the maximum show a full bar.
  void SetPosition(std::uint32_t position);

  QProgressBar* progressBar() const { return bar_; }  // ProgressBar1

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QProgressBar* bar_;
};

}  // namespace kivra::app
