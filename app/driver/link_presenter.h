#pragma once

// Draws what the link engine and the port selection report into the window's controls,
// and the switches and direction buttons' own effect on them; no other code draws there.
// It keeps what it drew and answers from that, never from a control's text or colour, and
// touches a control only when what it shows changes, so a driver that is polled forty
// times a second with the same values costs the window next to nothing.

#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "app/ui/controls.h"
#include "link/facts.h"
#include "link/port_selection.h"

class QLabel;
class QWidget;

namespace kivra::app {

class DownloadWindow;
class ProgramEditor;
class Prompts;
class SimulatedDriver;
class UiLanguage;

// The links of the first start's offer in the tool bar's status text.
struct PortHelpLinks {
  static constexpr const char* kSimulatedDriver = "simulated-driver";
  static constexpr const char* kPortDialog = "port-dialog";
};

struct PresenterWindows {
  QWidget* mainWindow;
  const ControlMap* controls;
  ProgramEditor* editor;
  DownloadWindow* download;
  QLabel* statusText;  // the tool bar's: says when the driver took the whole program
};

class LinkPresenter final : public link::LinkObserver, public link::PortView {
 public:
  LinkPresenter(PresenterWindows windows, Prompts& prompts, const UiLanguage& language,
                const SimulatedDriver& simulated);

  // The link's state, the note, the boxes' hints and the download's outcome follow the
  // language.
  void LanguageChanged();
  // The link's state in words beside both connection indicators.
  void AddLinkStatusLabels();

  // What the window shows now, as drawn here: the output lamps' state is what the output
  // lamps' clicks send, and the direction text what the direction command sends.
  bool Lit(Control control) const;
  // The direction as shown: 0 for left ("SOL", "L"), else 1 (right, or nothing shown).
  int DirectionShown() const;

  // The script switch was clicked and asks for the script `on`: its lamp follows at once,
  // the next status replies correct it from the driver's own bit.
  void ScriptSwitched(bool on);
  // Debugging was switched: the switch names its next action, the lamp follows, and the
  // editor is read-only while debugging is on.
  void DebugSwitched(bool on);
  // A direction button: the direction display shows it.
  void ShowDirection(bool right);
  // The boxes a read is about to fill are emptied.
  void ClearBoxes(std::initializer_list<Control> boxes);

  // A value the user asked to write from the direct-control page: the note under its groups
  // tells what became of it (not sent and why, acknowledged, not acknowledged).
  struct WriteAsked {
    link::LinkState request = link::LinkState::Idle;  // the exchange that writes it
    std::optional<link::Setting> setting;             // a motor setting, or
    int prm = 0;                                      // a driver parameter, or
    bool memory = false;                              // a memory cell
    bool read = false;                                // read, not written
    link::Entered address;                            // the cell's address
    link::Entered value;

    static WriteAsked Setting(link::Setting setting, link::Entered value = {});
    static WriteAsked Parameter(int prm, link::Entered value = {});
    static WriteAsked Memory(link::Entered address = {}, link::Entered data = {});
    // A memory cell to read: refused, it is noted as a refused write is.
    static WriteAsked MemoryRead(link::Entered address);
  };
  void AskedToWrite(const WriteAsked& asked);
  // Each box's hint names the values it accepts.
  void ShowAcceptedValues(Control box, const WriteAsked& kind);

  // LinkObserver
  void OnLinkStatus(link::LinkStatus status) override;
  void OnStatus(const link::StatusReply& s) override;
  void OnStatusLost() override;
  void OnDebugLine(std::uint32_t line) override;
  void OnMotorSettings(const link::MotorSettings& m) override;
  void OnParameterBlock(const link::ParameterBlock& p) override;
  void OnMemoryValue(std::uint8_t value) override;
  void OnServiceValues(const link::ServiceValues& v) override;
  void OnValueSent(link::Setting setting, std::int32_t value) override;
  void OnExchange(const link::ExchangeRecord& e) override;
  void OnDownload(const link::DownloadProgress& p) override;
  void OnNotice(link::Notice notice, std::string_view detail) override;

  // PortView
  void ShowPortNumber(std::string_view text) override;
  void PortNotOpened(std::string_view port, link::OpenFailure reason, std::string_view detail,
                     bool startUp) override;
  void PortNotANumber() override;

  // The download button was pressed: what the last download ended with is no longer news.
  void DownloadAsked();
  // The program on screen is no longer the one the last download sent (new, opened,
  // edited): the status text no longer says it is in the driver.
  void ProgramReplaced();
  // After a first start that no driver answered: the status text says so, with a link to
  // the simulated driver (or the port dialog where there is none). Off once a port is
  // chosen or a driver answers.
  void OfferHelpWithThePort(bool offered);

 private:
  enum class Shown : std::uint8_t { Unknown, Off, On, Red };
  void SetShape(Control control, Shown shown);
  void SetLamp(Control control, bool lit);
  void SetText(Control control, const QString& text);
  void SetNumber(Control control, int value);
  void SetDisplacementColour(bool red);
  void SetEditorReadOnly(bool readOnly);
  void DrawLinkStatus();
  void DrawPort();
  void DrawStatusText();
  enum class Note : std::uint8_t { None, NotANumber, OutOfRange, Acknowledged, NotAcknowledged };
  void DrawNote();
  QString AcceptedText(const WriteAsked& value) const;

  PresenterWindows windows_;
  // The line after "Download error!" when the last download failed.
  std::string downloadFailure_;
  Prompts& prompts_;
  const UiLanguage& language_;
  const SimulatedDriver& simulated_;
  bool debugOn_ = false;
  link::LinkStatus linkStatus_ = link::LinkStatus::PortClosed;
  QList<QLabel*> linkStatusLabels_;
  QString port_;  // the port the link selected, as the port selection names it
  // What each control shows, as far as the presenter drew it.
  std::array<Shown, kControlCount> shapes_{};
  std::array<QString, kControlCount> texts_{};
  std::array<bool, kControlCount> textShown_{};
  std::array<int, kControlCount> numbers_{};
  std::array<bool, kControlCount> numberShown_{};
  bool directionRight_ = false;
  bool directionShown_ = false;
  bool editorReadOnly_ = false;
  bool displacementRed_ = false;
  bool downloadedShown_ = false;
  bool programReplaced_ = false;  // since the download was asked for
  bool portHelpOffered_ = false;
  std::optional<WriteAsked> asked_;  // awaiting its exchange's outcome
  WriteAsked noted_;                 // what the note is about
  Note note_ = Note::None;
  link::FrameFailure noteWhy_ = link::FrameFailure::None;  // of a write that failed
  std::vector<std::pair<Control, WriteAsked>> hinted_;
};

}  // namespace kivra::app
