// The control registry against the built window, and the presenter drawing the link's
// typed facts into the controls: which shapes and texts each fact lights, and that
// nothing is touched when nothing changed.

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include "app/driver/link_presenter.h"
#include "app/driver/simulated_driver.h"
#include "app/ui/controls.h"
#include "app/ui/ui_language.h"
#include "driver_fixture.h"

namespace kivra::app::testing {
namespace {

// Every object below `parent` called `name`, other windows left out (menus are this
// window's popups).
std::vector<QObject*> Named(QObject* parent, const QString& name) {
  std::vector<QObject*> found;
  for (QObject* child : parent->children()) {
    if (auto* w = qobject_cast<QWidget*>(child); w && w->isWindow() && !qobject_cast<QMenu*>(w))
      continue;
    if (child->objectName() == name) found.push_back(child);
    for (QObject* below : Named(child, name)) found.push_back(below);
  }
  return found;
}

bool OfKind(QObject* control, ControlKind kind) {
  auto* widget = qobject_cast<QWidget*>(control);
  switch (kind) {
    case ControlKind::Indicator:
      return qobject_cast<IndicatorShape*>(control) != nullptr;
    case ControlKind::Label:
      return qobject_cast<QLabel*>(control) != nullptr;
    case ControlKind::Box:
      return qobject_cast<QLineEdit*>(control) != nullptr;
    case ControlKind::Button:
      return qobject_cast<QPushButton*>(control) != nullptr;
    case ControlKind::ToolButton:
      return qobject_cast<QToolButton*>(control) != nullptr;
    case ControlKind::CheckBox:
      return qobject_cast<QCheckBox*>(control) != nullptr;
    case ControlKind::Group:
      return qobject_cast<QGroupBox*>(control) != nullptr;
    case ControlKind::Page:
      return widget && widget->parentWidget() &&
             qobject_cast<QTabWidget*>(widget->parentWidget()->parentWidget()) != nullptr;
    case ControlKind::Window:
      return widget && widget->isWindow();
    case ControlKind::Bar:
      return qobject_cast<QProgressBar*>(control) != nullptr;
    case ControlKind::Menu:
      return qobject_cast<QMenu*>(control) != nullptr;
    case ControlKind::MenuItem:
      return qobject_cast<QAction*>(control) != nullptr;
  }
  return false;
}

// A presenter of its own on a started window whose link is stopped, so that only the
// facts the test tells reach the controls.
struct Drawn {
  WindowHarness h;
  UiLanguage language;
  SimulatedDriver simulated;
  std::unique_ptr<ControlMap> controls;
  std::unique_ptr<LinkPresenter> presenter;
  QLabel status;  // stands for the tool bar's status text

