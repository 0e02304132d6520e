#include "app/files/settings_store.h"

#include <QSettings>

namespace kivra::app {

std::unique_ptr<SettingsStore> SettingsStore::ForCurrentUser() {
#ifdef Q_OS_WIN
  auto settings = std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\KIVRA3"),
                                              QSettings::NativeFormat);
#else
  auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                              QStringLiteral("Software"), QStringLiteral("KIVRA3"));
#endif
  return std::unique_ptr<SettingsStore>(new SettingsStore(std::move(settings)));
}

std::unique_ptr<SettingsStore> SettingsStore::InFile(const QString& path) {
  return std::unique_ptr<SettingsStore>(
      new SettingsStore(std::make_unique<QSettings>(path, QSettings::IniFormat)));
}

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings)) {}
SettingsStore::~SettingsStore() = default;

QString SettingsStore::ReadSetting(const QString& name, const QString& fallback) {
  const QString stored = settings_->value(name).toString();
  if (!stored.isEmpty()) return stored;
  WriteSetting(name, fallback);
  return fallback;
}

void SettingsStore::WriteSetting(const QString& name, const QString& text) {
  settings_->setValue(name, text);
  // Written at once, so that a crash or a second instance never sees an older value.
  settings_->sync();
}

}  // namespace kivra::app
