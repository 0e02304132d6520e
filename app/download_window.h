#pragma once

#include <QWidget>
#include <cstdint>

class QProgressBar;

namespace kivra::app {

// `TForm4`, the progress of a program download. Not modal: the main window stays usable.
class DownloadWindow : public QWidget {
  Q_OBJECT
 public:
  explicit DownloadWindow(QWidget* parent);

  // Title for the language, bar back at the start; done each time the window comes up.
  void Activate(bool english);
  // A download starts: the caption the link chose, the bar empty with its new maximum.
  void Begin(const QString& caption, int maximum);
  // Positions past the maximum show a full bar.
  void SetPosition(std::uint32_t position);

  QProgressBar* progressBar() const { return bar_; }  // ProgressBar1

 private:
  QProgressBar* bar_;
};

}  // namespace kivra::app