  explicit Drawn(Language shown = Language::Turkish) : language(shown) {
    if (!h.Start()) return;
    h.window().driverSide().timer()->stop();
    controls = std::make_unique<ControlMap>(&h.window());
    presenter =
        std::make_unique<LinkPresenter>(PresenterWindows{&h.window(), controls.get(), &h.editor(),
                                                         h.window().downloadWindow(), &status},
                                        h.prompts, language, simulated);
  }
  MainWindow& w() { return h.window(); }
};

link::StatusReply Status(std::uint8_t io, std::uint8_t mode, std::uint8_t analog1 = 17,
                         std::uint8_t analog2 = 250, std::uint8_t temperature = 41) {
  link::StatusReply s;
  s.io = io;
  s.mode = mode;
  s.analog1 = analog1;
  s.analog2 = analog2;
  s.temperature = temperature;
  return s;
}

std::vector<int> LitShapes(MainWindow& w) {
  std::vector<int> lit;
  for (int n = 1; n <= 26; ++n)
    if (Lit(w, n)) lit.push_back(n);
  return lit;
}

}  // namespace

class PresenterTest : public QObject {
  Q_OBJECT
 private slots:
  // In the main window or one of the windows whose captions it sets.
  void everyRegistryRowIsOneControlOfItsKind() {
    WindowHarness h;
    QVERIFY(h.Start());
    for (const ControlRow& row : ControlRows()) {
      const QString name = QString::fromLatin1(row.objectName);
      std::vector<QObject*> found;
      for (QWidget* window : h.CaptionedWindows()) {
        if (window->objectName() == name) found.push_back(window);
        for (QObject* control : Named(window, name)) found.push_back(control);
      }
      QVERIFY2(found.size() == 1, row.objectName);
      QVERIFY2(OfKind(found.front(), row.kind), row.objectName);
    }
    // The map finds the main window's widgets, and nothing for a menu item or another window.
    const ControlMap map(&h.window());
    QCOMPARE(static_cast<QObject*>(map.Widget(Control::SpeedBox)), Control(h.window(), "Edit23"));
    QVERIFY(!map.Widget(Control::ExitItem));
    QVERIFY(!map.Widget(Control::InspectorPause));
    // The parameter boxes and buttons in their order: Prm 9 is Edit11 and Button23, Prm 21
    // is Edit1 and Button35, Prm 25 is Edit34 and Button39.
    QCOMPARE(ObjectName(ParameterBox(9)), QStringLiteral("Edit11"));
    QCOMPARE(ObjectName(ParameterBox(21)), QStringLiteral("Edit1"));
    QCOMPARE(ObjectName(ParameterBox(25)), QStringLiteral("Edit34"));
    QCOMPARE(ObjectName(ParameterWrite(9)), QStringLiteral("Button23"));
    QCOMPARE(ObjectName(ParameterWrite(25)), QStringLiteral("Button39"));
  }

  void statusBitsLightTheirShapesOnBothTabs() {
    struct Case {
      std::uint8_t io;
      std::uint8_t mode;
      std::vector<int> lit;  // besides the connection shapes 1 and 13
    };
    const Case cases[] = {
        {0x41, 0x00, {3, 9, 11, 15, 21, 23}},   // input 1, output 1; step/dir mode
        {0xC0, 0x00, {9, 10, 11, 21, 22, 23}},  // both outputs only
        {0x00, 0x05, {2, 12, 24}},              // controller, motor running, no script
        {0x3F, 0x02, {3, 4, 5, 6, 7, 8, 11, 14, 15, 16, 17, 18, 19, 20, 23, 26}},
    };
    for (const auto& c : cases) {
      Drawn d;
      QVERIFY(d.presenter);
      d.presenter->OnLinkStatus(link::LinkStatus::Answering);
      d.presenter->OnStatus(Status(c.io, c.mode));
      std::vector<int> expected = c.lit;
      expected.push_back(1);
      expected.push_back(13);
      std::sort(expected.begin(), expected.end());
      QCOMPARE(LitShapes(d.w()), expected);
      QCOMPARE(Text(d.w(), "StaticText49"), QStringLiteral("17"));
      QCOMPARE(Text(d.w(), "StaticText70"), QStringLiteral("250"));
      QCOMPARE(Text(d.w(), "StaticText74"), QStringLiteral("41"));
      QCOMPARE(Text(d.w(), "Button3"), QStringLiteral("SCRIPT ON/OFF"));
    }
  }

  void silenceBlanksAllButTheAnalogValuesAndTheMotor() {
    Drawn d;
    QVERIFY(d.presenter);
    d.presenter->OnLinkStatus(link::LinkStatus::Answering);
    d.presenter->OnStatus(Status(0xFF, 0x07, 33, 44, 50));
    d.presenter->OnLinkStatus(link::LinkStatus::NotAnswering);
    d.presenter->OnStatusLost();
    QCOMPARE(LitShapes(d.w()), std::vector<int>{2});
    QVERIFY(Red(d.w(), 1) && Red(d.w(), 13));
    QCOMPARE(Text(d.w(), "StaticText13"), QStringLiteral(" "));
    QCOMPARE(Text(d.w(), "StaticText74"), QStringLiteral(" "));
    QCOMPARE(Text(d.w(), "StaticText49"), QStringLiteral("33"));
    QCOMPARE(Text(d.w(), "StaticText70"), QStringLiteral("44"));
    // The next reply draws the temperature again, even when it is the same.
    d.presenter->OnStatus(Status(0, 0, 33, 44, 50));
    QCOMPARE(Text(d.w(), "StaticText13"), QStringLiteral("50"));
  }

