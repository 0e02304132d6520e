#include "app/files/settings_files.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "app/files/program_file.h"
#include "app/files/settings_compare_window.h"
#include "app/ui/prompts.h"
#include "app/ui/ui_language.h"
#include "common/atomic_file.h"
#include "common/file_read.h"
#include "params/param_file.h"

namespace kivra::app {
namespace {

using params::Outcome;

const QString kSuffix = QStringLiteral("kvp");

QString FromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

SettingsFiles::SettingsFiles(QWidget* window, const ControlMap& controls, SettingsExchange& link,
                             Prompts& prompts, const UiLanguage& language)
    : QObject(window), window_(window), link_(link), prompts_(prompts), language_(language) {
  const struct {
    Control button;
    void (SettingsFiles::*run)();
  } buttons[] = {{Control::SaveSettings, &SettingsFiles::Save},
                 {Control::LoadSettings, &SettingsFiles::Load},
                 {Control::CompareSettings, &SettingsFiles::Compare}};
  for (const auto& b : buttons) {
    auto* button = controls.Get<QPushButton>(b.button);
    connect(button, &QPushButton::clicked, this, b.run);
    buttons_.push_back(button);
  }
  status_ = controls.Get<QLabel>(Control::SettingsStatus);
  compare_ = new SettingsCompareWindow(window);
}

QString SettingsFiles::Pick(const texts::Bilingual& text) const {
  return language_.Pick(text);
}

void SettingsFiles::LanguageChanged() {
  compare_->SetLanguage(language_.Current());
}

bool SettingsFiles::CanStart() {
  if (Running()) return false;
  if (link_.Busy()) {
    ShowStatus(Pick(texts::kSettingsBusy));
    return false;
  }
  return true;
}

std::optional<QString> SettingsFiles::AskFile(bool save) {
  const FileDialogRequest request{
      Pick(save ? texts::kSaveSettingsTitle : texts::kLoadSettingsTitle),
      lastFolder_,
      save ? QStringLiteral("*.") + kSuffix : QString(),
      {Pick(texts::kSettingsFilesFilter), Pick(texts::kAllFilesChoice)},
      kSuffix};
  const auto path =
      save ? prompts_.SaveFileName(window_, request) : prompts_.OpenFileName(window_, request);
  if (path) lastFolder_ = QFileInfo(*path).path();
  return path;
}

std::optional<params::ParameterSet> SettingsFiles::LoadFile(const QString& path) {
  FileReadError error;
  const auto bytes = ReadCheckedFile(NativePath(path), FileKind::Parameters, error);
  if (!bytes) {
    prompts_.Show(
        window_, MessageKind::Warning,
        Pick(texts::kSettingsFileUnread) + "\n" + FileNotReadText(path, error, language_.Current()),
        Buttons::Ok);
    return std::nullopt;
  }
  params::ParsedFile parsed = params::ParseParameterFile(*bytes);
  if (parsed.error) {
    const QString why = QFileInfo(path).fileName() + ": " +
                        FromUtf8(params::Describe(*parsed.error, language_.Current()));
    prompts_.Show(window_, MessageKind::Warning, why + "\n" + Pick(texts::kSettingsNothingSent),
                  Buttons::Ok);
    return std::nullopt;
  }
  return std::move(parsed.set);
}

void SettingsFiles::Save() {
  if (!CanStart()) return;
  const auto path = AskFile(true);
  if (!path) return;
  Run(params::ReadSteps(), false,
      [this, path = *path](const params::StepsResult& result, const params::DriverReadings& r) {
        if (result.outcome != Outcome::Done) return Failed(result);
        std::string why;
        if (!WriteFileAtomically(path.toStdString(),
                                 params::FormatParameterFile(params::FromReadings(r)), why)) {
          ShowStatus(Pick(texts::kSettingsNotSaved));
          prompts_.Show(window_, MessageKind::Error,
                        Pick(texts::kSettingsNotSaved) + "\n" + FromUtf8(why), Buttons::Ok);
          return;
        }
        ShowStatus(Pick(texts::kSettingsSaved).arg(QFileInfo(path).fileName()));
      });
}

void SettingsFiles::Load() {
  WithChosenSet([this](const QString& path, const params::ParameterSet& set) {
    Run(params::WriteSteps(set), true,
        [this, set, path](const params::StepsResult& result, const params::DriverReadings& r) {
          if (result.outcome != Outcome::Done) return Failed(result);
          const params::ParameterSet driver = params::FromReadings(r);
          const auto differences = params::Compare(set, driver);
          const std::size_t left = params::Missing(set).size();
          QString text =
              differences.empty()
                  ? Pick(texts::kSettingsVerified).arg(set.Count())
                  : Pick(texts::kSettingsNotTaken).arg(differences.size()).arg(set.Count());
          if (left > 0) text += Pick(texts::kSettingsLeftAlone).arg(left);
          ShowStatus(text);
          // What did not take is shown value by value.
          if (!differences.empty())
            compare_->ShowComparison(path, set, driver, language_.Current());
        });
  });
}

void SettingsFiles::Compare() {
  WithChosenSet([this](const QString& path, const params::ParameterSet& set) {
    Run(params::DiffSteps(set), false,
        [this, set, path](const params::StepsResult& result, const params::DriverReadings& r) {
          if (result.outcome != Outcome::Done) return Failed(result);
          compare_->ShowComparison(path, set, params::FromReadings(r), language_.Current());
          ShowStatus(compare_->SummaryText());
        });
  });
}

void SettingsFiles::WithChosenSet(
    const std::function<void(const QString&, const params::ParameterSet&)>& use) {
  if (!CanStart()) return;
  const auto path = AskFile(false);
  if (!path) return;
  if (const auto set = LoadFile(*path)) use(*path, *set);
}

void SettingsFiles::Run(std::vector<params::Step> steps, bool writing, Finish finish) {
  runner_.emplace(std::move(steps));
  writing_ = writing;
  finish_ = std::move(finish);
  SetButtonsEnabled(false);
  Next();
}

void SettingsFiles::Next() {
  if (const auto step = runner_->Current()) {
    ShowProgress();
    link_.Start(*step, runner_->Readings(), [this](Outcome outcome) {
      if (!runner_) return;
      runner_->Ended(outcome);
      Next();
    });
    return;
  }
  // Taken out first: what it shows may run an event loop, and the buttons may be pressed.
  const params::StepsResult result = runner_->Result();
  const params::DriverReadings readings = runner_->Readings();
  const Finish finish = std::move(finish_);
  runner_.reset();
  SetButtonsEnabled(true);
  finish(result, readings);
  emit Ended();
}

void SettingsFiles::ShowProgress() {
  const auto& r = runner_->Result();
  ShowStatus(Pick(writing_ ? texts::kSettingsWriting : texts::kSettingsReading)
                 .arg(r.done + r.skipped.size())
                 .arg(runner_->Total()));
}

void SettingsFiles::Failed(const params::StepsResult& result) {
  const Language language = language_.Current();
  QString text =
      FromUtf8(result.stoppedAt ? params::Describe(*result.stoppedAt, language) : std::string()) +
      ": " + FromUtf8(params::Describe(result.outcome, language));
  if (writing_) text += "\n" + Pick(texts::kSettingsNotVerified);
  ShowStatus(text.section('\n', 0, 0));
  prompts_.Show(window_, MessageKind::Error, text, Buttons::Ok);
}

void SettingsFiles::SetButtonsEnabled(bool enabled) {
  for (QPushButton* b : buttons_) b->setEnabled(enabled);
}

void SettingsFiles::ShowStatus(const QString& text) {
  status_->setText(text);
}

}  // namespace kivra::app
