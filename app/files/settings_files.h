#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "app/ui/controls.h"
#include "app/ui/texts.h"
#include "params/param_set.h"
#include "params/transfer.h"

class QLabel;
class QPushButton;
class QWidget;

namespace kivra::app {

class Prompts;
class SettingsCompareWindow;
class UiLanguage;

// What the parameter files of the window need of the link: one exchange at a time, told
// when it has ended. The window cannot block, so each step is started and answered later.
class SettingsExchange {
 public:
  virtual ~SettingsExchange() = default;
  // Starts the exchange of `step`. What a read brings goes into `readings`; `done` is called
  // once the exchange has ended, never before Start returns.
  virtual void Start(const params::Step& step, params::DriverReadings& readings,
                     std::function<void(params::Outcome)> done) = 0;
  // A download or another exchange the user asked for is running.
  virtual bool Busy() const = 0;
};

// The direct-control page's parameter files: "Ayarları Kaydet…" reads the driver's settings,
// parameters and service values into a file, "Ayarları Yükle…" writes a file's values into
// the driver and reads them back, "Karşılaştır…" compares a file with the driver in the
// comparison window. The page builds the buttons and the status line below the groups in
// space of their own, so no control of the page moves; they are found in the registry.
class SettingsFiles : public QObject {
  Q_OBJECT
 public:
  // `window` holds the page's controls and owns the dialogs.
  SettingsFiles(QWidget* window, const ControlMap& controls, SettingsExchange& link,
                Prompts& prompts, const UiLanguage& language);

  void LanguageChanged();
  bool Running() const { return runner_.has_value(); }
  SettingsCompareWindow* compareWindow() const { return compare_; }
  QLabel* statusText() const { return status_; }

  // The buttons' work, as their clicks run it.
  void Save();
  void Load();
  void Compare();

 signals:
  // A save, load or comparison has ended, whatever its outcome.
  void Ended();

 private:
  using Finish = std::function<void(const params::StepsResult&, const params::DriverReadings&)>;
  bool CanStart();
  std::optional<QString> AskFile(bool save);
  std::optional<params::ParameterSet> LoadFile(const QString& path);
  // Asks for a parameter file and loads it; a file that is refused is said so.
  void WithChosenSet(const std::function<void(const QString&, const params::ParameterSet&)>& use);
  void Run(std::vector<params::Step> steps, bool writing, Finish finish);
  void Next();
  void ShowProgress();
  void Failed(const params::StepsResult& result);
  void SetButtonsEnabled(bool enabled);
  void ShowStatus(const QString& text);
  QString Pick(const texts::Bilingual& text) const;

  QWidget* window_;
  SettingsExchange& link_;
  Prompts& prompts_;
  const UiLanguage& language_;
  std::vector<QPushButton*> buttons_;
  QLabel* status_;
  SettingsCompareWindow* compare_;
  std::optional<params::StepRunner> runner_;
  bool writing_ = false;
  Finish finish_;
  QString lastFolder_;
};

}  // namespace kivra::app