  // A value that did not change is not drawn again: a text put there behind the
  // presenter's back stays until the value itself changes.
  void unchangedValuesAreNotTouched() {
    Drawn d;
    QVERIFY(d.presenter);
    d.presenter->OnStatus(Status(0x01, 0, 10));
    qobject_cast<QLabel*>(Control(d.w(), "StaticText49"))->setText(QStringLiteral("x"));
    d.presenter->OnStatus(Status(0x01, 0, 10));
    QCOMPARE(Text(d.w(), "StaticText49"), QStringLiteral("x"));
    d.presenter->OnStatus(Status(0x01, 0, 11));
    QCOMPARE(Text(d.w(), "StaticText49"), QStringLiteral("11"));
  }

  void repliesFillTheBoxesAndTheDirectionInEitherLanguage() {
    for (const Language language : {Language::Turkish, Language::English}) {
      Drawn d(language);
      QVERIFY(d.presenter);
      link::MotorSettings m;
      m.speed = 15000;
      m.holdCurrent = 50;
      m.direction = 1;
      m.displacement = -2;
      m.speedCoefficient = 65535;
      d.presenter->OnMotorSettings(m);
      QCOMPARE(Text(d.w(), "Edit23"), QStringLiteral("15000"));
      QCOMPARE(Text(d.w(), "Edit25"), QStringLiteral("50"));
      QCOMPARE(Text(d.w(), "Edit29"), QStringLiteral("-2"));
      QCOMPARE(Text(d.w(), "Edit36"), QStringLiteral("65535"));
      QCOMPARE(Text(d.w(), "StaticText83"),
               IsEnglish(language) ? QStringLiteral("R") : QString::fromUtf8("SAĞ"));
      QCOMPARE(d.presenter->DirectionShown(), 1);
      // A left shown in either language sends 0.
      d.presenter->ShowDirection(false);
      QCOMPARE(d.presenter->DirectionShown(), 0);

      link::ParameterBlock p;
      p.prm9to20[0] = 65281;
      p.prm21to25[0] = -1;
      d.presenter->OnParameterBlock(p);
      QCOMPARE(Text(d.w(), "Edit11"), QStringLiteral("65281"));
      QCOMPARE(Text(d.w(), "Edit1"), QStringLiteral("-1"));
      d.presenter->OnMemoryValue(200);
      QCOMPARE(Text(d.w(), "Edit4"), QStringLiteral("200"));
      d.presenter->OnServiceValues({85, 99});
      QCOMPARE(Text(d.w(), "Edit31"), QStringLiteral("85"));
      QCOMPARE(Text(d.w(), "Edit32"), QStringLiteral("99"));
    }
  }

  // What the window shows is answered from what the presenter drew: paint over a lamp or
  // the direction behind its back and the answers stay, so the driver is told what the
  // presenter showed, never what a widget happens to hold.
  void shownStateComesFromWhatWasDrawn() {
    Drawn d;
    QVERIFY(d.presenter);
    const app::Control output1 = OutputShape(1, true);
    d.presenter->OnStatus(Status(0x40, 0));  // output 1 on
    QVERIFY(d.presenter->Lit(output1));
    qobject_cast<IndicatorShape*>(Control(d.w(), "Shape21"))->SetColour(look::kScrollBar);
    QVERIFY(d.presenter->Lit(output1));
    d.presenter->OnStatus(Status(0x00, 0));
    QVERIFY(!d.presenter->Lit(output1));
    QVERIFY(Off(d.w(), 21));

    d.presenter->ShowDirection(false);
    QCOMPARE(Text(d.w(), "StaticText83"), QString::fromUtf8("SOL"));
    qobject_cast<QLabel*>(Control(d.w(), "StaticText83"))->setText(QStringLiteral("R"));
    QCOMPARE(d.presenter->DirectionShown(), 0);
    // A read empties the direction display: nothing shown counts as right.
    d.presenter->ClearBoxes({Control::Direction});
    QCOMPARE(Text(d.w(), "StaticText83"), QString());
    QCOMPARE(d.presenter->DirectionShown(), 1);
  }

