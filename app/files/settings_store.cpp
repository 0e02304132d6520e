#include "app/files/settings_store.h"

#include <QSettings>
#include <QStandardPaths>

#include "app/files/program_file.h"

namespace kivra::app {

std::unique_ptr<SettingsStore> SettingsStore::ForCurrentUser() {
#ifdef Q_OS_WIN
  auto settings = std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\KIVRA3"),
                                              QSettings::NativeFormat);
  return std::unique_ptr<SettingsStore>(new SettingsStore(std::move(settings)));
#else
  // The file Qt keeps the user's settings in for this organisation and application.
  const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                       QStringLiteral("/Software/KIVRA3.conf");
  return Checked(path, [] {
    return new QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Software"),
                         QStringLiteral("KIVRA3"));
  });
#endif
}

std::unique_ptr<SettingsStore> SettingsStore::InFile(const QString& path) {
  return Checked(path, [path] { return new QSettings(path, QSettings::IniFormat); });
}

std::unique_ptr<SettingsStore> SettingsStore::Checked(const QString& path,
                                                      const std::function<QSettings*()>& make) {
  // QSettings reads the whole file as it is made, and waits for ever on a FIFO. A file that
  // is missing or unreadable it takes for an empty one, as it always did.
  const auto error = CheckFile(NativePath(path), FileKind::Settings);
  if (!error || !RefusedForWhatItIs(error->refusal)) {
    return std::unique_ptr<SettingsStore>(new SettingsStore(std::unique_ptr<QSettings>(make())));
  }
  std::unique_ptr<SettingsStore> store(new SettingsStore(nullptr));
  store->refused_ = Refusal{path, *error};
  return store;
}

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings)) {}
SettingsStore::~SettingsStore() = default;

QString SettingsStore::ReadSetting(const QString& name, const QString& fallback) {
  const QString stored = settings_ ? settings_->value(name).toString() : thisRunOnly_.value(name);
  if (!stored.isEmpty()) return stored;
  WriteSetting(name, fallback);
  return fallback;
}

bool SettingsStore::Holds(const QString& name) const {
  return !(settings_ ? settings_->value(name).toString() : thisRunOnly_.value(name)).isEmpty();
}

void SettingsStore::WriteSetting(const QString& name, const QString& text) {
  if (!settings_) {
    thisRunOnly_.insert(name, text);
    return;
  }
  settings_->setValue(name, text);
  // Written at once, so that a crash or a second instance never sees an older value.
  settings_->sync();
}

}  // namespace kivra::app
