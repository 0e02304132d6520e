#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace kivra::app {

// The per-user store of the three values LASTFILE, LANGUAGE and COMPORT under the key
// KIVRA3 inside Software. A missing or empty value reads as its default, which is then
// written back, so a first run leaves every value it read in the store.
class SettingsStore {
 public:
  // The current user's store: the registry key on Windows, Qt's per-user settings file
  // elsewhere (~/.config/Software/KIVRA3.conf on Linux).
  static std::unique_ptr<SettingsStore> ForCurrentUser();
  // A store kept in one INI file, for tests and portable set-ups.
  static std::unique_ptr<SettingsStore> InFile(const QString& path);

  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  QString ReadSetting(const QString& name, const QString& fallback);
  void WriteSetting(const QString& name, const QString& text);

 private:
  explicit SettingsStore(std::unique_ptr<QSettings> settings);
  std::unique_ptr<QSettings> settings_;
};

// COMPORT is the port selection's (link::kComPortSetting).
namespace setting {
inline const QString kLastFile = QStringLiteral("LASTFILE");
inline const QString kLanguage = QStringLiteral("LANGUAGE");
}  // namespace setting

}  // namespace kivra::app
