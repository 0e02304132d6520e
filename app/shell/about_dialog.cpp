#include "app/shell/about_dialog.h"

#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <cmath>

#include "app/ui/texts.h"
#include "app/ui/ui_language.h"
#include "app/ui/ui_look.h"
#include "common/version.h"

namespace kivra::app {
namespace {

QLabel* AddBar(QWidget* parent, const QRect& rect) {
  QLabel* bar = look::AddLabel(parent, QString(), QString(), rect);
  look::SetBackground(bar, QColor(128, 128, 128));
  return bar;
}

QLabel* AddBold(QWidget* parent, const QString& objectName, const QString& text, const QRect& rect,
                int pixels) {
  QLabel* label = look::AddLabel(parent, objectName, text, rect, Qt::AlignCenter);
  label->setFont(look::BoldFont(pixels));
  label->setWordWrap(true);
  return label;
}

// Drawn for the screen's pixel ratio, so the logo stays sharp on a high-density screen.
QPixmap Logo(const QSize& size, qreal pixelRatio) {
  QPixmap pixmap(size * pixelRatio);
  pixmap.setDevicePixelRatio(pixelRatio);
  pixmap.fill(Qt::transparent);
  const QString path = QStringLiteral(":/icons/logo.svg");
  if (QFile::exists(path)) {
    QSvgRenderer renderer(path);
    QPainter painter(&pixmap);
    renderer.render(&painter);
  }
  return pixmap;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent, const QString& versionText) : QDialog(parent) {
  setObjectName(QStringLiteral("TForm3"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(516, 332);
  look::SetBackground(this, look::kOlive);
  setModal(true);

  BuildHeader();
  AddBar(this, {12, 148, 489, 5});
  BuildTitles();
  AddBar(this, {12, 216, 489, 5});
  version_ = AddBold(this, QStringLiteral("StaticText5"),
                     ToQString(texts::kAboutVersionLine) + versionText, {24, 232, 229, 17}, 11);
  firmware_ = AddBold(this, QStringLiteral("StaticText7"), QString(), {276, 232, 229, 21}, 11);
  AddBar(this, {12, 260, 489, 5});

  close_ = new QPushButton(this);
  close_->setObjectName(QStringLiteral("Button1"));
  close_->setGeometry(232, 276, 81, 41);
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
  Prepare(Language::Turkish, 0);
}

void AboutDialog::BuildHeader() {
  QLabel* logo = look::AddLabel(this, QStringLiteral("Image1"), QString(), {16, 28, 141, 49});
  logo->setPixmap(Logo(logo->size(), logo->devicePixelRatioF()));
  logo->setScaledContents(true);
  // Where a maker's contact block would be: the product, its version and its licence. No
  // telephone, fax, web or mail address is shown that nobody answers.
  product_ = AddBold(this, QStringLiteral("ProductBlock"), QString(), {204, 8, 241, 93}, 16);
}

void AboutDialog::BuildTitles() {
  AddBold(this, QString(), ToQString(texts::kAboutInterfaceTitles.turkish), {12, 160, 241, 53}, 16);
  AddBar(this, {268, 156, 5, 57});
  AddBold(this, QString(), ToQString(texts::kAboutInterfaceTitles.english), {280, 160, 221, 53},
          16);
}

void AboutDialog::Prepare(Language shown, int firmwareTenths, const QLocale& locale) {
  const UiLanguage language(shown);
  setWindowTitle(language.Pick(texts::kAboutTitle));
  close_->setText(language.Pick(texts::kAboutClose));
  product_->setText(ToQString(kProductName) + QLatin1Char('\n') +
                    language.Pick(texts::kAboutProductVersion) + ToQString(kProductVersion) +
                    QLatin1Char('\n') + language.Pick(texts::kAboutLicence));
  firmware_->setText(FirmwareLine(firmwareTenths, locale));
}

QString AboutDialog::FirmwareLine(int firmwareTenths, const QLocale& locale) {
  // Tenths in single precision, rounded to three significant digits: 32 reads 3.20.
  const float version = static_cast<float>(firmwareTenths) * 0.1f;
  const double rounded = QString::number(static_cast<double>(version), 'g', 3).toDouble();
  return ToQString(texts::kAboutFirmwareLine) + locale.toString(rounded, 'f', 2);
}

}  // namespace kivra::app
