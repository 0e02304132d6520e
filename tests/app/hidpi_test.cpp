// The window at a scale factor of 2 (QT_SCALE_FACTOR=2, set by ctest): laid out as at 1,
// every position doubled on the screen, images drawn from their double-size versions.
// With KIVRA_SCREENSHOT_DIR set, the picture is kept.

#include <QLabel>
#include <QToolButton>

#include "app/shell/about_dialog.h"
#include "app/shell/tool_bar.h"
#include "app/ui/indicator_shape.h"
#include "app/ui/ui_look.h"
#include "window_harness.h"

namespace kivra::app::testing {

class HighDpiTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    if (qgetenv("QT_SCALE_FACTOR") != "2") QSKIP("run with QT_SCALE_FACTOR=2");
  }

  void windowIsLaidOutAsAtOneAndDrawnAtTwo() {
    WindowHarness h;
    QVERIFY(h.Start());
    MainWindow& w = h.window();
    h.editor().SetProgramText(QStringLiteral("       SPEED = 1200;\n       END;\n"));
    w.CheckProgram();
    QCOMPARE(w.devicePixelRatioF(), 2.0);
    QCOMPARE(w.size(), QSize(924, 732));
    QCOMPARE(h.editor().geometry(), QRect(0, 24, 761, 373));
    QCOMPARE(h.page().summary()->geometry(), QRect(88, 436, 393, 17));

    // The picture: twice the pixels, each control where its doubled position says.
    const QPixmap picture = w.grab();
    QCOMPARE(picture.devicePixelRatio(), 2.0);
    QCOMPARE(picture.size(), QSize(1848, 1464));
    const QImage image = picture.toImage();
    const auto at = [&](QWidget* widget, QPoint p) {
      return image.pixelColor(widget->mapTo(&w, p) * 2);
    };
    QCOMPARE(at(h.page().summary(), {380, 8}).rgb(), look::kLime.rgb());
    auto* connection = qobject_cast<IndicatorShape*>(FindControl(&w, QStringLiteral("Shape1")));
    // Red, or lime while the first status request waits within its time-out: which one
    // depends on how far the link got, not on the scale.
    const QColor lamp = connection->Colour();
    QVERIFY(lamp == look::kRed || lamp == look::kLime);
    QCOMPARE(at(connection, connection->rect().center()).rgb(), lamp.rgb());
    QCOMPARE(at(h.editor().viewport(), {600, 300}).rgb(), look::kEditorBackground.rgb());
    const QString folder = qEnvironmentVariable("KIVRA_SCREENSHOT_DIR");
    if (!folder.isEmpty()) picture.save(folder + QStringLiteral("/window-2x.png"));
  }

  // A tool image at 2 is drawn from its own 64-pixel version, not blown up from 32.
  void imagesAreSharp() {
    WindowHarness h;
    QVERIFY(h.Start());
    const QIcon icon = h.window().toolBar()->check()->icon();
    const QImage sharp = icon.pixmap(QSize(32, 32), 2.0).toImage();
    QCOMPARE(sharp.size(), QSize(64, 64));
    const QImage blown =
        icon.pixmap(QSize(32, 32), 1.0).toImage().scaled(64, 64).convertToFormat(sharp.format());
    QVERIFY(sharp != blown);

    h.window().aboutDialog()->Prepare(Language::Turkish, 0);
    const QLabel* logo = h.window().aboutDialog()->findChild<QLabel*>(QStringLiteral("Image1"));
    QVERIFY(logo);
    QCOMPARE(logo->pixmap().devicePixelRatio(), 2.0);
  }
};

}  // namespace kivra::app::testing

QTEST_MAIN(kivra::app::testing::HighDpiTest)
#include "hidpi_test.moc"