  // The switches' own effect is drawn by the presenter: the caption, the lamp and, for
  // debugging, the editor's read-only state, which a status reply also changes.
  void switchesAreDrawnByThePresenter() {
    Drawn d;
    QVERIFY(d.presenter);
    d.presenter->ScriptSwitched(true);
    QCOMPARE(Text(d.w(), "Button3"), QStringLiteral("SCRIPT ON/OFF"));
    QVERIFY(Lit(d.w(), 26));
    d.presenter->ScriptSwitched(false);
    QVERIFY(Off(d.w(), 26));

    d.presenter->DebugSwitched(true);
    QCOMPARE(Text(d.w(), "Button2"), QStringLiteral("DEBUG OFF"));
    QVERIFY(Lit(d.w(), 25) && d.h.editor().isReadOnly());
    d.presenter->OnStatus(Status(0, 0x02));  // the script runs: debugging keeps the editor
    QVERIFY(d.h.editor().isReadOnly());
    d.presenter->DebugSwitched(false);
    QCOMPARE(Text(d.w(), "Button2"), QStringLiteral("DEBUG ON"));
    QVERIFY(Off(d.w(), 25) && !d.h.editor().isReadOnly());
  }

  // The displacement box turns red on a value that is no number and back once one is sent.
  void displacementBoxShowsARefusedValueUntilOneIsSent() {
    Drawn d;
    QVERIFY(d.presenter);
    auto* box = qobject_cast<QLineEdit*>(Control(d.w(), "Edit29"));
    const QColor normal = box->palette().color(QPalette::Base);
    d.presenter->OnExchange(
        {link::LinkState::Displacement, link::ExchangeOutcome::Refused, link::Refusal::NotANumber});
    QCOMPARE(box->palette().color(QPalette::Base), look::kRed);
    d.presenter->OnExchange(
        {link::LinkState::Displacement, link::ExchangeOutcome::Refused, link::Refusal::OutOfRange});
    QCOMPARE(box->palette().color(QPalette::Base), look::kRed);
    d.presenter->OnValueSent(link::Setting::Displacement, 5);
    QCOMPARE(box->palette().color(QPalette::Base), normal);
  }

  // An edited program that fails its check leaves debugging off; the edit is then taken as
  // seen, so the next click turns debugging on without checking again.
  void debugSwitchAfterAFailedCheck() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.window().driverSide().timer()->stop();
    h.Type(QStringLiteral("       SPEED = ;"));
    const auto debugOn = [&] { return h.page().debugShape()->Colour() == look::kLime; };
    h.page().debugButton()->click();
    QVERIFY(!debugOn());
    QVERIFY(!h.window().driverSide().engine().Variables().debugOn);
    QVERIFY(!h.window().lastCheck().programValid);  // it was checked
    h.page().debugButton()->click();
    QVERIFY(debugOn());
    QVERIFY(h.window().driverSide().engine().Variables().debugOn);
    QVERIFY(h.editor().isReadOnly());
    QCOMPARE(h.page().debugButton()->text(), QStringLiteral("DEBUG OFF"));
    h.page().debugButton()->click();
    QVERIFY(!debugOn() && !h.editor().isReadOnly());
    QCOMPARE(h.page().debugButton()->text(), QStringLiteral("DEBUG ON"));
  }

  // The tool bar says the driver took the whole program until the next download is asked
  // for, in the language of the moment.
  void statusTextSaysTheProgramWasDownloaded() {
    Drawn d;
    QVERIFY(d.presenter);
    link::DownloadProgress ended;
    ended.stage = link::DownloadProgress::Stage::Ended;
    ended.result = link::DownloadResult::Succeeded;
    d.presenter->OnDownload(ended);
    QCOMPARE(d.status.text(), QString::fromUtf8("Program sürücüye yazıldı"));
    d.language.Toggle();
    d.presenter->LanguageChanged();
    QCOMPARE(d.status.text(), QStringLiteral("Program downloaded"));
    d.presenter->DownloadAsked();
    QCOMPARE(d.status.text(), QString());
    ended.result = link::DownloadResult::Failed;
    d.presenter->OnDownload(ended);
    QCOMPARE(d.status.text(), QString());
  }

  // The first start's offer shares the status text: "downloaded" goes first, a driver that
  // answers takes the offer away, and a program replaced during its download is not called
  // downloaded.
  void statusTextOffersHelpUntilADriverAnswers() {
    Drawn d;
    QVERIFY(d.presenter);
    d.presenter->OfferHelpWithThePort(true);
    QCOMPARE(d.status.text(), QString::fromUtf8("Sürücü yanıt vermiyor.<br><a "
                                                "href=\"simulated-driver\">Simülasyon "
                                                "sürücüsünü dene</a>"));
    d.language.Toggle();
    d.presenter->LanguageChanged();
    QCOMPARE(
        d.status.text(),
        QStringLiteral(
            "No driver answers.<br><a href=\"simulated-driver\">Try the simulated driver</a>"));
    d.presenter->OnLinkStatus(link::LinkStatus::NotAnswering);
    QVERIFY(d.status.text().startsWith(QStringLiteral("No driver answers.")));
    d.presenter->OnLinkStatus(link::LinkStatus::Answering);
    QCOMPARE(d.status.text(), QString());

    d.presenter->DownloadAsked();
    d.presenter->ProgramReplaced();
    link::DownloadProgress ended;
    ended.stage = link::DownloadProgress::Stage::Ended;
    ended.result = link::DownloadResult::Succeeded;
    d.presenter->OnDownload(ended);
    QCOMPARE(d.status.text(), QString());
    d.presenter->DownloadAsked();
    d.presenter->OnDownload(ended);
    QCOMPARE(d.status.text(), QStringLiteral("Program downloaded"));
    d.presenter->ProgramReplaced();
    QCOMPARE(d.status.text(), QString());
  }

  void noticesBecomeTheirMessages() {
    struct Case {
      link::Notice notice;
      const char* detail;
      MessageKind kind;
      const char* english;
      const char* turkish;
    };
    const Case cases[] = {
        {link::Notice::NoValidProgram, "", MessageKind::Error, "No valid program!",
         "Geçerli program yok!"},
        {link::Notice::DownloadError, "", MessageKind::Error, "Download error!",
         "Program Yazılamadı!"},
        {link::Notice::NumberExpected, "", MessageKind::Information, "Number expected!",
         "Sayı giriniz!"},
        {link::Notice::PortError, "Device gone", MessageKind::Error, "Device gone", "Device gone"},
    };
    for (const Language language : {Language::Turkish, Language::English}) {
      Drawn d(language);
      QVERIFY(d.presenter);
      for (const auto& c : cases) {
        d.h.prompts.shown.clear();
        d.presenter->OnNotice(c.notice, c.detail);
        QCOMPARE(d.h.prompts.shown.size(), std::size_t{1});
        QCOMPARE(d.h.prompts.shown[0].kind, c.kind);
        QCOMPARE(d.h.prompts.shown[0].text,
                 QString::fromUtf8(IsEnglish(language) ? c.english : c.turkish));
      }
    }
  }
};

}  // namespace kivra::app::testing

QTEST_MAIN(kivra::app::testing::PresenterTest)
#include "presenter_test.moc"
